#include "delivery/wininet_ftp_win.h"

#include <algorithm>
#include <iterator>

#include "delivery/ftp_reply.h"
#include "delivery/server_address.h"
#include "delivery/transfer_limits.h"

namespace wininet_ftp {

std::wstring serverErrorText() {
  DWORD code = 0;
  wchar_t buffer[512] = {};
  DWORD length = static_cast<DWORD>(std::size(buffer));
  if (!InternetGetLastResponseInfoW(&code, buffer, &length)) return {};
  return ftp_reply::errorLine(
      {buffer, std::min<DWORD>(length, static_cast<DWORD>(std::size(buffer) - 1))});
}

std::wstring failureReason(const win32::InternetSession& session, const std::wstring& server,
                           DWORD error) {
  if (win32::InternetSession::cancelled()) return L"cancelled, Vemlix was closing";
  if (session.expired()) return L"no answer from " + server;
  std::wstring reply = serverErrorText();
  if (!reply.empty()) return reply;
  switch (error) {
    case ERROR_INTERNET_TIMEOUT:
      return L"no answer from " + server;
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
      return L"server " + server + L" not found";
    case ERROR_INTERNET_CANNOT_CONNECT:
      return L"could not connect to " + server;
    case ERROR_INTERNET_LOGIN_FAILURE:
    case ERROR_INTERNET_INCORRECT_USER_NAME:
    case ERROR_INTERNET_INCORRECT_PASSWORD:
      return L"login refused by " + server;
    case ERROR_INTERNET_CONNECTION_ABORTED:
    case ERROR_INTERNET_CONNECTION_RESET:
    case ERROR_FTP_DROPPED:
      return L"the connection to " + server + L" was lost";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return L"the captured picture was gone before it could be sent";
  }
  return L"error " + std::to_wstring(error) + L" talking to " + server;
}

HINTERNET connectFtp(const win32::InternetSession& session, const FtpAccount& account,
                     const PlainPassword& password) {
  // "ftp://host:2121" as clients write it; a bare name goes to port 21 as it always did.
  const ServerAddress address = parseServerAddress(account.server)
                                    .value_or(ServerAddress{TransferProtocol::kFtp, account.server,
                                                            INTERNET_DEFAULT_FTP_PORT});
  return InternetConnectW(session.root(), address.host.c_str(), address.port, account.user.c_str(),
                          password.c_str(), INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE,
                          session.context());
}

bool serverSaidNo() {
  if (GetLastError() != ERROR_INTERNET_EXTENDED_ERROR) return false;
  return ftp_reply::isPermanent(ftp_reply::code(serverErrorText()));
}

void deleteOnNewLogin(const FtpAccount& account, const PlainPassword& password,
                      const std::wstring& remoteName) {
  win32::InternetSession session(L"Vemlix/1.0", transfer_limits::kCommand,
                                 win32::InternetSession::Kind::kCleanup);
  if (!session) return;
  win32::InternetHandle connection(session, connectFtp(session, account, password));
  if (connection && session.restartClock(transfer_limits::kCommand)) {
    FtpDeleteFileW(connection.get(), remoteName.c_str());
  }
}

}  // namespace wininet_ftp
