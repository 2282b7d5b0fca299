#include "delivery/curl_transport_win.h"

#include <curl/curl.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "delivery/curl_parts_win.h"
#include "delivery/ftp_reply.h"
#include "delivery/plain_password_win.h"
#include "delivery/remote_commands.h"
#include "delivery/transfer_limits.h"
#include "platform/files.h"
#include "platform/text_codec.h"

namespace {

constexpr char kPartSuffix[] = ".part";

std::string utf8(std::wstring_view text) {
  return encodeUtf8(text, false);
}
std::wstring wide(std::string_view text) {
  return decodeUtf8(text);
}

using namespace curl_parts;
using namespace remote_commands;

// One upload: a multi handle of its own (so that cancelAll() can wake it at once) and one easy
// handle that every request of the upload goes through, on the same connection while it holds.
class CurlUpload {
 public:
  CurlUpload(const CurlTarget& to, KnownHostsFile& knownHosts)
      : to_(to),
        sftp_(to.server.protocol == TransferProtocol::kSftp),
        server_(to.server.host),
        easy_(curl_easy_init()),
        multi_(curl_multi_init()) {
    observed_.knownHosts = &knownHosts;
    observed_.knownHostName = knownHostName(utf8(to.server.host), to.server.port);
  }
  ~CurlUpload() { InFlight::instance().remove(multi_.get()); }
  CurlUpload(const CurlUpload&) = delete;
  CurlUpload& operator=(const CurlUpload&) = delete;

