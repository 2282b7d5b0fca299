// Uploads through libcurl to real FTPS and SFTP servers on loopback (tests/servers): the bytes
// that arrive, certificates and host keys that must not pass, refusals and failures that may.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "delivery/curl_transport_win.h"
#include "delivery/transports_win.h"
#include "settings/app_settings.h"
#include "settings/password_cipher.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

constexpr const wchar_t* kTrusted = L"127.0.0.21";    // FTPS on 21 and 990, a trusted certificate
constexpr const wchar_t* kUntrusted = L"127.0.0.22";  // FTPS on 21, a certificate nobody signed
constexpr const wchar_t* kSftp = L"127.0.0.23";       // SFTP on 22
constexpr const wchar_t* kNobody = L"127.0.0.2";      // nothing listens there
constexpr const wchar_t* kSilent = L"127.0.0.3";      // accepts on 21, never answers
constexpr const wchar_t* kPassword = L"Up-load 7";

fs::path serverDir(const char* folder) {
  return (L"Z:" / fs::path(std::string(VEMLIX_TEST_SERVER_DIR) + folder)).make_preferred();
}

std::string randomBytes(size_t size) {
  std::mt19937 random(7);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

class SecureTransferTest : public ::testing::Test {
 protected:
  CurlTarget to(TransferProtocol protocol, const wchar_t* host, uint16_t port,
                std::wstring name) const {
    return {{protocol, host, port}, L"vemlix", kPassword, L"", std::move(name)};
  }

  TransferReport send(const CurlTarget& destination) const {
    return transport_.upload(destination, picture_);
  }

  // The server's folder holds exactly the picture under `name`, and no part of it elsewhere.
  void expectDelivered(const char* root, const std::wstring& name) const {
    EXPECT_EQ(readBytes((serverDir(root) / name).wstring()), bytes_);
    EXPECT_FALSE(fs::exists(serverDir(root) / (name + L".part")));
  }

  TempFolder local_;
  const std::wstring picture_ = local_.file(L"vmp1A2B.tmp");
  const std::wstring knownHosts_ = local_.file(L"known_hosts");
  const std::string bytes_ = randomBytes(700 * 1024 + 13);
  CurlTransport transport_{knownHosts_};

  void SetUp() override { writeBytes(picture_, bytes_); }
};

TEST_F(SecureTransferTest, ExplicitAndImplicitTlsDeliverTheFileWhole) {
  const TransferReport explicitTls = send(to(TransferProtocol::kFtpes, kTrusted, 21, L"e.png"));
  EXPECT_TRUE(explicitTls) << explicitTls.outcome.detail;
  EXPECT_EQ(explicitTls.failure, TransferFailure::kNone);
  expectDelivered("/ftps-root", L"e.png");

  const TransferReport implicitTls = send(to(TransferProtocol::kFtps, kTrusted, 990, L"i.png"));
  EXPECT_TRUE(implicitTls) << implicitTls.outcome.detail;
  expectDelivered("/ftps-root", L"i.png");

  // Again over the older file, in a folder given from the server's root.
  writeBytes(picture_, "newer");
  fs::create_directories(serverDir("/ftps-root/shots/daily"));
  CurlTarget inFolder = to(TransferProtocol::kFtpes, kTrusted, 21, L"e 1.png");
  inFolder.folder = L"shots/daily";
  EXPECT_TRUE(send(inFolder));
  EXPECT_TRUE(send(inFolder));
  EXPECT_EQ(readBytes((serverDir("/ftps-root/shots/daily") / L"e 1.png").wstring()), "newer");
}

TEST_F(SecureTransferTest, AnUntrustedCertificateIsRefusedWithItsFingerprint) {
  const TransferReport report = send(to(TransferProtocol::kFtpes, kUntrusted, 21, L"u.png"));
  EXPECT_FALSE(report);
  EXPECT_EQ(report.failure, TransferFailure::kRefused);
  // openssl x509 -fingerprint -sha256 of the server's certificate, as the test set-up made it.
  std::string pem = readBytes((serverDir("/tls") / L"untrusted.fingerprint").wstring());
  pem = pem.substr(pem.find('=') + 1);
  pem.erase(pem.find_last_not_of("\r\n") + 1);
  EXPECT_NE(report.outcome.detail.find(std::wstring(pem.begin(), pem.end())), std::wstring::npos)
      << report.outcome.detail;
  EXPECT_NE(report.outcome.detail.find(L"does not verify"), std::wstring::npos);
  EXPECT_TRUE(fs::is_empty(serverDir("/ftps-untrusted-root")));
}

TEST_F(SecureTransferTest, SftpTrustsTheFirstKeyAndRefusesAChangedOne) {
  const TransferReport first = send(to(TransferProtocol::kSftp, kSftp, 22, L"s.png"));
  EXPECT_TRUE(first) << first.outcome.detail;
  expectDelivered("/sftp-root", L"s.png");
  const std::string remembered = readBytes(knownHosts_);
  EXPECT_EQ(remembered.rfind("127.0.0.23 ssh-ed25519 ", 0), 0u) << remembered;
  EXPECT_TRUE(send(to(TransferProtocol::kSftp, kSftp, 22, L"s.png")));  // over the older file

  // The same host as known under another key, on the second line.
  std::string other = readBytes((serverDir("/ssh") / L"other_key.pub").wstring());
  writeBytes(knownHosts_, "# kept by hand\n127.0.0.23 " + other);
  const TransferReport changed = send(to(TransferProtocol::kSftp, kSftp, 22, L"c.png"));
  EXPECT_FALSE(changed);
  EXPECT_EQ(changed.failure, TransferFailure::kRefused);
  EXPECT_NE(changed.outcome.detail.find(L"remove line 2 of " + knownHosts_), std::wstring::npos)
      << changed.outcome.detail;
  EXPECT_FALSE(fs::exists(serverDir("/sftp-root") / L"c.png"));

  // The very key it trusted, revoked by hand: refused, and not trusted anew.
  writeBytes(knownHosts_, "@revoked " + remembered);
  const TransferReport revoked = send(to(TransferProtocol::kSftp, kSftp, 22, L"r.png"));
  EXPECT_EQ(revoked.failure, TransferFailure::kRefused);
  EXPECT_NE(revoked.outcome.detail.find(L"is revoked in line 1"), std::wstring::npos)
      << revoked.outcome.detail;
  EXPECT_EQ(readBytes(knownHosts_), "@revoked " + remembered);
  EXPECT_FALSE(fs::exists(serverDir("/sftp-root") / L"r.png"));
}

TEST_F(SecureTransferTest, AWrongPasswordIsARefusalAndAnAbsentServerMayPass) {
  for (TransferProtocol protocol : {TransferProtocol::kFtpes, TransferProtocol::kSftp}) {
    const bool sftp = protocol == TransferProtocol::kSftp;
    CurlTarget wrong = to(protocol, sftp ? kSftp : kTrusted, sftp ? 22 : 21, L"w.png");
    wrong.password = L"not-the-password";
    const TransferReport report = send(wrong);
    EXPECT_FALSE(report);
    EXPECT_EQ(report.failure, TransferFailure::kRefused) << report.outcome.detail;
    EXPECT_EQ(report.outcome.detail.find(L"not-the-password"), std::wstring::npos);
  }
  const TransferReport absent = send(to(TransferProtocol::kFtps, kNobody, 990, L"n.png"));
  EXPECT_FALSE(absent);
  EXPECT_EQ(absent.failure, TransferFailure::kMayPass);
  EXPECT_NE(absent.outcome.detail.find(L"127.0.0.2"), std::wstring::npos);
}

TEST_F(SecureTransferTest, CancelAllEndsATransferAtOnceAndRefusesLaterOnes) {
  // A server that accepts and never greets holds a transfer for its whole login limit.
  TransferReport report;
  std::thread worker([&] { report = send(to(TransferProtocol::kFtpes, kSilent, 21, L"x.png")); });
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const auto cancelled = std::chrono::steady_clock::now();
  transport_.cancelAll();
  worker.join();
  EXPECT_LT(std::chrono::steady_clock::now() - cancelled, std::chrono::milliseconds(300));
  EXPECT_EQ(report.failure, TransferFailure::kMayPass);
  EXPECT_NE(report.outcome.detail.find(L"cancelled"), std::wstring::npos);
  EXPECT_FALSE(send(to(TransferProtocol::kFtpes, kTrusted, 21, L"y.png")));
  transport_.allowAgain();
  EXPECT_FALSE(fs::exists(serverDir("/ftps-root") / L"y.png"));
}

}  // namespace

