#include "capture/ftp_uploader_win.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cwctype>
#include <iterator>
#include <utility>

#include "platform/internet_session_win.h"
#include "platform/worker_group.h"
#include "settings/password_cipher.h"

namespace {

// A server that stops answering cannot keep an upload worker for good: connecting and logging
// in get kLoginLimit, the transfer kTransferLimit plus the time the file takes at kSlowestLine.
constexpr std::chrono::seconds kLoginLimit{20};
constexpr std::chrono::seconds kTransferLimit{60};
// Removing what a failed transfer left on the server: one short command, or a new login.
constexpr std::chrono::seconds kCleanupLimit{10};
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
    if (!text_.empty()) valid_ = PasswordCipher::instance().decrypt(text_, text_.size());
  }
  ~PlainPassword() { SecureZeroMemory(text_.data(), text_.size() * sizeof(wchar_t)); }
  PlainPassword(const PlainPassword&) = delete;
  PlainPassword& operator=(const PlainPassword&) = delete;

  // False for a stored text that is no cipher text of ours (a hand-edited file): it must not
  // go to the server as the password.
  bool valid() const { return valid_; }
  const wchar_t* c_str() const { return text_.c_str(); }

  // `text` with every occurrence of the password masked: a server may quote what it was sent.
  std::wstring maskedIn(std::wstring text) const {
    if (text_.empty()) return text;
    for (size_t at = text.find(text_); at != std::wstring::npos; at = text.find(text_, at + 3)) {
      text.replace(at, text_.size(), L"***");
    }
    return text;
  }

 private:
  std::wstring text_;
  bool valid_ = true;
};

// The server's last reply on this thread when it is an error reply (4xx or 5xx), on one line;
// else empty. An earlier, successful reply says nothing about this failure.
std::wstring serverErrorText() {
  DWORD code = 0;
  wchar_t buffer[512] = {};
  DWORD length = static_cast<DWORD>(std::size(buffer));
  if (!InternetGetLastResponseInfoW(&code, buffer, &length)) return {};
  std::wstring text(buffer, std::min<DWORD>(length, static_cast<DWORD>(std::size(buffer) - 1)));
  for (wchar_t& c : text) {
    if (std::iswcntrl(c)) c = L' ';
  }
  while (!text.empty() && text.back() == L' ') text.pop_back();
  const size_t start = text.find_first_not_of(L' ');
  if (start == std::wstring::npos) return {};
  text.erase(0, start);
  return text[0] == L'4' || text[0] == L'5' ? text : std::wstring{};
}

// Why a WinINet call failed, from the error it left: the server's own words when it gave an
// error reply, else the error in plain words.
std::wstring failureReason(const win32::InternetSession& session, const std::wstring& server,
                           DWORD error) {
  if (win32::InternetSession::cancelled()) return L"cancelled, Vemlix was closing";
  if (session.expired()) return L"no answer from " + server;
  std::wstring reply = serverErrorText();
  if (!reply.empty()) return reply;
  switch (error) {
    case ERROR_INTERNET_TIMEOUT:
      return L"no answer from " + server;
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
      return L"server " + server + L" not found";
    case ERROR_INTERNET_CANNOT_CONNECT:
      return L"could not connect to " + server;
    case ERROR_INTERNET_LOGIN_FAILURE:
    case ERROR_INTERNET_INCORRECT_USER_NAME:
    case ERROR_INTERNET_INCORRECT_PASSWORD:
      return L"login refused by " + server;
    case ERROR_INTERNET_CONNECTION_ABORTED:
    case ERROR_INTERNET_CONNECTION_RESET:
    case ERROR_FTP_DROPPED:
      return L"the connection to " + server + L" was lost";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return L"the captured picture was gone before it could be sent";
  }
  return L"error " + std::to_wstring(error) + L" talking to " + server;
}

HINTERNET connect(const win32::InternetSession& session, const FtpAccount& account,
                  const PlainPassword& password) {
  return InternetConnectW(session.root(), account.server.c_str(), INTERNET_DEFAULT_FTP_PORT,
                          account.user.c_str(), password.c_str(), INTERNET_SERVICE_FTP,
                          INTERNET_FLAG_PASSIVE, session.context());
}

// A transfer that failed or was cut off may have left part of the picture under its final
// name, where it would pass for a whole one: remove it, on the same connection while that is
// still open, else on a new one. Not when the program is ending: nothing may hold it up then.
void removePartialFile(win32::InternetSession& session, const win32::InternetHandle& connection,
                       const UploadJob& job, const PlainPassword& password) {
  if (session.restartClock(kCleanupLimit)) {
    session.limitToDeadline(connection.get());
    FtpDeleteFileW(connection.get(), job.remoteName.c_str());
    return;
  }
  if (win32::InternetSession::cancelled()) return;
  win32::InternetSession again(L"Vemlix/1.0", kCleanupLimit);
  if (!again) return;
  win32::InternetHandle second(again, connect(again, job.account, password));
  if (second && again.restartClock(kCleanupLimit)) {
    FtpDeleteFileW(second.get(), job.remoteName.c_str());
  }
}

}  // namespace

FtpUploader& FtpUploader::instance() {
  // Holds no state; never destroyed, so a worker still uploading at exit finds it.
  static FtpUploader* const uploader = new FtpUploader;
  return *uploader;
}

void FtpUploader::upload(UploadJob job, std::function<void(const UploadOutcome&)> done) {
  const std::wstring localPath = job.localPath;
  const bool temporary = job.deleteLocalFileAfter;
  const bool started = WorkerGroup::workers().start([job = std::move(job), done] {
    const UploadOutcome outcome = FtpUploader::instance().uploadNow(job);
    if (done) done(outcome);
  });
  if (started) return;
  if (temporary) DeleteFileW(localPath.c_str());
  if (done) done(UploadOutcome::failed(L"not sent, Vemlix was closing"));
}

UploadOutcome FtpUploader::uploadNow(const UploadJob& job) {
  LocalFileCleanup cleanup(job);
  const FtpAccount& account = job.account;
  if (account.server.empty()) return UploadOutcome::noServer();  // nothing to send it to
  const PlainPassword password(account.passwordCipherText);
  if (!password.valid()) {
    return UploadOutcome::failed(L"the stored FTP password cannot be read, enter it again");
  }
  win32::InternetSession session(L"Vemlix/1.0", kLoginLimit);
  if (!session)
    return UploadOutcome::failed(failureReason(session, account.server, GetLastError()));

  win32::InternetHandle connection(session, connect(session, account, password));
  if (!connection) {
    return UploadOutcome::failed(
        password.maskedIn(failureReason(session, account.server, GetLastError())));
  }
  // The login may have run out its time just as it succeeded: then the connection is closed
  // already, and its handle value may be another upload's by now.
  if (!session.restartClock(transferLimit(job.localPath))) {
    return UploadOutcome::failed(L"no answer from " + account.server);
  }
  session.limitToDeadline(connection.get());
  if (FtpPutFileW(connection.get(), job.localPath.c_str(), job.remoteName.c_str(),
                  FTP_TRANSFER_TYPE_BINARY, session.context())) {
    return UploadOutcome::uploaded(account.server);
  }
  const std::wstring reason =
      password.maskedIn(failureReason(session, account.server, GetLastError()));
  removePartialFile(session, connection, job, password);
  return UploadOutcome::failed(reason);
}

void FtpUploader::cancelAll() {
  win32::InternetSession::cancelAll();
}
