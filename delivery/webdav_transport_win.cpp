#include "delivery/webdav_transport_win.h"

#include <memory>

#include "delivery/http_paths.h"
#include "delivery/http_session_win.h"
#include "platform/text_codec.h"

namespace {

constexpr long kConflict = 409;    // PUT into a folder that is not there
constexpr long kNotAllowed = 405;  // MKCOL of a folder that is there already
constexpr char kPartSuffix[] = ".part";

// Makes the remote name's folders, the outermost first; one that is there already is fine.
HttpAnswer makeFolders(HttpSession& session, const ServerAddress& share,
                       const std::wstring& remoteName) {
  HttpAnswer answer;
  for (const std::string& url : http_paths::webDavFolderUrls(share, remoteName)) {
    answer = session.perform({"MKCOL", url});
    if (!answer.done() && !(answer.code == CURLE_OK && answer.status == kNotAllowed)) break;
    answer.status = 201;
  }
  return answer;
}

}  // namespace

UploadOutcome WebDavTransport::send(const FtpAccount& account, const std::wstring& remoteName,
                                    const std::wstring& localFile) {
  UploadOutcome refusal;
  ServerAddress share;
  const auto session = openSession(account, isWebDav, false, share, refusal);
  if (!session) return refusal;
  auto body = openBody(localFile);
  if (!body) return pictureGone();
  const std::string final = http_paths::webDavUrl(share, remoteName);
  HttpRequest put{"PUT", final + kPartSuffix};
  put.body = body->file.get();
  put.bodySize = body->size;
  HttpAnswer answer = session->perform(put);
  if (answer.code == CURLE_OK && answer.status == kConflict) {
    answer = makeFolders(*session, share, remoteName);
    if (answer.done()) answer = session->perform(put);
  }
  if (answer.done()) {
    answer =
        session->perform({"MOVE", final + kPartSuffix, {"Destination: " + final, "Overwrite: T"}});
    if (answer.done()) return session->delivered();
  }
  UploadOutcome failed = session->failure(answer);
  // Whatever arrived of the picture goes, unless the program is ending.
  if (answer.code != CURLE_ABORTED_BY_CALLBACK) session->perform({"DELETE", final + kPartSuffix});
  return failed;
}

UploadOutcome WebDavTransport::remove(const FtpAccount& account, const std::wstring& remoteName) {
  UploadOutcome refusal;
  ServerAddress share;
  const auto session = openSession(account, isWebDav, false, share, refusal);
  if (!session) return refusal;
  const HttpAnswer answer = session->perform({"DELETE", http_paths::webDavUrl(share, remoteName)});
  return answer.done() ? session->delivered() : session->failure(answer);
}

void WebDavTransport::cancelAll() {
  curl_parts::InFlight::instance().cancelAll();
}
