#pragma once
// FTP over TLS (explicit or implicit) and SFTP through libcurl: "ftpes://", "ftps://" and
// "sftp://" addresses.
#include <optional>
#include <string>

#include "delivery/destination.h"
#include "delivery/known_hosts.h"
#include "delivery/plain_password_win.h"
#include "delivery/server_address.h"
#include "delivery/upload_outcome.h"

// Whether a transfer that failed may get through if it is tried again later.
enum class TransferFailure {
  kNone,     // it was delivered
  kMayPass,  // no connection, a time-out, a dropped transfer, a 4xx reply, the end of the program
  kRefused,  // the login (530), the permission or the path (550, 553), the server's certificate
             // or host key, a picture that is gone: nothing changes until somebody acts
};

struct CurlTarget {
  ServerAddress server;  // kFtpes, kFtps or kSftp
  std::wstring user;
  std::wstring password;  // as typed; no text this class gives back ever holds it
  std::wstring folder;    // "" for the folder the login starts in, else from the server's root
  std::wstring name;      // the file's name there
};

struct TransferReport {
  UploadOutcome outcome;
  TransferFailure failure = TransferFailure::kNone;

  explicit operator bool() const { return static_cast<bool>(outcome); }
};

class CurlTransport : public Destination {
 public:
  // SFTP servers' host keys are checked against this known_hosts file; a server met for the
  // first time has its key added there.
  explicit CurlTransport(std::wstring knownHostsPath);

  // upload() with the account's decrypted password, to its address; `remoteName` is the folder
  // from the server's root and the file's name. A refusal is marked refused in the outcome. A
  // stored password that does not decrypt, or no known_hosts file: nothing is sent.
  UploadOutcome send(const FtpAccount& account, const std::wstring& remoteName,
                     const std::wstring& localFile) override;
  UploadOutcome remove(const FtpAccount& account, const std::wstring& remoteName) override;

  // Sends the file under the final name + ".part" and renames it once whole (deleting an older
  // file of the final name when the server will not rename over it), so the final name only
  // ever holds a whole file; a failure deletes the ".part" as far as the server lets it. TLS
  // certificates must verify against the Windows certificate store; one that does not is
  // refused before anything is sent, and the outcome gives its SHA-256 fingerprint. A changed
  // host key is refused, naming the known_hosts line to remove. Connecting and logging in, a
  // stalled transfer and the whole transfer are each bounded in time. Blocks until it ends.
  TransferReport upload(const CurlTarget& to, const std::wstring& localPath) const;

  // Every libcurl transfer of the program, of whichever instance, ends at once, without
  // clean-up, and every later one is refused: the program ends once.
  void cancelAll() override;
  // Lets transfers run again after cancelAll() (tests stop and start the program's parts).
  void allowAgain();

 private:
  std::optional<CurlTarget> targetOf(const FtpAccount& account, const std::wstring& remoteName,
                                     const PlainPassword& password, UploadOutcome& refusal) const;

  mutable KnownHostsFile knownHosts_;
};
