#include "delivery/known_hosts.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <algorithm>
#include <cctype>
#include <mutex>
#include <optional>
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

bool sameLetter(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

// OpenSSH's wildcards: '*' stands for any run of characters, '?' for any one. Backtracking only
// to the latest '*' keeps hostile patterns from taking exponential time.
bool wildcardMatches(std::string_view pattern, std::string_view name) {
  size_t p = 0;
  size_t n = 0;
  size_t retryPattern = std::string_view::npos;
  size_t retryName = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      retryPattern = ++p;
      retryName = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || sameLetter(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (retryPattern != std::string_view::npos) {
      p = retryPattern;
      n = ++retryName;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// "|1|salt|hash": the HMAC-SHA1 of the host name under the salt, both in base64.
bool hashedNameMatches(std::string_view pattern, std::string_view hostName) {
  if (pattern.substr(0, 3) != "|1|") return false;
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

// `hostName` in lower case, as OpenSSH hashes it. A negated pattern that matches rules the line
// out whatever the others say; a line of negated patterns alone names no host.
bool namesHost(std::string_view patterns, std::string_view hostName) {
  if (patterns[0] == '|') return hashedNameMatches(patterns, hostName);
  bool named = false;
  size_t at = 0;
  while (at <= patterns.size()) {
    const size_t end = std::min(patterns.find(',', at), patterns.size());
    std::string_view pattern = patterns.substr(at, end - at);
    at = end + 1;
    const bool negated = !pattern.empty() && pattern[0] == '!';
    if (negated) pattern.remove_prefix(1);
    if (!wildcardMatches(pattern, hostName)) continue;
    if (negated) return false;
    named = true;
  }
  return named;
}

// One line that says something of some hosts' keys.
struct Entry {
  enum class Marker { kNone, kCertificateAuthority, kRevoked };
  Marker marker = Marker::kNone;
  std::string_view hosts;
  std::string_view type;
  std::string_view key;
};

// Nothing for blank lines, comments, and lines OpenSSH would pass over too: an unknown marker,
// more than one marker, or fields missing.
std::optional<Entry> parseLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::vector<std::string_view> parts = fields(line);
  if (parts.empty() || parts[0][0] == '#') return std::nullopt;
  Entry entry;
  if (parts[0] == "@cert-authority") {
    entry.marker = Entry::Marker::kCertificateAuthority;
  } else if (parts[0] == "@revoked") {
    entry.marker = Entry::Marker::kRevoked;
  }
  if (entry.marker != Entry::Marker::kNone) parts.erase(parts.begin());
  if (parts.size() < 3 || parts[0][0] == '@') return std::nullopt;
  entry.hosts = parts[0];
  entry.type = parts[1];
  entry.key = parts[2];
  return entry;
}

// The first line of each kind that names the host. A revocation outranks every other line. A
// plain line holding the very key outranks an authority's, which Vemlix cannot check; the
// authority's outranks a plain line with another key, as it is what the file trusts now.
class Findings {
 public:
  void note(const Entry& entry, bool sameKey, size_t line) {
    switch (entry.marker) {
      case Entry::Marker::kRevoked:
        if (sameKey) keep(revoked_, line);
        break;
      case Entry::Marker::kCertificateAuthority:
        keep(authority_, line);
        break;
      case Entry::Marker::kNone:
        keep(sameKey ? known_ : changed_, line);
        break;
    }
  }

  HostKeyCheck verdict() const {
    using Verdict = HostKeyCheck::Verdict;
    if (revoked_) return {Verdict::kRevoked, revoked_};
    if (known_) return {Verdict::kKnown, known_};
    if (authority_) return {Verdict::kCertificateAuthority, authority_};
    if (changed_) return {Verdict::kChanged, changed_};
    return {Verdict::kNew, 0};
  }

 private:
  static void keep(size_t& first, size_t line) {
    if (first == 0) first = line;
  }

  size_t revoked_ = 0;
  size_t known_ = 0;
  size_t authority_ = 0;
  size_t changed_ = 0;
};

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
  std::string lowerName(hostName);
  std::transform(lowerName.begin(), lowerName.end(), lowerName.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  Findings findings;
  size_t lineNumber = 0;
  for (size_t at = 0; at < fileText.size();) {
    const size_t end = std::min(fileText.find('\n', at), fileText.size());
    const std::optional<Entry> entry = parseLine(fileText.substr(at, end - at));
    at = end + 1;
    ++lineNumber;
    if (!entry || !namesHost(entry->hosts, lowerName)) continue;
    findings.note(*entry, entry->type == type && entry->key == key, lineNumber);
  }
  return findings.verdict();
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
