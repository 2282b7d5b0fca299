#pragma once
// Where a picture goes on an S3 bucket or a WebDAV share, spelt as the URLs libcurl is given,
// and what an HTTP status says about trying again.
#include <string>
#include <string_view>
#include <vector>

#include "delivery/server_address.h"

namespace http_paths {

// Percent-encoding as AWS signs it: only A-Z a-z 0-9 - . _ ~ (and "/" when `keepSlash`) stay,
// every other byte of the UTF-8 text becomes %XX in uppercase hex. The signature covers the
// path as sent, so a name with "+", a space or a letter beyond ASCII must be encoded this way.
std::string awsEncode(std::string_view utf8, bool keepSlash);

// The picture's key in the bucket: the remote name's folders and file name, without empty
// levels ("/shots//Desk.png" is "shots/Desk.png"), in UTF-8.
std::string s3Key(std::wstring_view remoteName);

// "https://host:port/bucket/key", path-style so that any endpoint works.
std::string s3Url(const ServerAddress& address, std::string_view key);

// "https://host:port/share/folder/name" for the remote name under the share's path. The path
// as typed keeps its "%XX" escapes and its "/"; the folders and the name are encoded whole.
std::string webDavUrl(const ServerAddress& address, std::wstring_view remoteName);

// The remote name's folders under the share, each level's URL with a trailing "/", the
// outermost first: what MKCOL makes, one after the other, when the folder is missing.
std::vector<std::string> webDavFolderUrls(const ServerAddress& address,
                                          std::wstring_view remoteName);

// What an HTTP answer means for the ledger.
enum class HttpVerdict {
  kDone,     // 2xx
  kMayPass,  // 408, 429, 5xx (503 SlowDown among them): the server may take it later
  kRefused,  // any other: a wrong key or password (401, 403), a missing bucket (404), a request
             // the server will never take; nothing changes until somebody acts
};
HttpVerdict verdictOf(long status);

}  // namespace http_paths
