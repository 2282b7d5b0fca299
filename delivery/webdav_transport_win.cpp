#include "delivery/webdav_transport_win.h"

#include <memory>

#include "delivery/http_paths.h"
#include "delivery/http_session_win.h"
#include "delivery/plain_password_win.h"
#include "platform/text_codec.h"

namespace {

constexpr long kConflict = 409;    // PUT into a folder that is not there
constexpr long kNotAllowed = 405;  // MKCOL of a folder that is there already
constexpr char kPartSuffix[] = ".part";

// One send's share, names and session; nothing when the account cannot be used.
struct ShareCall {
  ServerAddress address;
  std::unique_ptr<HttpSession> session;
};

std::optional<ShareCall> shareCall(const FtpAccount& account, UploadOutcome& refusal) {
  const PlainPassword password(account.passwordCipherText);
  const auto address = parseServerAddress(account.server);
  if (!password.valid()) {
    refusal = PlainPassword::unreadable();
    return std::nullopt;
  }
  if (!address || !isWebDav(address->protocol)) {
    refusal = UploadOutcome::failed(L"no WebDAV share in " + account.server);
    refusal.refused = true;
    return std::nullopt;
  }
  return ShareCall{
      *address, std::make_unique<HttpSession>(*address, encodeUtf8(account.user, false),
                                              encodeUtf8(password.c_str(), false), std::string())};
}

// Makes the remote name's folders, the outermost first; one that is there already is fine.
HttpAnswer makeFolders(ShareCall& call, const std::wstring& remoteName) {
  HttpAnswer answer;
  for (const std::string& url : http_paths::webDavFolderUrls(call.address, remoteName)) {
    answer = call.session->perform({"MKCOL", url});
    if (!answer.done() && !(answer.code == CURLE_OK && answer.status == kNotAllowed)) break;
    answer.status = 201;
  }
  return answer;
}

}  // namespace

UploadOutcome WebDavTransport::send(const FtpAccount& account, const std::wstring& remoteName,
                                    const std::wstring& localFile) {
  UploadOutcome refusal;
  auto call = shareCall(account, refusal);
  if (!call) return refusal;
  auto body = openBody(localFile);
  if (!body) return pictureGone();
  const std::string final = http_paths::webDavUrl(call->address, remoteName);
  HttpRequest put{"PUT", final + kPartSuffix};
  put.body = body->file.get();
  put.bodySize = body->size;
  HttpAnswer answer = call->session->perform(put);
  if (answer.code == CURLE_OK && answer.status == kConflict) {
    answer = makeFolders(*call, remoteName);
    if (answer.done()) answer = call->session->perform(put);
  }
  if (answer.done()) {
    answer = call->session->perform(
        {"MOVE", final + kPartSuffix, {"Destination: " + final, "Overwrite: T"}});
    if (answer.done()) return call->session->delivered();
  }
  UploadOutcome failed = call->session->failure(answer);
  // Whatever arrived of the picture goes, unless the program is ending.
  if (answer.code != CURLE_ABORTED_BY_CALLBACK)
    call->session->perform({"DELETE", final + kPartSuffix});
  return failed;
}

UploadOutcome WebDavTransport::remove(const FtpAccount& account, const std::wstring& remoteName) {
  UploadOutcome refusal;
  auto call = shareCall(account, refusal);
  if (!call) return refusal;
  const HttpAnswer answer =
      call->session->perform({"DELETE", http_paths::webDavUrl(call->address, remoteName)});
  if (answer.done()) return call->session->delivered();
  return call->session->failure(answer);
}

void WebDavTransport::cancelAll() {
  curl_parts::InFlight::instance().cancelAll();
}
