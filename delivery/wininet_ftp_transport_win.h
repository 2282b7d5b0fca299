#pragma once
// Plain FTP through WinINet: "ftp://" addresses and bare host names.
#include <chrono>
#include <string>

#include "delivery/destination.h"

class WinInetFtpTransport : public Destination {
 public:
  // Connects in passive mode to the address's port (21 for a bare host), logs in with the
  // decrypted password and puts the file in binary mode under the remote name + ".part", then
  // renames it to the remote name: the remote name only ever holds a whole picture. A server
  // that refuses renames gets the file straight under the remote name, from then on for the
  // rest of the run; the first send to find that out says so in its outcome's notice. A stored
  // password that does not decrypt: no connection. A failed transfer leaves no partial file on
  // the server, as far as the server lets it be deleted. A failure carries the server's error
  // text when it answered with one, else the reason in plain words.
  UploadOutcome send(const FtpAccount& account, const std::wstring& remoteName,
                     const std::wstring& localFile) override;
  UploadOutcome remove(const FtpAccount& account, const std::wstring& remoteName) override;

  // WinINet ends every session of the program at once, so this ends every WinINet send, of
  // whichever instance. What they had sent is deleted from the server, each on a new login of
  // its own that gets a little over a second.
  void cancelAll() override;
  bool waitForCleanup(std::chrono::milliseconds limit) override;
};
