#include <array>

#include "platform/ansi_code_page.h"

namespace platform {

namespace {

// Windows-1252 from 0x80 to 0x9F; the five bytes it leaves undefined map to the control
// characters of the same value, as Windows maps them. Every other byte is Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

std::wstring decodeAnsi(std::string_view bytes) {
  std::wstring text;
  text.reserve(bytes.size());
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    const bool high = byte >= 0x80 && byte < 0xA0;
    text.push_back(static_cast<wchar_t>(high ? kHighControls[byte - 0x80] : byte));
  }
  return text;
}

}  // namespace platform
