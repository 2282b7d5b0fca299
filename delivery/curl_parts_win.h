#pragma once
// The pieces of a libcurl transfer: the owners of its handles, what its callbacks learn on the
// way (the server's last reply, its certificate, its host key), and the file's place on the
// server as commands and URLs spell it.
#include <curl/curl.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "delivery/known_hosts.h"

namespace curl_parts {

// libcurl, made ready once for the whole program before its first handle.
void initOnce();

// Why a TLS server was refused: its certificate does not verify; `fingerprint` (SHA-256, may be
// empty) lets an administrator check it.
std::wstring certificateRefusal(const std::wstring& server, const char* error,
                                const std::string& fingerprint);

// Every transfer's multi handle, so the end of the program can wake each from its wait.
class InFlight {
 public:
  static InFlight& instance();

  // False, and nothing kept, once the program is ending.
  bool add(CURLM* multi);
  void remove(CURLM* multi);
  void cancelAll();
  void allowAgain();
  bool cancelled() const;

 private:
  mutable std::mutex lock_;
  std::set<CURLM*> multis_;
  bool cancelled_ = false;
};

struct EasyCleanup {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiCleanup {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct ListCleanup {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct FileClose {
  void operator()(FILE* file) const { std::fclose(file); }
};
using CommandList = std::unique_ptr<curl_slist, ListCleanup>;

// A list of commands as libcurl takes them.
CommandList commands(const std::vector<std::string>& lines);

// What one transfer learns on its way from libcurl's callbacks.
struct Observed {
  FILE* file = nullptr;
  bool sending = false;     // the file's first bytes were asked for
  std::string lastReply;    // the FTP server's last reply line
  std::string fingerprint;  // the SHA-256 of the server's certificate, "AB:CD:..."
  KnownHostsFile* knownHosts = nullptr;
  std::string knownHostName;
  HostKeyCheck hostKey;
};

// The limits every transfer keeps (transfer_limits): connecting, a stall below the lowest
// speed, the whole request within `limit`; and the end of the program ending it at once.
void applyLimits(CURL* easy, std::chrono::seconds limit);

// TLS that must verify against the Windows certificate store; `observed` notes the server's
// certificate for a refusal to name.
void verifyTls(CURL* easy, Observed* observed);

// Runs the easy handle's request on the multi handle to its end, or until the program ends
// (CURLE_ABORTED_BY_CALLBACK then).
CURLcode runToEnd(CURLM* multi, CURL* easy);

// The callbacks, each given the transfer's Observed as its data.
CURLcode onSslContext(CURL*, void* context, void* data);
int onHostKey(void* data, int, const char* key, size_t length);
size_t onRead(char* buffer, size_t size, size_t count, void* data);
// FTP replies come as "headers"; the last one says why a command failed.
size_t onReply(char* buffer, size_t size, size_t count, void* data);
// Ends a transfer at once when the program is ending.
int onProgress(void*, curl_off_t, curl_off_t, curl_off_t, curl_off_t);

// The file's place on the server, as commands name it and as the URL spells it.
struct RemotePath {
  std::string command;  // "/a/b/name" from the root, or "name" in the login's folder
  std::string url;      // escaped, after the host and port
};

// `name` in `folder` ("" for the login's own, else from the server's root).
RemotePath remotePath(CURL* easy, const std::wstring& folder, const std::string& name, bool sftp);

}  // namespace curl_parts
