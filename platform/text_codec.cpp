#include "platform/text_codec.h"

#include <cstdint>
#include <type_traits>

#include "platform/ansi_code_page.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

bool isContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// The allowed range of the second byte depends on the lead byte: it is what rules out
// overlong forms, encoded surrogates and values beyond U+10FFFF.
struct LeadInfo {
  int length;  // 0 when the byte cannot start a sequence
  unsigned char secondLow;
  unsigned char secondHigh;
  char32_t initialBits;
};

LeadInfo leadInfo(unsigned char lead) {
  if (lead < 0x80) return {1, 0, 0, lead};
  if (lead < 0xC2) return {0, 0, 0, 0};
  if (lead < 0xE0) return {2, 0x80, 0xBF, char32_t(lead & 0x1F)};
  if (lead == 0xE0) return {3, 0xA0, 0xBF, char32_t(lead & 0x0F)};
  if (lead == 0xED) return {3, 0x80, 0x9F, char32_t(lead & 0x0F)};
  if (lead < 0xF0) return {3, 0x80, 0xBF, char32_t(lead & 0x0F)};
  if (lead == 0xF0) return {4, 0x90, 0xBF, char32_t(lead & 0x07)};
  if (lead < 0xF4) return {4, 0x80, 0xBF, char32_t(lead & 0x07)};
  if (lead == 0xF4) return {4, 0x80, 0x8F, char32_t(lead & 0x07)};
  return {0, 0, 0, 0};
}

// Decodes one sequence at `bytes[pos]` and advances `pos`. An ill-formed sequence yields one
// U+FFFD for its longest valid prefix (at least one byte), as Unicode recommends, so a bad
// byte never swallows the good character after it.
char32_t decodeOne(std::string_view bytes, size_t& pos) {
  const auto lead = static_cast<unsigned char>(bytes[pos++]);
  const LeadInfo info = leadInfo(lead);
  if (info.length == 0) return kReplacement;
  char32_t code = info.initialBits;
  for (int i = 1; i < info.length; ++i) {
    if (pos >= bytes.size()) return kReplacement;
    const auto next = static_cast<unsigned char>(bytes[pos]);
    const bool fits =
        i == 1 ? (next >= info.secondLow && next <= info.secondHigh) : isContinuation(next);
    if (!fits) return kReplacement;
    code = (code << 6) | (next & 0x3F);
    ++pos;
  }
  return code;
}

void appendWide(std::wstring& out, char32_t code) {
  if (kWideIsUtf16 && code >= 0x10000) {
    code -= 0x10000;
    out.push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
    out.push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FF)));
  } else {
    out.push_back(static_cast<wchar_t>(code));
  }
}

bool isHighSurrogate(char32_t code) {
  return code >= 0xD800 && code <= 0xDBFF;
}
bool isLowSurrogate(char32_t code) {
  return code >= 0xDC00 && code <= 0xDFFF;
}

// Reads one code point from the wide text and advances `pos`; anything that is not a
// Unicode scalar value (a lone surrogate, a 32-bit value beyond U+10FFFF) becomes U+FFFD.
char32_t nextCodePoint(std::wstring_view text, size_t& pos) {
  const auto unit = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[pos++]));
  if (kWideIsUtf16 && isHighSurrogate(unit) && pos < text.size()) {
    const auto low = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[pos]));
    if (isLowSurrogate(low)) {
      ++pos;
      return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    }
  }
  if (isHighSurrogate(unit) || isLowSurrogate(unit) || unit > 0x10FFFF) return kReplacement;
  return unit;
}

void appendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLittleEndianMark = "\xFF\xFE";
constexpr std::string_view kBigEndianMark = "\xFE\xFF";

std::string_view withoutUtf8Mark(std::string_view bytes) {
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  return bytes;
}

char32_t unitAt(std::string_view bytes, size_t pos, bool bigEndian) {
  const auto first = static_cast<unsigned char>(bytes[pos]);
  const auto second = static_cast<unsigned char>(bytes[pos + 1]);
  return bigEndian ? char32_t(first << 8 | second) : char32_t(second << 8 | first);
}

// The bytes after a UTF-16 byte order mark, in the given byte order.
std::wstring decodeUtf16(std::string_view bytes, bool bigEndian) {
  std::wstring text;
  text.reserve(bytes.size() / 2);
  size_t pos = 0;
  while (pos + 1 < bytes.size()) {
    char32_t unit = unitAt(bytes, pos, bigEndian);
    pos += 2;
    if (isHighSurrogate(unit) && pos + 1 < bytes.size()) {
      const char32_t low = unitAt(bytes, pos, bigEndian);
      if (isLowSurrogate(low)) {
        pos += 2;
        appendWide(text, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        continue;
      }
    }
    if (isHighSurrogate(unit) || isLowSurrogate(unit)) unit = kReplacement;
    appendWide(text, unit);
  }
  if (pos < bytes.size()) appendWide(text, kReplacement);
  return text;
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
  bytes = withoutUtf8Mark(bytes);
  size_t pos = 0;
  while (pos < bytes.size()) {
    const size_t start = pos;
    const char32_t code = decodeOne(bytes, pos);
    // A real U+FFFD in the text is three bytes long; a replacement for a bad byte is shorter.
    if (code == kReplacement && pos - start != 3) return false;
  }
  return true;
}

bool isBlankText(std::wstring_view text) {
  return text.find_first_not_of(L" \t\r\n\f\v") == std::wstring_view::npos;
}

std::wstring decodeTextFile(std::string_view bytes) {
  if (bytes.starts_with(kLittleEndianMark)) {
    return decodeUtf16(bytes.substr(kLittleEndianMark.size()), false);
  }
  if (bytes.starts_with(kBigEndianMark)) {
    return decodeUtf16(bytes.substr(kBigEndianMark.size()), true);
  }
  if (bytes.starts_with(kByteOrderMark) || isValidUtf8(bytes)) return decodeUtf8(bytes);
  return platform::decodeAnsi(bytes);
}

std::wstring decodeUtf8(std::string_view bytes) {
  bytes = withoutUtf8Mark(bytes);
  std::wstring text;
  text.reserve(bytes.size());
  size_t pos = 0;
  while (pos < bytes.size()) appendWide(text, decodeOne(bytes, pos));
  return text;
}

std::string encodeUtf8(std::wstring_view text, bool withByteOrderMark) {
  std::string bytes;
  bytes.reserve(text.size() + kByteOrderMark.size());
  if (withByteOrderMark) bytes.append(kByteOrderMark);
  size_t pos = 0;
  while (pos < text.size()) appendUtf8(bytes, nextCodePoint(text, pos));
  return bytes;
}
