#pragma once
// WebDAV shares through libcurl: "https://" and "http://" addresses, the folder after the
// address's path. Basic or Digest authentication, as the server asks.
#include "delivery/destination.h"

class WebDavTransport : public Destination {
 public:
  // PUTs the picture under its name + ".part", then MOVEs it onto the final name (Overwrite: T),
  // so the final name only ever holds a whole picture; a folder that is missing (409) is made
  // level by level with MKCOL and the PUT tried once more. A failure deletes the ".part".
  UploadOutcome send(const FtpAccount& account, const std::wstring& remoteName,
                     const std::wstring& localFile) override;
  UploadOutcome remove(const FtpAccount& account, const std::wstring& remoteName) override;
  // Every libcurl transfer of the program ends at once (they share one list).
  void cancelAll() override;
};
