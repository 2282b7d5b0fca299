#include "delivery/http_paths.h"

#include "platform/text_codec.h"

namespace http_paths {
namespace {

bool unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

void appendEscape(std::string& out, unsigned char c) {
  constexpr char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[c >> 4];
  out += kHex[c & 15];
}

bool isHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The share's path as the user typed it: escapes already there are kept, a space or a letter
// beyond ASCII is escaped.
std::string typedPath(std::wstring_view path) {
  const std::string bytes = encodeUtf8(path, false);
  std::string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    const bool escape =
        c == '%' && i + 2 < bytes.size() && isHex(bytes[i + 1]) && isHex(bytes[i + 2]);
    if (unreserved(c) || c == '/' || escape ||
        std::string_view("!$&'()*+,;=:@").find(c) != std::string_view::npos)
      out += static_cast<char>(c);
    else
      appendEscape(out, c);
  }
  if (out.empty() || out.back() != '/') out += '/';
  return out;
}

std::vector<std::string> levels(std::wstring_view remoteName) {
  std::vector<std::string> parts;
  const std::string bytes = encodeUtf8(remoteName, false);
  for (size_t at = 0; at <= bytes.size();) {
    const size_t end = std::min(bytes.find('/', at), bytes.size());
    if (end > at) parts.push_back(bytes.substr(at, end - at));
    at = end + 1;
  }
  return parts;
}

std::string origin(const ServerAddress& address) {
  const std::string scheme = isPlainHttp(address.protocol) ? "http://" : "https://";
  return scheme + encodeUtf8(address.host, false) + ":" + std::to_string(address.port);
}

}  // namespace

std::string awsEncode(std::string_view utf8, bool keepSlash) {
  std::string out;
  out.reserve(utf8.size());
  for (const char byte : utf8) {
    const auto c = static_cast<unsigned char>(byte);
    if (unreserved(c) || (keepSlash && c == '/'))
      out += byte;
    else
      appendEscape(out, c);
  }
  return out;
}

std::string s3Key(std::wstring_view remoteName) {
  std::string key;
  for (const std::string& level : levels(remoteName)) {
    if (!key.empty()) key += '/';
    key += level;
  }
  return key;
}

std::string s3Url(const ServerAddress& address, std::string_view key) {
  return origin(address) + "/" + awsEncode(encodeUtf8(address.path, false), false) + "/" +
         awsEncode(key, true);
}

std::string webDavUrl(const ServerAddress& address, std::wstring_view remoteName) {
  std::string url = origin(address) + typedPath(address.path);
  const std::vector<std::string> parts = levels(remoteName);
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) url += '/';
    url += awsEncode(parts[i], false);
  }
  return url;
}

std::vector<std::string> webDavFolderUrls(const ServerAddress& address,
                                          std::wstring_view remoteName) {
  std::vector<std::string> urls;
  std::string url = origin(address) + typedPath(address.path);
  const std::vector<std::string> parts = levels(remoteName);
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    url += awsEncode(parts[i], false) + "/";
    urls.push_back(url);
  }
  return urls;
}

HttpVerdict verdictOf(long status) {
  if (status >= 200 && status < 300) return HttpVerdict::kDone;
  if (status == 408 || status == 429 || status >= 500 || status == 0) return HttpVerdict::kMayPass;
  return HttpVerdict::kRefused;
}

}  // namespace http_paths
