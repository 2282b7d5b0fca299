#include "delivery/wininet_ftp_transport_win.h"

#include <windows.h>
#include <wininet.h>

#include <condition_variable>
#include <cstdint>
#include <cwctype>
#include <map>
#include <mutex>
#include <set>

#include "delivery/plain_password_win.h"
#include "delivery/transfer_limits.h"
#include "delivery/wininet_ftp_win.h"
#include "platform/detached_thread.h"
#include "platform/files.h"
#include "platform/internet_session_win.h"

namespace {

using namespace wininet_ftp;

// What the end of the program leaves for removing what cut-off uploads left on their servers:
// the process ends within 2 s of Exit.
constexpr std::chrono::milliseconds kExitCleanupGrace{1200};
// A picture is sent under its final name plus this, and takes the final name once whole.
constexpr wchar_t kPartSuffix[] = L".part";

std::chrono::seconds transferLimit(const std::wstring& path) {
  return transfer_limits::transferLimit(platform::fileSize(path).value_or(0));
}

// Servers that refused to rename this run: they get pictures straight under their final names
// from then on. Names of hosts are the same in any case.
class RenameRefusers {
 public:
  bool contains(const std::wstring& server) const {
    std::lock_guard guard(lock_);
    return servers_.count(key(server)) > 0;
  }
  // True only for the first upload to find that `server` refuses: that one tells the user.
  bool add(const std::wstring& server) {
    std::lock_guard guard(lock_);
    return servers_.insert(key(server)).second;
  }

 private:
  static std::wstring key(std::wstring server) {
    for (wchar_t& c : server) c = static_cast<wchar_t>(std::towlower(c));
    return server;
  }

  mutable std::mutex lock_;
  std::set<std::wstring> servers_;
};

RenameRefusers& renameRefusers() {
  static RenameRefusers* const refusers = new RenameRefusers;  // workers may use it at exit
  return *refusers;
}

// The temporary names being sent right now. At the end of the program each is deleted on a
// thread of its own: a put stuck in sending is not sure to give up its thread in time.
class PartsInFlight {
 public:
  using Id = uint64_t;

  // Zero, and nothing kept, once the program is ending: then nothing may be sent any more.
  Id add(const FtpAccount& account, const std::wstring& part) {
    std::lock_guard guard(lock_);
    if (win32::InternetSession::cancelled()) return 0;
    parts_.emplace(++lastId_, Part{account, part});
    return lastId_;
  }

  void remove(Id id) {
    std::lock_guard guard(lock_);
    parts_.erase(id);
  }

  // After InternetSession::cancelAll(): later add()s refuse, so this finds every part sent.
  void deleteAll() {
    std::lock_guard guard(lock_);
    for (const auto& [id, part] : parts_) {
      ++deleting_;
      if (!platform::startDetachedThread([this, part = part] {
            deleteOnNewLogin(part.account, PlainPassword(part.account.passwordCipherText),
                             part.name);
            deleted();
          })) {
        --deleting_;
      }
    }
    parts_.clear();
  }

  bool waitForDeletes(std::chrono::milliseconds limit) {
    std::unique_lock guard(lock_);
    return done_.wait_for(guard, limit, [this] { return deleting_ == 0; });
  }

 private:
  struct Part {
    FtpAccount account;
    std::wstring name;
  };

  void deleted() {
    std::lock_guard guard(lock_);
    --deleting_;
    done_.notify_all();
  }

  std::mutex lock_;
  std::condition_variable done_;
  std::map<Id, Part> parts_;
  Id lastId_ = 0;
  size_t deleting_ = 0;
};

PartsInFlight& partsInFlight() {
  static PartsInFlight* const parts = new PartsInFlight;  // clean-up threads may outlive exit
  return *parts;
}

// What one send puts where; all of it outlives the send.
struct Job {
  const FtpAccount& account;
  const std::wstring& remoteName;
  const std::wstring& localPath;
  const PlainPassword& password;
};

// The steps of one send on its logged-in connection. Each step first moves the session's
// deadline; once that has passed, the handles are gone and no step may be taken.
class FtpPut {
 public:
  FtpPut(win32::InternetSession& session, const win32::InternetHandle& connection, const Job& job)
      : session_(session), connection_(connection), job_(job) {}

  // Puts the file under the final name + ".part" and renames it once it is whole, so that
  // nobody who reads the folder ever finds part of a picture under a picture's name.
  UploadOutcome throughTemporaryName() {
    const std::wstring part = job_.remoteName + kPartSuffix;
    const PartsInFlight::Id inFlight = partsInFlight().add(job_.account, part);
    if (!inFlight) return UploadOutcome::failed(L"cancelled, Vemlix was closing");
    UploadOutcome failure;
    const bool sent = put(part, failure);
    partsInFlight().remove(inFlight);
    if (!sent) return failure;
    // Whole or not, a file sent while the program was ending is not to be trusted with the name.
    if (win32::InternetSession::cancelled()) return failedLeaving(part);
    switch (rename(part, job_.remoteName)) {
      case Renamed::kYes:
        return UploadOutcome::uploaded(job_.account.server);
      case Renamed::kFailed:
        return failedLeaving(part);
      case Renamed::kRefused:
        break;
    }
    remove(part);
    UploadOutcome outcome = straight();
    if (renameRefusers().add(job_.account.server)) {
      outcome.notice = job_.account.server +
                       L" refuses to rename files: until Vemlix restarts, pictures go there "
                       L"straight under their final names";
    }
    return outcome;
  }

