// The known_hosts file as OpenSSH writes it: which host a line names, which key is the known one.
#include "delivery/known_hosts.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace {

// A key blob: its type as an SSH string, then the key's bytes.
std::string blob(const std::string& type, const std::string& key) {
  const char length[4] = {0, 0, 0, static_cast<char>(type.size())};
  return std::string(length, 4) + type + key;
}

const std::string kKey = blob("ssh-ed25519", std::string(32, '\x11'));
const std::string kOtherKey = blob("ssh-ed25519", std::string(32, '\x22'));
const std::string kRsaKey = blob("ssh-rsa", std::string(40, '\x33'));

using Verdict = HostKeyCheck::Verdict;

TEST(KnownHosts, NamesHostsAsOpenSshDoes) {
  EXPECT_EQ(knownHostName("sftp.example.com", 22), "sftp.example.com");
  EXPECT_EQ(knownHostName("10.0.0.5", 2222), "[10.0.0.5]:2222");
  EXPECT_EQ(hostKeyType(kKey), "ssh-ed25519");
  EXPECT_EQ(hostKeyType("\0\0\0\x7Fshort"), "");
  EXPECT_EQ(knownHostsLine("h", kKey).rfind("h ssh-ed25519 AAAAC3NzaC1lZDI1NTE5", 0), 0u);
}

TEST(KnownHosts, FindsTheHostAmongListsAndHashedNames) {
  const std::string text = "# comment\n\nother,Sftp.Example.com " +
                           knownHostsLine("x", kKey).substr(2) +
                           // "sftp.example.com" hashed by ssh-keygen -H, with the salt below
                           "|1|ZmFrZXNhbHRmYWtlc2FsdGZha2U=|hwi+v2e2gyZ+s3wtx5TJ+R5BmTk= " +
                           knownHostsLine("x", kRsaKey).substr(2);
  EXPECT_EQ(checkHostKey(text, "sftp.example.com", kKey).verdict, Verdict::kKnown);
  EXPECT_EQ(checkHostKey(text, "other", kKey).verdict, Verdict::kKnown);
  EXPECT_EQ(checkHostKey(text, "sftp.example.com", kRsaKey).verdict, Verdict::kKnown);
  EXPECT_EQ(checkHostKey(text, "[sftp.example.com]:2222", kKey).verdict, Verdict::kNew);
  const HostKeyCheck changed = checkHostKey(text, "sftp.example.com", kOtherKey);
  EXPECT_EQ(changed.verdict, Verdict::kChanged);
  EXPECT_EQ(changed.line, 3u);
  // Known only under another type of key: a server does not switch on its own.
  EXPECT_EQ(checkHostKey(text, "other", kRsaKey).verdict, Verdict::kChanged);
  // Markers and patterns name hosts too.
  const std::string marked = "@cert-authority sftp.example.com " +
                             knownHostsLine("x", kOtherKey).substr(2) + "*.example.com " +
                             knownHostsLine("x", kOtherKey).substr(2);
  EXPECT_EQ(checkHostKey(marked, "sftp.example.com", kKey).verdict, Verdict::kCertificateAuthority);
  EXPECT_EQ(checkHostKey(marked, "www.example.com", kKey).verdict, Verdict::kChanged);
}

// A line for `key`: any marker, then the host patterns.
std::string line(const std::string& hosts, const std::string& key) {
  return knownHostsLine(hosts, key);
}

TEST(KnownHosts, MatchesPatternListsAsOpenSshDoes) {
  const std::string text = line("s*p.*.com,!STOP.example.com,[10.0.0.?]:2222", kKey) +
                           line("!other.org", kOtherKey) + line("@bogus *", kOtherKey) +
                           line("@revoked @revoked *", kKey);
  for (const char* host : {"SFTP.Example.COM", "sp.a.b.com", "[10.0.0.5]:2222"}) {
    EXPECT_EQ(checkHostKey(text, host, kKey).verdict, Verdict::kKnown) << host;
  }
  for (const char* host :
       {"sftp.com", "stop.example.com", "[10.0.0.55]:2222", "10.0.0.5", "other.org", "else.org"}) {
    EXPECT_EQ(checkHostKey(text, host, kKey).verdict, Verdict::kNew) << host;
  }
  const HostKeyCheck changed = checkHostKey(text, "sftp.example.com", kOtherKey);
  EXPECT_EQ(changed.verdict, Verdict::kChanged);
  EXPECT_EQ(changed.line, 1u);
}

TEST(KnownHosts, RefusesRevokedKeysAndHostsLeftToAnAuthority) {
  const std::string text = line("sftp.example.com", kKey) + line("@revoked *.example.com", kKey) +
                           line("@cert-authority *.example.org,!www.example.org", kRsaKey) +
                           line("git.example.org", kKey);
  const HostKeyCheck revoked = checkHostKey(text, "sftp.example.com", kKey);
  EXPECT_EQ(revoked.verdict, Verdict::kRevoked);
  EXPECT_EQ(revoked.line, 2u);
  EXPECT_EQ(checkHostKey(text, "sftp.example.com", kOtherKey).verdict, Verdict::kChanged);
  EXPECT_EQ(checkHostKey(text, "sftp.example.net", kKey).verdict, Verdict::kNew);
  const HostKeyCheck authority = checkHostKey(text, "git.example.org", kOtherKey);
  EXPECT_EQ(authority.verdict, Verdict::kCertificateAuthority);
  EXPECT_EQ(authority.line, 3u);
  EXPECT_EQ(checkHostKey(text, "ftp.example.org", kKey).verdict, Verdict::kCertificateAuthority);
  EXPECT_EQ(checkHostKey(text, "git.example.org", kKey).verdict, Verdict::kKnown);
  EXPECT_EQ(checkHostKey(text, "www.example.org", kKey).verdict, Verdict::kNew);
}

TEST(KnownHosts, AdmitsANewHostOnceAndKeepsWhatTheFileHeld) {
  TempFolder folder;
  const std::wstring path = folder.file(L"known_hosts");
  writeBytes(path, "# mine");
  KnownHostsFile file(path);
  EXPECT_EQ(file.admit("h", kKey).verdict, Verdict::kNew);
  EXPECT_EQ(file.admit("h", kKey).verdict, Verdict::kKnown);
  EXPECT_EQ(file.admit("h", kOtherKey).verdict, Verdict::kChanged);
  EXPECT_EQ(readBytes(path), "# mine\n" + knownHostsLine("h", kKey));

  const std::string refusing = line("@revoked *", kOtherKey) + line("@cert-authority g*", kKey);
  writeBytes(path, refusing);
  EXPECT_EQ(file.admit("h", kOtherKey).verdict, Verdict::kRevoked);
  EXPECT_EQ(file.admit("g", kKey).verdict, Verdict::kCertificateAuthority);
  EXPECT_EQ(readBytes(path), refusing);
}

}  // namespace
