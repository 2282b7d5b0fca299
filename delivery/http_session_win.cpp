#include "delivery/http_session_win.h"

#include <utility>

#include "delivery/http_paths.h"
#include "delivery/plain_password_win.h"
#include "delivery/transfer_limits.h"
#include "platform/files.h"
#include "platform/text_codec.h"

using namespace curl_parts;

namespace {

constexpr size_t kKeptBody = 4096;

CURL* newEasy() {
  initOnce();
  return curl_easy_init();
}

size_t onBody(char* buffer, size_t size, size_t count, void* data) {
  auto* body = static_cast<std::string*>(data);
  const size_t bytes = size * count;
  if (body->size() < kKeptBody) body->append(buffer, std::min(bytes, kKeptBody - body->size()));
  return bytes;
}

// libcurl rewinds the body when the server asks for a login first (Digest) or redirects.
int onSeek(void* data, curl_off_t offset, int origin) {
  FILE* file = static_cast<Observed*>(data)->file;
  return file && _fseeki64(file, offset, origin) == 0 ? CURL_SEEKFUNC_OK : CURL_SEEKFUNC_FAIL;
}

std::string between(const std::string& text, const std::string& open, const std::string& close) {
  const size_t start = text.find(open);
  if (start == std::string::npos) return {};
  const size_t end = text.find(close, start + open.size());
  if (end == std::string::npos) return {};
  return text.substr(start + open.size(), end - start - open.size());
}

}  // namespace

bool HttpAnswer::done() const {
  return code == CURLE_OK && http_paths::verdictOf(status) == http_paths::HttpVerdict::kDone;
}

HttpSession::HttpSession(const ServerAddress& server, std::string user, std::string password,
                         std::string signRegion)
    : tls_(!isPlainHttp(server.protocol)),
      serverName_(server.host),
      user_(std::move(user)),
      password_(std::move(password)),
      sigv4_(signRegion.empty() ? std::string() : "aws:amz:" + signRegion + ":s3"),
      easy_(newEasy()),
      multi_(curl_multi_init()) {}

HttpSession::~HttpSession() {
  InFlight::instance().remove(multi_.get());
}

HttpAnswer HttpSession::perform(const HttpRequest& request) {
  HttpAnswer answer;
  if (!easy_ || !multi_) {
    answer.code = CURLE_FAILED_INIT;
    answer.detail = "libcurl could not start";
    return answer;
  }
  curl_easy_reset(easy_.get());
  received_.clear();
  error_[0] = '\0';
  observed_ = Observed{};
  observed_.file = request.body;
  if (request.body) std::rewind(request.body);
  setCommon(request, request.body ? transfer_limits::transferLimit(request.bodySize)
                                  : transfer_limits::kCommand);
  const CommandList headers = commands(request.headers);
  curl_easy_setopt(easy_.get(), CURLOPT_HTTPHEADER, headers.get());
  answer.code = run();
  curl_easy_getinfo(easy_.get(), CURLINFO_RESPONSE_CODE, &answer.status);
  answer.body = std::move(received_);
  answer.detail = error_[0] ? error_ : curl_easy_strerror(answer.code);
  return answer;
}

void HttpSession::setCommon(const HttpRequest& request, std::chrono::seconds limit) {
  CURL* easy = easy_.get();
  curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, error_);
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(easy, CURLOPT_USERNAME, user_.c_str());
  curl_easy_setopt(easy, CURLOPT_PASSWORD, password_.c_str());
  if (!sigv4_.empty()) {
    curl_easy_setopt(easy, CURLOPT_AWS_SIGV4, sigv4_.c_str());
  } else {
    curl_easy_setopt(easy, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC | CURLAUTH_DIGEST));
  }
  applyLimits(easy, limit);
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &received_);
  if (tls_) verifyTls(easy, &observed_);
  if (request.body) {
    curl_easy_setopt(easy, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(easy, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(request.bodySize));
    curl_easy_setopt(easy, CURLOPT_READFUNCTION, onRead);
    curl_easy_setopt(easy, CURLOPT_READDATA, &observed_);
    curl_easy_setopt(easy, CURLOPT_SEEKFUNCTION, onSeek);
    curl_easy_setopt(easy, CURLOPT_SEEKDATA, &observed_);
  }
  if (request.method == "HEAD")
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);  // else libcurl waits for a body that never comes
  else if (request.method != "PUT" || !request.body)
    curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request.method.c_str());
}

