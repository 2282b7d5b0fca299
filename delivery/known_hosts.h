#pragma once
// The SSH host keys met so far, in a known_hosts file as OpenSSH writes it: a host is trusted
// the first time it is seen, and refused when its key has changed since.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

struct HostKeyCheck {
  enum class Verdict {
    kKnown,       // the file holds this very key for the host
    kNew,         // the file says nothing of the host
    kChanged,     // the file holds another key for the host
    kUnreadable,  // the file is there but cannot be read now: it tells nothing, and stays
  };
  Verdict verdict = Verdict::kNew;
  size_t line = 0;  // kChanged: the line (counted from 1) that holds the host's former key
};

// The host as known_hosts names it: "host" on port 22, "[host]:port" on any other.
std::string knownHostName(std::string_view host, uint16_t port);

// The key's type ("ssh-ed25519", "ecdsa-sha2-nistp256", ...), which every SSH public key blob
// begins with; empty for bytes that are no key blob.
std::string hostKeyType(std::string_view blob);

// What the text of a known_hosts file says of `blob` (a public key blob) for `hostName`. Host
// names may be listed plainly or hashed ("|1|salt|hash"); lines with a marker ("@revoked",
// "@cert-authority") and patterns with wildcards or negation match no host here. A host known
// only under another key type counts as changed: a server does not switch keys on its own.
HostKeyCheck checkHostKey(std::string_view fileText, std::string_view hostName,
                          std::string_view blob);

// The line that records `blob` for `hostName`, with its newline.
std::string knownHostsLine(std::string_view hostName, std::string_view blob);

// One known_hosts file, shared by every transfer of the program.
class KnownHostsFile {
 public:
  explicit KnownHostsFile(std::wstring path) : path_(std::move(path)) {}

  const std::wstring& path() const { return path_; }

  // Checks the key and, for a host not met before, adds it to the file. A key that cannot be
  // written down is still taken, this once.
  HostKeyCheck admit(std::string_view hostName, std::string_view blob);

 private:
  std::wstring path_;
};
