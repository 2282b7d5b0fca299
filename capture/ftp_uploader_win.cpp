#include "capture/ftp_uploader_win.h"

#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <cstdint>

#include "settings/password_cipher.h"
#include "platform/internet_session_win.h"
#include "platform/worker_group.h"

namespace {

// A server that stops answering cannot keep an upload worker for good: connecting and logging
// in get kLoginLimit, the transfer kTransferLimit plus the time the file takes at kSlowestLine.
constexpr std::chrono::seconds kLoginLimit{20};
constexpr std::chrono::seconds kTransferLimit{60};
constexpr uint64_t kSlowestLine = 32 * 1024;  // bytes per second

std::chrono::seconds transferLimit(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return kTransferLimit;
  const uint64_t size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  return kTransferLimit + std::chrono::seconds(size / kSlowestLine);
}

// Removes a temporary capture file when the job says it is one.
class LocalFileCleanup {
 public:
  explicit LocalFileCleanup(const UploadJob& job) : job_(job) {}
  ~LocalFileCleanup() {
    if (job_.deleteLocalFileAfter) DeleteFileW(job_.localPath.c_str());
  }
  LocalFileCleanup(const LocalFileCleanup&) = delete;
  LocalFileCleanup& operator=(const LocalFileCleanup&) = delete;

 private:
  const UploadJob& job_;
};

// The password as typed, for the one login that needs it; wiped when it goes.
class PlainPassword {
 public:
  explicit PlainPassword(const std::wstring& cipherText) : text_(cipherText) {
    if (!text_.empty()) PasswordCipher::instance().decrypt(text_, text_.size());
  }
  ~PlainPassword() { SecureZeroMemory(text_.data(), text_.size() * sizeof(wchar_t)); }
  PlainPassword(const PlainPassword&) = delete;
  PlainPassword& operator=(const PlainPassword&) = delete;

  const wchar_t* c_str() const { return text_.c_str(); }

 private:
  std::wstring text_;
};

}  // namespace

FtpUploader& FtpUploader::instance() {
  // Holds no state; never destroyed, so a worker still uploading at exit finds it.
  static FtpUploader* const uploader = new FtpUploader;
  return *uploader;
}

void FtpUploader::upload(UploadJob job) {
  const std::wstring localPath = job.localPath;
  const bool temporary = job.deleteLocalFileAfter;
  const bool started = WorkerGroup::workers().start(
      [job = std::move(job)] { FtpUploader::instance().uploadNow(job); });
  if (!started && temporary) DeleteFileW(localPath.c_str());
}

bool FtpUploader::uploadNow(const UploadJob& job) {
  LocalFileCleanup cleanup(job);
  const FtpAccount& account = job.account;
  if (account.server.empty()) return false;  // a shot without a server is not uploaded
  win32::InternetSession session(L"Vemlix/1.0", kLoginLimit);
  if (!session) return false;

  const PlainPassword password(account.passwordCipherText);
  win32::InternetHandle connection(
      session, InternetConnectW(session.root(), account.server.c_str(), INTERNET_DEFAULT_FTP_PORT,
                                account.user.c_str(), password.c_str(), INTERNET_SERVICE_FTP,
                                INTERNET_FLAG_PASSIVE, session.context()));
  if (!connection) return false;
  session.restartClock(transferLimit(job.localPath));
  session.limitToDeadline(connection.get());
  return FtpPutFileW(connection.get(), job.localPath.c_str(), job.remoteName.c_str(),
                     FTP_TRANSFER_TYPE_BINARY, session.context());
}