  // Puts the file under its final name, for a server that refuses renames.
  UploadOutcome straight() {
    UploadOutcome failure;
    if (!put(job_.remoteName, failure)) return failure;
    return UploadOutcome::uploaded(job_.account.server);
  }

 private:
  enum class Renamed { kYes, kRefused, kFailed };

  // Moves the deadline for the next step; false, with the error set, when it had passed.
  bool step(std::chrono::seconds limit) {
    if (session_.restartClock(limit)) {
      session_.limitToDeadline(connection_.get());
      return true;
    }
    SetLastError(ERROR_INTERNET_TIMEOUT);
    return false;
  }

  // Sends the file; a send that never began has left nothing, so it needs no clean-up.
  bool put(const std::wstring& remoteName, UploadOutcome& failure) {
    if (!step(transferLimit(job_.localPath))) {
      failure = UploadOutcome::failed(L"no answer from " + job_.account.server);
      return false;
    }
    if (FtpPutFileW(connection_.get(), job_.localPath.c_str(), remoteName.c_str(),
                    FTP_TRANSFER_TYPE_BINARY, session_.context())) {
      return true;
    }
    failure = failedLeaving(remoteName);
    return false;
  }

  Renamed rename(const std::wstring& from, const std::wstring& to) {
    if (!step(transfer_limits::kCommand)) return Renamed::kFailed;
    if (FtpRenameFileW(connection_.get(), from.c_str(), to.c_str())) return Renamed::kYes;
    if (!serverSaidNo()) return Renamed::kFailed;
    // Some servers will not rename onto a name in use: the older picture makes way.
    FtpDeleteFileW(connection_.get(), to.c_str());
    if (FtpRenameFileW(connection_.get(), from.c_str(), to.c_str())) return Renamed::kYes;
    return serverSaidNo() ? Renamed::kRefused : Renamed::kFailed;
  }

  // The reason the last step failed; then what it may have left under `remoteName` goes.
  UploadOutcome failedLeaving(const std::wstring& remoteName) {
    const std::wstring reason = failureReason(session_, job_.account.server, GetLastError());
    remove(remoteName);
    return UploadOutcome::failed(reason);
  }

  // On this connection while it works, else on a new login. A clean-up session, so that the
  // end of the program shortens it instead of cutting it off.
  void remove(const std::wstring& remoteName) {
    if (!win32::InternetSession::cancelled() && step(transfer_limits::kCommand)) {
      if (FtpDeleteFileW(connection_.get(), remoteName.c_str())) return;
      if (GetLastError() == ERROR_INTERNET_EXTENDED_ERROR) return;  // the server answered
    }
    deleteOnNewLogin(job_.account, job_.password, remoteName);
  }

  win32::InternetSession& session_;
  const win32::InternetHandle& connection_;
  const Job job_;
};

// Logs in to the account's server and hands the session, the connection and the password to
// `work`; the reason in words when the stored password cannot be read or the login fails.
template <typename Work>
UploadOutcome withLogin(const FtpAccount& account, Work work) {
  const PlainPassword password(account.passwordCipherText);
  if (!password.valid()) return PlainPassword::unreadable();
  win32::InternetSession session(L"Vemlix/1.0", transfer_limits::kLogin);
  if (!session)
    return UploadOutcome::failed(failureReason(session, account.server, GetLastError()));
  win32::InternetHandle connection(session, connectFtp(session, account, password));
  if (!connection)
    return UploadOutcome::failed(failureReason(session, account.server, GetLastError()));
  return work(session, connection, password);
}

}  // namespace

UploadOutcome WinInetFtpTransport::send(const FtpAccount& account, const std::wstring& remoteName,
                                        const std::wstring& localFile) {
  return withLogin(account,
                   [&](win32::InternetSession& session, const win32::InternetHandle& connection,
                       const PlainPassword& password) {
                     // The login may have run out its time just as it succeeded: then the
                     // connection is closed already, and its handle value may be another upload's
                     // by now.
                     FtpPut put(session, connection, {account, remoteName, localFile, password});
                     if (renameRefusers().contains(account.server)) return put.straight();
                     return put.throughTemporaryName();
                   });
}

UploadOutcome WinInetFtpTransport::remove(const FtpAccount& account,
                                          const std::wstring& remoteName) {
  return withLogin(account, [&](win32::InternetSession& session,
                                const win32::InternetHandle& connection, const PlainPassword&) {
    if (session.restartClock(transfer_limits::kCommand) &&
        FtpDeleteFileW(connection.get(), remoteName.c_str()))
      return UploadOutcome::uploaded(account.server);
    return UploadOutcome::failed(failureReason(session, account.server, GetLastError()));
  });
}

void WinInetFtpTransport::cancelAll() {
  win32::InternetSession::cancelAll(kExitCleanupGrace);
  partsInFlight().deleteAll();
}

bool WinInetFtpTransport::waitForCleanup(std::chrono::milliseconds limit) {
  return partsInFlight().waitForDeletes(limit);
}
