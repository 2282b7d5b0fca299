#pragma once
// Puts a captured image on the server a shot names: plain FTP through WinINet here, the
// encrypted forms (ftpes://, ftps://, sftp://) through SecureTransfer.
#include <chrono>
#include <functional>
#include <string>

#include "delivery/destination.h"
#include "delivery/upload_outcome.h"
#include "shots/shot_settings.h"

// Everything one upload needs, copied when the upload is handed over, so the worker never
// reads a shot record that another thread may be changing or deleting.
struct UploadJob {
  FtpAccount account;           // the password as stored (cipher text)
  std::wstring remoteName;      // remoteFileName() of the capture
  std::wstring localPath;       // the picture, only read
  std::wstring knownHostsPath;  // where SFTP servers' host keys are kept
};

class FtpUploader {
 public:
  static FtpUploader& instance();

  // Runs uploadNow(job) on a worker of its own and returns at once; nothing waits for it.
  // `done`, when given, hears the outcome on that worker once the upload has ended. When no
  // worker can be started the upload is skipped, and `done` hears so on the calling thread.
  void upload(UploadJob job, std::function<void(const UploadOutcome&)> done = nullptr);

  // Connects in passive mode to port 21 of the job's server, logs in with the decrypted password
  // and puts the file in binary mode under the remote name + ".part", then renames it to the
  // remote name: the remote name only ever holds a whole picture. A server that refuses renames
  // gets the file straight under the remote name, from then on for the rest of the run; the
  // first upload to find that out says so in its outcome's notice. No server, or a stored
  // password that does not decrypt: no connection. The whole upload is bounded in time, however
  // the server behaves, and a failed transfer leaves no partial file on the server, as far as
  // the server lets it be deleted. True (as a bool) when the file arrived; a failure carries the
  // server's error text when it answered with one, else the reason in plain words.
  UploadOutcome uploadNow(const UploadJob& job);

  // The end of the program: ends every upload in flight at once (their temporary files are
  // deleted as they end) and refuses every later one. What they had sent is deleted from the
  // server, each on a new login of its own that gets a little over a second.
  static void cancelAll();
  // After cancelAll(): waits until those deletes have ended or `limit` has passed; true when
  // none is left.
  static bool waitForCleanup(std::chrono::milliseconds limit);

 private:
  FtpUploader() = default;
};

// Every server a shot can name: plain FTP through WinINet, the encrypted forms through
// SecureTransfer, with the host keys of SFTP servers in `knownHostsPath`.
class FtpDestination : public Destination {
 public:
  explicit FtpDestination(std::wstring knownHostsPath);
  UploadOutcome send(const FtpAccount& account, const std::wstring& remoteName,
                     const std::wstring& localFile) override;

 private:
  const std::wstring knownHostsPath_;
};