  TransferReport run(FILE* file, uint64_t size) {
    if (!easy_ || !multi_) return failed(TransferFailure::kMayPass, L"libcurl could not start");
    if (!InFlight::instance().add(multi_.get())) {
      return failed(TransferFailure::kMayPass, L"cancelled, Vemlix was closing");
    }
    observed_.file = file;
    const std::string name = utf8(to_.name);
    const RemotePath final = remotePath(easy_.get(), to_.folder, name, sftp_);
    const RemotePath part = remotePath(easy_.get(), to_.folder, name + kPartSuffix, sftp_);

    setCommon(transfer_limits::transferLimit(size));
    curl_easy_setopt(easy_.get(), CURLOPT_URL, url(part).c_str());
    curl_easy_setopt(easy_.get(), CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(easy_.get(), CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
    curl_easy_setopt(easy_.get(), CURLOPT_READFUNCTION, onRead);
    curl_easy_setopt(easy_.get(), CURLOPT_READDATA, &observed_);
    const CommandList rename = commands(renameCommands(sftp_, part.command, final.command, false));
    curl_easy_setopt(easy_.get(), CURLOPT_POSTQUOTE, rename.get());
    const CURLcode sent = perform();
    if (sent == CURLE_OK) return delivered();
    if (sent != CURLE_QUOTE_ERROR) return failedLeaving(sent, part);

    // The file is whole under the part's name; some servers will not rename onto a name in use.
    const CommandList again = commands(renameCommands(sftp_, part.command, final.command, true));
    const CURLcode renamed = command(final, again.get());
    if (renamed == CURLE_OK) return delivered();
    return failedLeaving(renamed, part);
  }

  // Deletes the file the target names, as the Test button does with its tiny file.
  TransferReport remove() {
    if (!easy_ || !multi_) return failed(TransferFailure::kMayPass, L"libcurl could not start");
    if (!InFlight::instance().add(multi_.get())) {
      return failed(TransferFailure::kMayPass, L"cancelled, Vemlix was closing");
    }
    const RemotePath file = remotePath(easy_.get(), to_.folder, utf8(to_.name), sftp_);
    // The folder's URL: a file's would be looked up after the command has deleted it.
    const RemotePath folder{file.command, file.url.substr(0, file.url.rfind('/') + 1)};
    const CommandList list = commands(removeCommands(sftp_, file.command));
    const CURLcode removed = command(folder, list.get());
    return removed == CURLE_OK ? delivered() : failure(removed);
  }

 private:
  std::string url(const RemotePath& path) const {
    const char* scheme = to_.server.protocol == TransferProtocol::kFtps ? "ftps"
                         : sftp_                                        ? "sftp"
                                                                        : "ftp";
    std::string host = utf8(to_.server.host);
    if (host.find(':') != std::string::npos) host = "[" + host + "]";
    return std::string(scheme) + "://" + host + ":" + std::to_string(to_.server.port) + "/" +
           path.url;
  }

  void setCommon(std::chrono::seconds limit) {
    CURL* easy = easy_.get();
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, error_);
    curl_easy_setopt(easy, CURLOPT_USERNAME, utf8(to_.user).c_str());
    curl_easy_setopt(easy, CURLOPT_PASSWORD, utf8(to_.password).c_str());
    applyLimits(easy, limit);
    curl_easy_setopt(easy, CURLOPT_SERVER_RESPONSE_TIMEOUT,
                     static_cast<long>(transfer_limits::kReply.count()));
    if (sftp_) {
      curl_easy_setopt(easy, CURLOPT_SSH_AUTH_TYPES,
                       static_cast<long>(CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD));
      curl_easy_setopt(easy, CURLOPT_SSH_HOSTKEYFUNCTION, onHostKey);
      curl_easy_setopt(easy, CURLOPT_SSH_HOSTKEYDATA, &observed_);
    } else {
      curl_easy_setopt(easy, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
      curl_easy_setopt(easy, CURLOPT_FTPSSLAUTH, static_cast<long>(CURLFTPAUTH_TLS));
      verifyTls(easy, &observed_);
      curl_easy_setopt(easy, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
      curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, onReply);
      curl_easy_setopt(easy, CURLOPT_HEADERDATA, &observed_);
    }
  }

  // Runs the easy handle's request to its end, or until the program ends.
  CURLcode perform() {
    error_[0] = '\0';
    observed_.lastReply.clear();
    return runToEnd(multi_.get(), easy_.get());
  }

  // Commands on their own, with no file sent; `at` names a file they leave in place.
  CURLcode command(const RemotePath& at, curl_slist* list) {
    setCommon(transfer_limits::kCommand);
    curl_easy_setopt(easy_.get(), CURLOPT_URL, url(at).c_str());
    curl_easy_setopt(easy_.get(), CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(easy_.get(), CURLOPT_NOBODY, 1L);
    curl_easy_setopt(easy_.get(), CURLOPT_POSTQUOTE, nullptr);
    curl_easy_setopt(easy_.get(), CURLOPT_QUOTE, list);
    return perform();
  }

  TransferReport delivered() const {
    return {UploadOutcome::uploaded(server_), TransferFailure::kNone};
  }

  TransferReport failed(TransferFailure failure, const std::wstring& why) const {
    return {UploadOutcome::failed(why), failure};
  }

  // The reason for `code`; then whatever was sent under the part's name goes, while the
  // program is not ending.
  TransferReport failedLeaving(CURLcode code, const RemotePath& part) {
    TransferReport report = failure(code);
    if (observed_.sending && !InFlight::instance().cancelled()) {
      const CommandList remove = commands(removeCommands(sftp_, part.command));
      command(part, remove.get());
    }
    return report;
  }

  TransferReport failure(CURLcode code) const {
    using enum TransferFailure;
    const int reply = ftp_reply::code(observed_.lastReply);
    switch (code) {
      case CURLE_ABORTED_BY_CALLBACK:
        return failed(kMayPass, L"cancelled, Vemlix was closing");
      case CURLE_COULDNT_RESOLVE_HOST:
        return failed(kMayPass, L"server " + server_ + L" not found");
      case CURLE_COULDNT_CONNECT:
        return failed(kMayPass, L"could not connect to " + server_);
      case CURLE_OPERATION_TIMEDOUT:
        return failed(kMayPass, L"no answer from " + server_);
      case CURLE_PEER_FAILED_VERIFICATION:
        return sftp_ ? hostKeyRefused() : certificateRefused();
      case CURLE_USE_SSL_FAILED:
        return failed(kRefused, server_ + L" does not offer TLS (" + detail(code) + L")");
      case CURLE_LOGIN_DENIED:
        return failed(kRefused, reply ? wide(observed_.lastReply) : L"login refused by " + server_);
      case CURLE_REMOTE_ACCESS_DENIED:
      case CURLE_REMOTE_FILE_NOT_FOUND:
        if (sftp_ || !reply) return failed(kRefused, detail(code));
        break;
      default:
        break;
    }
    if (ftp_reply::isError(reply) && !sftp_) {
      return failed(ftp_reply::isRefusal(reply) ? kRefused : kMayPass, wide(observed_.lastReply));
    }
    return failed(kMayPass, detail(code));
  }

  // libcurl's own account of the failure.
  std::wstring detail(CURLcode code) const {
    return wide(error_[0] ? error_ : curl_easy_strerror(code)) + L" (" + server_ + L")";
  }

  TransferReport certificateRefused() const {
    return failed(TransferFailure::kRefused,
                  certificateRefusal(server_, error_, observed_.fingerprint));
  }

  TransferReport hostKeyRefused() const {
    const std::wstring file = observed_.knownHosts->path();
    switch (observed_.hostKey.verdict) {
      case HostKeyCheck::Verdict::kChanged:
        return failed(TransferFailure::kRefused,
                      L"the host key of " + server_ +
                          L" has changed since it was first met. "
                          L"If the server really has a new key, remove line " +
                          std::to_wstring(observed_.hostKey.line) + L" of " + file);
      case HostKeyCheck::Verdict::kRevoked:
        return failed(TransferFailure::kRefused,
                      L"the host key of " + server_ + L" is revoked in line " +
                          std::to_wstring(observed_.hostKey.line) + L" of " + file);
      case HostKeyCheck::Verdict::kCertificateAuthority:
        return failed(TransferFailure::kRefused,
                      L"line " + std::to_wstring(observed_.hostKey.line) + L" of " + file +
                          L" leaves the host key of " + server_ +
                          L" to a certificate authority, which Vemlix cannot check; put the "
                          L"server's own key in that file instead");
      case HostKeyCheck::Verdict::kUnreadable:
        return failed(
            TransferFailure::kMayPass,
            L"the host key of " + server_ + L" cannot be checked: " + file + L" cannot be read");
      default:
        return failed(TransferFailure::kRefused,
                      L"the host key of " + server_ + L" was refused (" + wide(error_) + L")");
    }
  }

  const CurlTarget& to_;
  const bool sftp_;
  const std::wstring server_;
  std::unique_ptr<CURL, EasyCleanup> easy_;
  std::unique_ptr<CURLM, MultiCleanup> multi_;
  Observed observed_;
  char error_[CURL_ERROR_SIZE] = {};
};

// "/shots/daily/Desk.png" as the server's folder and the file's name in it.
std::pair<std::wstring, std::wstring> folderAndName(const std::wstring& remoteName) {
  const size_t slash = remoteName.rfind(L'/');
  if (slash == std::wstring::npos) return {L"", remoteName};
  const size_t start = remoteName.find_first_not_of(L'/');
  const std::wstring folder =
      start < slash ? remoteName.substr(start, slash - start) : std::wstring();
  return {folder, remoteName.substr(slash + 1)};
}

}  // namespace

CurlTransport::CurlTransport(std::wstring knownHostsPath)
    : knownHosts_(std::move(knownHostsPath)) {}

std::optional<CurlTarget> CurlTransport::targetOf(const FtpAccount& account,
                                                  const std::wstring& remoteName,
                                                  const PlainPassword& password,
                                                  UploadOutcome& refusal) const {
  if (!password.valid()) {
    refusal = PlainPassword::unreadable();
    return std::nullopt;
  }
  // The program always has a known_hosts file; only a bare test might not.
  if (knownHosts_.path().empty()) {
    refusal = UploadOutcome::failed(L"no data folder to keep the server's host key in");
    return std::nullopt;
  }
  const ServerAddress address =
      parseServerAddress(account.server)
          .value_or(ServerAddress{TransferProtocol::kFtp, account.server});
  auto [folder, name] = folderAndName(remoteName);
  return CurlTarget{address, account.user, password.c_str(), std::move(folder), std::move(name)};
}

UploadOutcome CurlTransport::send(const FtpAccount& account, const std::wstring& remoteName,
                                  const std::wstring& localFile) {
  const PlainPassword password(account.passwordCipherText);
  UploadOutcome refusal;
  const auto to = targetOf(account, remoteName, password, refusal);
  if (!to) return refusal;
  TransferReport report = upload(*to, localFile);
  report.outcome.refused = report.failure == TransferFailure::kRefused;
  return report.outcome;
}

UploadOutcome CurlTransport::remove(const FtpAccount& account, const std::wstring& remoteName) {
  const PlainPassword password(account.passwordCipherText);
  UploadOutcome refusal;
  const auto to = targetOf(account, remoteName, password, refusal);
  if (!to) return refusal;
  curl_parts::initOnce();
  CurlUpload removal(*to, knownHosts_);
  TransferReport report = removal.remove();
  report.outcome.refused = report.failure == TransferFailure::kRefused;
  return report.outcome;
}

TransferReport CurlTransport::upload(const CurlTarget& to, const std::wstring& localPath) const {
  if (to.server.protocol == TransferProtocol::kFtp) {
    return {UploadOutcome::failed(L"plain FTP is not sent this way"), TransferFailure::kRefused};
  }
  curl_parts::initOnce();
  const std::unique_ptr<FILE, FileClose> file(_wfopen(localPath.c_str(), L"rb"));
  const std::optional<uint64_t> size = platform::fileSize(localPath);
  if (!file || !size) {
    return {UploadOutcome::failed(L"the picture was gone before it could be sent"),
            TransferFailure::kRefused};
  }
  CurlUpload upload(to, knownHosts_);
  return upload.run(file.get(), *size);
}

void CurlTransport::cancelAll() {
  InFlight::instance().cancelAll();
}

void CurlTransport::allowAgain() {
  InFlight::instance().allowAgain();
}
