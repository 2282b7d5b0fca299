#pragma once
// One upload's HTTP requests through libcurl, on one connection while the server keeps it:
// the object storage and WebDAV transports speak through this.
#include <curl/curl.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "delivery/curl_parts_win.h"
#include "delivery/server_address.h"
#include "delivery/upload_outcome.h"
#include "shots/shot_settings.h"

struct HttpAnswer {
  CURLcode code = CURLE_OK;
  long status = 0;     // 0 when no HTTP answer came
  std::string body;    // the first few KiB: an error's XML or HTML
  std::string detail;  // libcurl's words when the request itself failed

  bool done() const;  // answered with a 2xx
};

struct HttpRequest {
  std::string method;  // "PUT", "HEAD", "DELETE", "MKCOL", "MOVE"
  std::string url;
  std::vector<std::string> headers;
  FILE* body = nullptr;  // PUT: read from its start
  uint64_t bodySize = 0;
};

class HttpSession {
 public:
  // `signRegion`: S3's region, signed with AWS Signature V4 with the user as access key id and
  // the password as secret; empty for WebDAV, where Basic or Digest go as the server asks.
  HttpSession(const ServerAddress& server, std::string user, std::string password,
              std::string signRegion);
  ~HttpSession();
  HttpSession(const HttpSession&) = delete;
  HttpSession& operator=(const HttpSession&) = delete;

  // Runs one request to its end, within transfer_limits, or until the program ends. TLS
  // certificates must verify against the Windows certificate store.
  HttpAnswer perform(const HttpRequest& request);

  // How a failed answer ends the send, in words a user can act on: a refusal (401, 403, a
  // certificate that does not verify) is marked refused, so the ledger waits long before
  // trying again; 5xx, time-outs and no connection may pass.
  UploadOutcome failure(const HttpAnswer& answer) const;
  UploadOutcome delivered() const { return UploadOutcome::uploaded(serverName_); }

 private:
  void setCommon(const HttpRequest& request, std::chrono::seconds limit);
  CURLcode run();

  const bool tls_;
  const std::wstring serverName_;
  const std::string user_;
  const std::string password_;
  const std::string sigv4_;
  std::unique_ptr<CURL, curl_parts::EasyCleanup> easy_;
  std::unique_ptr<CURLM, curl_parts::MultiCleanup> multi_;
  curl_parts::Observed observed_;
  std::string received_;
  char error_[CURL_ERROR_SIZE] = {};
};

// A session for the account when its address is one that `accepts` takes (filled into
// `address`), with the password as typed, signed for the address's region when `sign` (S3);
// nothing, and why in `refusal`, when the stored password cannot be read or the address is not
// one of those.
std::unique_ptr<HttpSession> openSession(const FtpAccount& account,
                                         bool (*accepts)(TransferProtocol), bool sign,
                                         ServerAddress& address, UploadOutcome& refusal);

// The picture a PUT sends, open for reading; nothing when it is gone.
struct LocalBody {
  std::unique_ptr<FILE, curl_parts::FileClose> file;
  uint64_t size = 0;
};
std::optional<LocalBody> openBody(const std::wstring& path);
UploadOutcome pictureGone();

// "<Code>SignatureDoesNotMatch</Code>" and its message from an S3 error, or the title of an
// HTML error page; empty when the body says nothing readable.
std::string serverWords(const std::string& body);
