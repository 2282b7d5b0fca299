#include "delivery/ftp_reply.h"

#include <cwctype>

namespace ftp_reply {
namespace {

template <typename Char>
int codeOf(std::basic_string_view<Char> reply) {
  if (reply.size() < 3) return 0;
  int value = 0;
  for (size_t i = 0; i < 3; ++i) {
    if (reply[i] < Char('0') || reply[i] > Char('9')) return 0;
    value = value * 10 + static_cast<int>(reply[i] - Char('0'));
  }
  return value;
}

}  // namespace

int code(std::string_view reply) {
  return codeOf(reply);
}

int code(std::wstring_view reply) {
  return codeOf(reply);
}

bool isError(int code) {
  return code >= 400 && code < 600;
}

bool isPermanent(int code) {
  return code >= 500 && code < 600;
}

bool isRefusal(int code) {
  return code == 530 || code == 532 || code == 550 || code == 553;
}

std::wstring errorLine(std::wstring_view response) {
  std::wstring line(response);
  for (wchar_t& c : line) {
    if (std::iswcntrl(c)) c = L' ';  // a multi-line reply's line breaks
  }
  const size_t start = line.find_first_not_of(L' ');
  if (start == std::wstring::npos) return {};
  line.erase(line.find_last_not_of(L' ') + 1);
  line.erase(0, start);
  return isError(code(line)) ? line : std::wstring{};
}

}  // namespace ftp_reply
