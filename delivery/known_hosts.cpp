#include "delivery/known_hosts.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <algorithm>
#include <cctype>
#include <mutex>
#include <vector>

#include "platform/files.h"

namespace {

std::string base64(std::string_view bytes) {
  std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()),
                                     reinterpret_cast<const unsigned char*>(bytes.data()),
                                     static_cast<int>(bytes.size()));
  text.resize(static_cast<size_t>(std::max(length, 0)));
  return text;
}

// Nothing for text that is no base64.
std::string unbase64(std::string_view text) {
  if (text.empty() || text.size() % 4 != 0) return {};
  std::string bytes(3 * text.size() / 4, '\0');
  const int length = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(bytes.data()),
                                     reinterpret_cast<const unsigned char*>(text.data()),
                                     static_cast<int>(text.size()));
  if (length < 0) return {};
  // EVP_DecodeBlock counts the padding as bytes.
  const size_t padding = static_cast<size_t>(std::count(text.end() - 2, text.end(), '='));
  bytes.resize(static_cast<size_t>(length) - padding);
  return bytes;
}

std::vector<std::string_view> fields(std::string_view line) {
  std::vector<std::string_view> out;
  size_t at = 0;
  while (true) {
    at = line.find_first_not_of(" \t", at);
    if (at == std::string_view::npos) return out;
    const size_t end = std::min(line.find_first_of(" \t", at), line.size());
    out.push_back(line.substr(at, end - at));
    at = end;
  }
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

// "|1|salt|hash": the HMAC-SHA1 of the host name under the salt, both in base64.
bool hashedNameMatches(std::string_view pattern, std::string_view hostName) {
  pattern.remove_prefix(3);
  const size_t bar = pattern.find('|');
  if (bar == std::string_view::npos) return false;
  const std::string salt = unbase64(pattern.substr(0, bar));
  const std::string hash = unbase64(pattern.substr(bar + 1));
  if (salt.empty() || hash.size() != 20) return false;
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!HMAC(EVP_sha1(), salt.data(), static_cast<int>(salt.size()),
            reinterpret_cast<const unsigned char*>(hostName.data()), hostName.size(), digest,
            &length)) {
    return false;
  }
  return std::string_view(reinterpret_cast<const char*>(digest), length) == hash;
}

bool namesHost(std::string_view patterns, std::string_view hostName) {
  if (patterns.substr(0, 3) == "|1|") return hashedNameMatches(patterns, hostName);
  size_t at = 0;
  while (at <= patterns.size()) {
    const size_t end = std::min(patterns.find(',', at), patterns.size());
    if (equalIgnoringCase(patterns.substr(at, end - at), hostName)) return true;
    at = end + 1;
  }
  return false;
}

}  // namespace

std::string knownHostName(std::string_view host, uint16_t port) {
  if (port == 22) return std::string(host);
  return "[" + std::string(host) + "]:" + std::to_string(port);
}

std::string hostKeyType(std::string_view blob) {
  if (blob.size() < 4) return {};
  const auto byte = [&](size_t i) {
    return static_cast<uint32_t>(static_cast<unsigned char>(blob[i]));
  };
  const uint32_t length = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
  if (length == 0 || length > 64 || length > blob.size() - 4) return {};
  return std::string(blob.substr(4, length));
}

HostKeyCheck checkHostKey(std::string_view fileText, std::string_view hostName,
                          std::string_view blob) {
  const std::string type = hostKeyType(blob);
  const std::string key = base64(blob);
  HostKeyCheck result;
  size_t lineNumber = 0;
  for (size_t at = 0; at < fileText.size();) {
    const size_t end = std::min(fileText.find('\n', at), fileText.size());
    std::string_view line = fileText.substr(at, end - at);
    at = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::vector<std::string_view> parts = fields(line);
    if (parts.size() < 3 || parts[0][0] == '#' || parts[0][0] == '@') continue;
    if (!namesHost(parts[0], hostName)) continue;
    if (parts[1] == type && parts[2] == key) return {HostKeyCheck::Verdict::kKnown, lineNumber};
    if (result.verdict == HostKeyCheck::Verdict::kNew) {
      result = {HostKeyCheck::Verdict::kChanged, lineNumber};
    }
  }
  return result;
}

std::string knownHostsLine(std::string_view hostName, std::string_view blob) {
  return std::string(hostName) + " " + hostKeyType(blob) + " " + base64(blob) + "\n";
}

HostKeyCheck KnownHostsFile::admit(std::string_view hostName, std::string_view blob) {
  // Two uploads may meet a new host at once: each must see what the other wrote.
  static std::mutex lock;
  std::lock_guard guard(lock);
  std::string text;
  switch (platform::readWholeFile(path_, text)) {
    case platform::ReadResult::kRead:
      break;
    case platform::ReadResult::kMissing:
      text.clear();
      break;
    case platform::ReadResult::kUnreadable:
      return {HostKeyCheck::Verdict::kUnreadable, 0};
  }
  const HostKeyCheck check = checkHostKey(text, hostName, blob);
  if (check.verdict != HostKeyCheck::Verdict::kNew) return check;
  if (!text.empty() && text.back() != '\n') text += '\n';
  platform::writeFileAtomically(path_, text + knownHostsLine(hostName, blob));
  return check;
}
