#pragma once
// Talking to an FTP server through WinINet: the login, the server's own words when it says no,
// and removing a file on a login of its own.
#include <windows.h>
#include <wininet.h>

#include <string>

#include "delivery/plain_password_win.h"
#include "platform/internet_session_win.h"
#include "shots/shot_settings.h"

namespace wininet_ftp {

// The server's last reply on this thread when it is an error reply, on one line; else empty.
std::wstring serverErrorText();

// Why a WinINet call failed, from the error it left: the server's own words when it gave an
// error reply, else the error in plain words.
std::wstring failureReason(const win32::InternetSession& session, const std::wstring& server,
                           DWORD error);

// Logs in to the account's server, passive mode; null when that fails.
HINTERNET connectFtp(const win32::InternetSession& session, const FtpAccount& account,
                     const PlainPassword& password);

// The last call failed because the server said no for good (a 5xx reply), not because the
// connection failed or the server was only busy for now.
bool serverSaidNo();

// Deletes `remoteName` on a login of its own, in a clean-up session.
void deleteOnNewLogin(const FtpAccount& account, const PlainPassword& password,
                      const std::wstring& remoteName);

}  // namespace wininet_ftp
