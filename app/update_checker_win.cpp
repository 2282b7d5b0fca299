#include "app/update_checker_win.h"

#include <windows.h>
#include <wininet.h>

#include <chrono>

#include "settings/app_settings.h"
#include "app/version_compare.h"
#include "platform/internet_session_win.h"

namespace {

constexpr std::chrono::seconds kCheckLimit{5};
constexpr DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                             INTERNET_FLAG_NO_AUTH | INTERNET_FLAG_RESYNCHRONIZE |
                             INTERNET_FLAG_PRAGMA_NOCACHE;  // 0x84040900: always from the origin
constexpr DWORD kChunk = 2048;
// A version file is a few bytes; anything longer is not one, and reading stops there.
constexpr size_t kMaxBody = 64 * 1024;

std::wstring readBody(HINTERNET request) {
  std::wstring body;
  char chunk[kChunk];
  DWORD read = 0;
  while (body.size() < kMaxBody && InternetReadFile(request, chunk, kChunk, &read) && read > 0) {
    UpdateChecker::appendBytes(body, chunk, read);
  }
  return body;
}

}  // namespace

void UpdateChecker::appendBytes(std::wstring& text, const char* bytes, unsigned long count) {
  for (unsigned long i = 0; i < count && bytes[i] != '\0'; ++i) {
    text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
  }
}

bool UpdateChecker::isNewerVersionPublished() {
  const AppSettings& settings = AppSettings::instance();
  win32::InternetSession session(L"Tarnwelt_Vemlix/1.0", kCheckLimit);
  if (!session) return false;
  const std::wstring url = settings.getString(SettingId::VERSION_PATH);
  win32::InternetHandle request(session, InternetOpenUrlW(session.root(), url.c_str(), nullptr, 0,
                                                          kOpenFlags, session.context()));
  if (!request) return false;
  session.limitToDeadline(request.get());
  // The request has already been sent by InternetOpenUrlW; sending it again may fail, and the
  // body is read either way.
  HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0);
  session.limitToDeadline(request.get());
  return isNewerVersion(readBody(request.get()), settings.getString(SettingId::VERSION));
}
