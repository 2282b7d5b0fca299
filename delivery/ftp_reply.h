#pragma once
// What an FTP server's reply says, read one way wherever a reply turns up: WinINet's last
// response, libcurl's last reply line, and a failure text in the ledger that starts with the
// server's words.
#include <string>
#include <string_view>

namespace ftp_reply {

// The three-digit code a reply starts with; 0 for a text that is no reply.
int code(std::string_view reply);
int code(std::wstring_view reply);

// 4xx or 5xx: the server heard the command and said no.
bool isError(int code);
// 5xx: no for good; 4xx is no for now (busy, down, a transfer broken off).
bool isPermanent(int code);
// The login, the account, the permission or the path (530, 532, 550, 553): nothing changes
// until somebody mends the account or the server.
bool isRefusal(int code);

// `response`, which may run over several lines, on one line without its control characters
// when it is an error reply; else empty, since an earlier, successful reply says nothing about
// a failure.
std::wstring errorLine(std::wstring_view response);

}  // namespace ftp_reply
