#include "delivery/server_address.h"

#include <array>

namespace {

constexpr std::wstring_view kSchemeEnd = L"://";

struct Scheme {
  TransferProtocol protocol;
  std::wstring_view name;
  uint16_t port;
};

constexpr std::array<Scheme, 8> kSchemes{{
    {TransferProtocol::kFtp, L"ftp", 21},
    {TransferProtocol::kFtpes, L"ftpes", 21},
    {TransferProtocol::kFtps, L"ftps", 990},
    {TransferProtocol::kSftp, L"sftp", 22},
    {TransferProtocol::kS3, L"s3", 443},
    {TransferProtocol::kS3Http, L"s3+http", 80},
    {TransferProtocol::kWebDav, L"https", 443},
    {TransferProtocol::kWebDavHttp, L"http", 80},
}};

constexpr std::wstring_view kDefaultRegion = L"us-east-1";

bool equalsIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c + (L'a' - L'A') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

const Scheme* schemeOf(TransferProtocol protocol) {
  for (const Scheme& scheme : kSchemes)
    if (scheme.protocol == protocol) return &scheme;
  return nullptr;
}

std::optional<uint16_t> portNumber(std::wstring_view digits) {
  if (digits.empty() || digits.size() > 5) return std::nullopt;
  uint32_t value = 0;
  for (wchar_t c : digits) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + static_cast<uint32_t>(c - L'0');
  }
  if (value == 0 || value > 65535) return std::nullopt;
  return static_cast<uint16_t>(value);
}

std::wstring_view trimmed(std::wstring_view text) {
  while (!text.empty() && (text.front() == L' ' || text.front() == L'\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) text.remove_suffix(1);
  return text;
}

// "s3.eu-central-1.amazonaws.com", "s3-eu-west-1.amazonaws.com", "bucket.s3.us-east-2...".
std::wstring awsRegionOf(std::wstring_view host) {
  constexpr std::wstring_view kAws = L".amazonaws.com";
  if (host.size() <= kAws.size() ||
      !equalsIgnoringCase(host.substr(host.size() - kAws.size()), kAws))
    return {};
  host.remove_suffix(kAws.size());
  const size_t s3 = host.rfind(L"s3");
  if (s3 == std::wstring_view::npos || (s3 > 0 && host[s3 - 1] != L'.')) return {};
  const std::wstring_view rest = host.substr(s3 + 2);
  if (rest.size() < 2 || (rest[0] != L'.' && rest[0] != L'-')) return {};
  return std::wstring(rest.substr(1));
}

// After the host of an S3 address: "/bucket" and perhaps "?region=NAME".
bool readBucket(std::wstring_view rest, ServerAddress& address) {
  std::wstring_view query;
  if (const size_t mark = rest.find(L'?'); mark != std::wstring_view::npos) {
    query = rest.substr(mark + 1);
    rest = rest.substr(0, mark);
  }
  while (rest.starts_with(L'/')) rest.remove_prefix(1);
  while (rest.ends_with(L'/')) rest.remove_suffix(1);
  if (rest.empty() || rest.find(L'/') != std::wstring_view::npos) return false;
  address.path = rest;
  constexpr std::wstring_view kRegion = L"region=";
  if (query.starts_with(kRegion) && query.size() > kRegion.size())
    address.region = query.substr(kRegion.size());
  else if (!query.empty())
    return false;
  if (address.region.empty()) address.region = awsRegionOf(address.host);
  if (address.region.empty()) address.region = kDefaultRegion;
  return true;
}

// After the host of a WebDAV address: the share's path, up to a query or fragment.
void readSharePath(std::wstring_view rest, ServerAddress& address) {
  rest = rest.substr(0, std::min(rest.find(L'?'), rest.find(L'#')));
  address.path = rest.empty() ? L"/" : std::wstring(rest);
}

}  // namespace

std::optional<ServerAddress> parseServerAddress(std::wstring_view text) {
  text = trimmed(text);
  ServerAddress address;
  if (const size_t end = text.find(kSchemeEnd); end != std::wstring_view::npos) {
    const auto protocol = protocolNamed(text.substr(0, end));
    if (!protocol) return std::nullopt;
    address.protocol = *protocol;
    text.remove_prefix(end + kSchemeEnd.size());
  }
  address.port = defaultPort(address.protocol);
  std::wstring_view rest;
  if (const size_t slash = text.find_first_of(L"/?"); slash != std::wstring_view::npos) {
    rest = text.substr(slash);
    text = text.substr(0, slash);  // FTP: a trailing "/" as clients write it; folders have a field
  }
  // "[::1]:2121": the brackets keep an IPv6 address's colons from the port's.
  const size_t hostEnd = text.starts_with(L'[') ? text.find(L']') : 0;
  if (hostEnd == std::wstring_view::npos) return std::nullopt;
  if (const size_t colon = text.rfind(L':'); colon != std::wstring_view::npos && colon > hostEnd) {
    const auto port = portNumber(text.substr(colon + 1));
    if (!port) return std::nullopt;
    address.port = *port;
    text = text.substr(0, colon);
  }
  if (text.empty()) return std::nullopt;
  address.host = text;
  if (isS3(address.protocol) && !readBucket(rest, address)) return std::nullopt;
  if (isWebDav(address.protocol)) readSharePath(rest, address);
  return address;
}

std::wstring_view protocolName(TransferProtocol protocol) {
  return schemeOf(protocol)->name;
}

std::optional<TransferProtocol> protocolNamed(std::wstring_view name) {
  for (const Scheme& scheme : kSchemes)
    if (equalsIgnoringCase(scheme.name, name)) return scheme.protocol;
  return std::nullopt;
}

uint16_t defaultPort(TransferProtocol protocol) {
  return schemeOf(protocol)->port;
}

bool isS3(TransferProtocol protocol) {
  return protocol == TransferProtocol::kS3 || protocol == TransferProtocol::kS3Http;
}

bool isWebDav(TransferProtocol protocol) {
  return protocol == TransferProtocol::kWebDav || protocol == TransferProtocol::kWebDavHttp;
}

bool isPlainHttp(TransferProtocol protocol) {
  return protocol == TransferProtocol::kS3Http || protocol == TransferProtocol::kWebDavHttp;
}
