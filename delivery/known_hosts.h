#pragma once
// The SSH host keys met so far, in a known_hosts file as OpenSSH writes it: a host is trusted
// the first time it is seen, and refused when its key has changed since, when the file revokes
// its key, or when the file leaves it to a certificate authority.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

struct HostKeyCheck {
  enum class Verdict {
    kKnown,    // a plain line holds this very key for the host: take it
    kNew,      // no line names the host: take the key and add it to the file
    kChanged,  // plain lines name the host, none with this key: refuse, the key has changed
    // A "@cert-authority" line names the host and no plain line holds this key: refuse, since
    // Vemlix cannot check a host certificate, nor trust on first use what an authority vouches for.
    kCertificateAuthority,
    // A "@revoked" line naming the host holds this very key: refuse, whatever other lines say.
    kRevoked,
    kUnreadable,  // the file is there but cannot be read now: it tells nothing, and stays
  };
  Verdict verdict = Verdict::kNew;
  // The line (counted from 1) the verdict rests on, the first of its kind: the one holding the key
  // (kKnown), the host's former key (kChanged), the authority (kCertificateAuthority) or the
  // revocation (kRevoked); 0 for kNew and kUnreadable.
  size_t line = 0;
};

// The host as known_hosts names it: "host" on port 22, "[host]:port" on any other.
std::string knownHostName(std::string_view host, uint16_t port);

// The key's type ("ssh-ed25519", "ecdsa-sha2-nistp256", ...), which every SSH public key blob
// begins with; empty for bytes that are no key blob.
std::string hostKeyType(std::string_view blob);

// What the text of a known_hosts file says of `blob` (a public key blob) for `hostName`, read
// as OpenSSH reads it. A line names the host by a comma-separated list of patterns, matched
// ignoring case, with '*' and '?' as wildcards and '!' before a pattern that rules the host out;
// or by one hashed name ("|1|salt|hash"). A host known only under another key type counts as
// changed: a server does not switch keys on its own.
HostKeyCheck checkHostKey(std::string_view fileText, std::string_view hostName,
                          std::string_view blob);

// The line that records `blob` for `hostName`, with its newline.
std::string knownHostsLine(std::string_view hostName, std::string_view blob);

// One known_hosts file, shared by every transfer of the program.
class KnownHostsFile {
 public:
  explicit KnownHostsFile(std::wstring path) : path_(std::move(path)) {}

  const std::wstring& path() const { return path_; }

  // Checks the key and adds it to the file for kNew alone. A new key that cannot be written down
  // is still taken, this once.
  HostKeyCheck admit(std::string_view hostName, std::string_view blob);

 private:
  std::wstring path_;
};