namespace {

// A shot's upload goes by the scheme of its server field, through the same destination as plain
// FTP; a certificate refused is a refusal for the outbox, and the password is in no text.
TEST_F(SecureTransferTest, AShotsUploadGoesByTheSchemeOfItsServer) {
  std::wstring cipher = kPassword;
  ASSERT_TRUE(PasswordCipher::instance().encrypt(cipher, cipher.size()));
  ServerDestination servers = makeServerDestination(knownHosts_);
  const auto upload = [&](const std::wstring& server, const std::wstring& remoteName) {
    return servers.send({server, L"vemlix", cipher, L""}, remoteName, picture_);
  };
  fs::create_directories(serverDir("/sftp-root/shots"));
  EXPECT_TRUE(upload(L"sftp://127.0.0.23", L"/shots/s.png"));
  expectDelivered("/sftp-root/shots", L"s.png");
  EXPECT_TRUE(upload(L"ftps://127.0.0.21", L"f.png"));
  expectDelivered("/ftps-root", L"f.png");

  const UploadOutcome refused = upload(L"ftpes://127.0.0.22:21", L"u.png");
  EXPECT_FALSE(refused);
  EXPECT_TRUE(refused.refused);
  EXPECT_NE(refused.detail.find(L"SHA-256"), std::wstring::npos) << refused.detail;
  EXPECT_EQ(refused.detail.find(kPassword), std::wstring::npos);
}

}  // namespace
