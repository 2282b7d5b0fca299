// Any bytes as a known_hosts file, the first line naming the host: checking must not crash, must
// name a line the file has, and a revocation or an authority added at the end must weigh as
// OpenSSH has them weigh.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "delivery/known_hosts.h"

namespace {

using Verdict = HostKeyCheck::Verdict;

void require(bool condition) {
  if (!condition) std::abort();
}

// The seeds hold this key, so that mutations keep meeting it.
std::string key(char fill) {
  return std::string("\0\0\0\x0bssh-ed25519", 15) + std::string(32, fill);
}

// Lines as checkHostKey counts them: a final newline ends the last line and starts no other.
size_t lineCount(std::string_view text) {
  const auto newlines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
  return newlines + (!text.empty() && text.back() != '\n' ? 1 : 0);
}

// A name knownHostsLine writes as one plain pattern that matches it.
bool plainName(std::string_view name) {
  if (name.empty()) return false;
  for (const char c : name) {
    const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                         (c >= '0' && c <= '9') ||
                         std::string_view(".-[]:").find(c) != std::string_view::npos;
    if (!allowed) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const size_t newline = bytes.find('\n');
  const std::string_view host = bytes.substr(0, newline);
  std::string text(newline == std::string_view::npos ? std::string_view()
                                                     : bytes.substr(newline + 1));
  const std::string offered = key('\x11');

  const HostKeyCheck check = checkHostKey(text, host, offered);
  const bool named = check.verdict != Verdict::kNew;
  require(named ? check.line >= 1 && check.line <= lineCount(text) : check.line == 0);

  if (!text.empty() && text.back() != '\n') text += '\n';
  const size_t added = lineCount(text) + 1;
  const HostKeyCheck revoked =
      checkHostKey(text + knownHostsLine("@revoked *", offered), host, offered);
  require(revoked.verdict == Verdict::kRevoked && revoked.line <= added);

  const Verdict authority =
      checkHostKey(text + knownHostsLine("@cert-authority *", key('\x22')), host, offered).verdict;
  const bool taken = check.verdict == Verdict::kNew || check.verdict == Verdict::kChanged;
  require(authority == (taken ? Verdict::kCertificateAuthority : check.verdict));

  if (check.verdict == Verdict::kNew && plainName(host)) {
    require(checkHostKey(text + knownHostsLine(host, offered), host, offered).verdict ==
            Verdict::kKnown);
  }
  return 0;
}