CURLcode HttpSession::run() {
  if (!InFlight::instance().add(multi_.get())) return CURLE_ABORTED_BY_CALLBACK;
  return runToEnd(multi_.get(), easy_.get());
}

UploadOutcome HttpSession::failure(const HttpAnswer& answer) const {
  const auto mayPass = [](std::wstring why) { return UploadOutcome::failed(std::move(why)); };
  switch (answer.code) {
    case CURLE_OK:
      break;
    case CURLE_ABORTED_BY_CALLBACK:
      return mayPass(L"cancelled, Vemlix was closing");
    case CURLE_COULDNT_RESOLVE_HOST:
      return mayPass(L"server " + serverName_ + L" not found");
    case CURLE_COULDNT_CONNECT:
      return mayPass(L"could not connect to " + serverName_);
    case CURLE_OPERATION_TIMEDOUT:
      return mayPass(L"no answer from " + serverName_);
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
      return mayPass(L"the connection to " + serverName_ + L" was cut off (" +
                     decodeUtf8(answer.detail) + L")");
    case CURLE_PEER_FAILED_VERIFICATION: {
      UploadOutcome refused = UploadOutcome::failed(
          certificateRefusal(serverName_, answer.detail.c_str(), observed_.fingerprint));
      refused.refused = true;
      return refused;
    }
    default:
      return mayPass(decodeUtf8(answer.detail) + L" (" + serverName_ + L")");
  }
  std::wstring why = serverName_ + L" answered " + std::to_wstring(answer.status);
  std::string words = serverWords(answer.body);
  // An error page's title often repeats the status: "401 Unauthorized".
  if (const std::string status = std::to_string(answer.status); words.starts_with(status + " "))
    words.erase(0, status.size() + 1);
  if (!words.empty()) why += L" " + decodeUtf8(words);
  if (answer.status == 401 || answer.status == 403)
    why += sigv4_.empty() ? L": check the user and password" : L": check the key and secret";
  UploadOutcome outcome = UploadOutcome::failed(std::move(why));
  outcome.refused = http_paths::verdictOf(answer.status) == http_paths::HttpVerdict::kRefused;
  return outcome;
}

std::string serverWords(const std::string& body) {
  if (std::string code = between(body, "<Code>", "</Code>"); !code.empty()) {
    const std::string message = between(body, "<Message>", "</Message>");
    return message.empty() ? code : code + " (" + message + ")";
  }
  return between(body, "<title>", "</title>");
}

std::optional<LocalBody> openBody(const std::wstring& path) {
  LocalBody body{std::unique_ptr<FILE, FileClose>(_wfopen(path.c_str(), L"rb"))};
  const std::optional<uint64_t> size = platform::fileSize(path);
  if (!body.file || !size) return std::nullopt;
  body.size = *size;
  return body;
}

UploadOutcome pictureGone() {
  UploadOutcome gone = UploadOutcome::failed(L"the picture was gone before it could be sent");
  gone.refused = true;
  return gone;
}

std::unique_ptr<HttpSession> openSession(const FtpAccount& account,
                                         bool (*accepts)(TransferProtocol), bool sign,
                                         ServerAddress& address, UploadOutcome& refusal) {
  const PlainPassword password(account.passwordCipherText);
  if (!password.valid()) {
    refusal = PlainPassword::unreadable();
    return nullptr;
  }
  const auto parsed = parseServerAddress(account.server);
  if (!parsed || !accepts(parsed->protocol)) {
    refusal = UploadOutcome::failed(L"this transport cannot send to " + account.server);
    refusal.refused = true;
    return nullptr;
  }
  address = *parsed;
  return std::make_unique<HttpSession>(address, encodeUtf8(account.user, false),
                                       encodeUtf8(password.c_str(), false),
                                       sign ? encodeUtf8(address.region, false) : std::string());
}
