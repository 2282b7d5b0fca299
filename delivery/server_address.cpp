#include "delivery/server_address.h"

#include <array>

namespace {

constexpr std::wstring_view kSchemeEnd = L"://";

struct Scheme {
  TransferProtocol protocol;
  std::wstring_view name;
  uint16_t port;
};

constexpr std::array<Scheme, 4> kSchemes{{
    {TransferProtocol::kFtp, L"ftp", 21},
    {TransferProtocol::kFtpes, L"ftpes", 21},
    {TransferProtocol::kFtps, L"ftps", 990},
    {TransferProtocol::kSftp, L"sftp", 22},
}};

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
  if (const size_t slash = text.find(L'/'); slash != std::wstring_view::npos)
    text = text.substr(0, slash);  // a trailing "/" as clients write it; folders have a field
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
