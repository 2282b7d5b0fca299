#include "delivery/curl_parts_win.h"

#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <algorithm>
#include <mutex>
#include <utility>

#include "delivery/transfer_limits.h"
#include "platform/text_codec.h"

namespace curl_parts {
namespace {

int sslCtxIndex() {
  static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
  return index;
}

std::string sha256Fingerprint(X509* certificate) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!certificate || !X509_digest(certificate, EVP_sha256(), digest, &length)) return {};
  std::string text;
  char hex[4];
  for (unsigned int i = 0; i < length; ++i) {
    std::snprintf(hex, sizeof hex, i ? ":%02X" : "%02X", digest[i]);
    text += hex;
  }
  return text;
}

// OpenSSL's own verdict stands; the server's certificate is only noted, for a refusal to name.
int noteCertificate(int preverified, X509_STORE_CTX* store) {
  auto* ssl =
      static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
  auto* observed =
      ssl ? static_cast<Observed*>(SSL_CTX_get_ex_data(SSL_get_SSL_CTX(ssl), sslCtxIndex()))
          : nullptr;
  if (observed && observed->fingerprint.empty()) {
    observed->fingerprint = sha256Fingerprint(X509_STORE_CTX_get0_cert(store));
  }
  return preverified;
}

std::string escaped(CURL* easy, const std::string& segment) {
  char* text = curl_easy_escape(easy, segment.c_str(), static_cast<int>(segment.size()));
  std::string out = text ? text : "";
  curl_free(text);
  return out;
}

}  // namespace

void initOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_ALL); });
}

std::wstring certificateRefusal(const std::wstring& server, const char* error,
                                const std::string& fingerprint) {
  std::wstring why = L"the certificate of " + server + L" does not verify (" +
                     decodeUtf8(error ? error : "") + L"), so Vemlix did not log in there";
  if (!fingerprint.empty()) why += L"; its SHA-256 fingerprint is " + decodeUtf8(fingerprint);
  return why;
}

InFlight& InFlight::instance() {
  static InFlight* const inFlight = new InFlight;  // workers may still use it at exit
  return *inFlight;
}

bool InFlight::add(CURLM* multi) {
  std::lock_guard guard(lock_);
  if (cancelled_) return false;
  multis_.insert(multi);
  return true;
}

void InFlight::remove(CURLM* multi) {
  std::lock_guard guard(lock_);
  multis_.erase(multi);
}

void InFlight::cancelAll() {
  std::lock_guard guard(lock_);
  cancelled_ = true;
  for (CURLM* multi : multis_) curl_multi_wakeup(multi);
}

void InFlight::allowAgain() {
  std::lock_guard guard(lock_);
  cancelled_ = false;
}

bool InFlight::cancelled() const {
  std::lock_guard guard(lock_);
  return cancelled_;
}

void applyLimits(CURL* easy, std::chrono::seconds limit) {
  const auto ms = [](std::chrono::seconds time) {
    return static_cast<long>(std::chrono::milliseconds(time).count());
  };
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, ms(transfer_limits::kLogin));
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT,
                   static_cast<long>(transfer_limits::kLowestBytesPerSecond));
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME,
                   static_cast<long>(transfer_limits::kStall.count()));
  curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, ms(limit));
  curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, onProgress);
}

void verifyTls(CURL* easy, Observed* observed) {
  curl_easy_setopt(easy, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_NATIVE_CA));
  curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, onSslContext);
  curl_easy_setopt(easy, CURLOPT_SSL_CTX_DATA, observed);
}

CURLcode runToEnd(CURLM* multi, CURL* easy) {
  if (curl_multi_add_handle(multi, easy) != CURLM_OK) return CURLE_FAILED_INIT;
  CURLcode result = CURLE_ABORTED_BY_CALLBACK;
  int running = 1;
  while (running && !InFlight::instance().cancelled()) {
    if (curl_multi_perform(multi, &running) != CURLM_OK) break;
    if (running) curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
  }
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
    if (message->msg == CURLMSG_DONE) result = message->data.result;
  }
  curl_multi_remove_handle(multi, easy);
  return result;
}

CommandList commands(const std::vector<std::string>& lines) {
  curl_slist* list = nullptr;
  for (const std::string& line : lines) list = curl_slist_append(list, line.c_str());
  return CommandList(list);
}

CURLcode onSslContext(CURL*, void* context, void* data) {
  auto* ctx = static_cast<SSL_CTX*>(context);
  SSL_CTX_set_ex_data(ctx, sslCtxIndex(), data);
  SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, noteCertificate);
  return CURLE_OK;
}

int onHostKey(void* data, int, const char* key, size_t length) {
  auto* observed = static_cast<Observed*>(data);
  observed->hostKey =
      observed->knownHosts->admit(observed->knownHostName, std::string_view(key, length));
  const auto verdict = observed->hostKey.verdict;
  return verdict == HostKeyCheck::Verdict::kKnown || verdict == HostKeyCheck::Verdict::kNew
             ? CURLKHMATCH_OK
             : CURLKHMATCH_MISMATCH;
}

size_t onRead(char* buffer, size_t size, size_t count, void* data) {
  auto* observed = static_cast<Observed*>(data);
  observed->sending = true;
  const size_t read = std::fread(buffer, size, count, observed->file);
  return read == 0 && std::ferror(observed->file) ? CURL_READFUNC_ABORT : read;
}

size_t onReply(char* buffer, size_t size, size_t count, void* data) {
  std::string line(buffer, size * count);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  if (!line.empty()) static_cast<Observed*>(data)->lastReply = std::move(line);
  return size * count;
}

int onProgress(void*, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return InFlight::instance().cancelled() ? 1 : 0;
}

RemotePath remotePath(CURL* easy, const std::wstring& folderName, const std::string& name,
                      bool sftp) {
  std::vector<std::string> segments;
  const std::string folder = encodeUtf8(folderName, false);
  for (size_t at = 0; at <= folder.size();) {
    const size_t end = std::min(folder.find('/', at), folder.size());
    if (end > at) segments.push_back(folder.substr(at, end - at));
    at = end + 1;
  }
  RemotePath path;
  // SFTP URLs are from the root, "~" is the login's folder; FTP's are from the login's folder,
  // "%2F" is the root.
  path.url = segments.empty() ? (sftp ? "~/" : "") : (sftp ? "" : "%2F");
  for (const std::string& segment : segments) {
    path.command += "/" + segment;
    path.url += escaped(easy, segment) + "/";
  }
  path.command += segments.empty() ? name : "/" + name;
  path.url += escaped(easy, name);
  return path;
}

}  // namespace curl_parts
