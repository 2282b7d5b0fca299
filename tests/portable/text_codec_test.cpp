#include "platform/text_codec.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

// The wide form of one code point, as this platform's std::wstring holds it.
std::wstring wide(char32_t code) {
  if (kWideIsUtf16 && code >= 0x10000) {
    code -= 0x10000;
    return {static_cast<wchar_t>(0xD800 + (code >> 10)),
            static_cast<wchar_t>(0xDC00 + (code & 0x3FF))};
  }
  return std::wstring(1, static_cast<wchar_t>(code));
}

const std::wstring kReplacement = L"\xFFFD";

TEST(TextCodec, DecodesEveryEncodedLength) {
  EXPECT_EQ(decodeUtf8("A"), L"A");
  EXPECT_EQ(decodeUtf8("\xC3\xA9"), wide(0xE9));
  EXPECT_EQ(decodeUtf8("\xE2\x82\xAC"), wide(0x20AC));
  EXPECT_EQ(decodeUtf8("\xF0\x9F\x98\x80"), wide(0x1F600));
  EXPECT_EQ(decodeUtf8("\xF4\x8F\xBF\xBF"), wide(0x10FFFF));
}

TEST(TextCodec, CharactersBeyondTheBasicPlaneUseSurrogatePairsOnWindows) {
  const std::wstring text = decodeUtf8("\xF0\x9F\x98\x80");
  ASSERT_EQ(text.size(), kWideIsUtf16 ? 2u : 1u);
  if (kWideIsUtf16) {
    EXPECT_EQ(static_cast<unsigned>(text[0]), 0xD83Du);
    EXPECT_EQ(static_cast<unsigned>(text[1]), 0xDE00u);
  }
  EXPECT_EQ(encodeUtf8(text, false), "\xF0\x9F\x98\x80");
}

TEST(TextCodec, RoundTripsCodePointsOfEveryRange) {
  for (char32_t code : {0x1u, 0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xD7FFu, 0xE000u, 0xFEFFu, 0xFFFDu,
                        0xFFFFu, 0x10000u, 0x1F600u, 0x10FFFFu}) {
    const std::wstring text = L"a" + wide(code) + L"b";
    EXPECT_EQ(decodeUtf8(encodeUtf8(text, false)), text) << std::hex << static_cast<uint32_t>(code);
    EXPECT_EQ(decodeUtf8(encodeUtf8(text, true)), text) << std::hex << static_cast<uint32_t>(code);
  }
}

TEST(TextCodec, NulIsKeptBothWays) {
  const std::string bytes("a\0b", 3);
  const std::wstring text(L"a\0b", 3);
  EXPECT_EQ(decodeUtf8(bytes), text);
  EXPECT_EQ(encodeUtf8(text, false), bytes);
}

TEST(TextCodec, ByteOrderMarkIsSkippedOnlyAtTheStart) {
  EXPECT_EQ(decodeUtf8("\xEF\xBB\xBFX=1"), L"X=1");
  EXPECT_EQ(decodeUtf8("\xEF\xBB\xBF"), L"");
  EXPECT_EQ(decodeUtf8("a\xEF\xBB\xBF"), L"a" + wide(0xFEFF));
  EXPECT_EQ(encodeUtf8(L"x", true), "\xEF\xBB\xBFx");
  EXPECT_EQ(encodeUtf8(L"", true), "\xEF\xBB\xBF");
  EXPECT_EQ(encodeUtf8(L"", false), "");
}

TEST(TextCodec, InvalidBytesBecomeReplacementCharacters) {
  EXPECT_EQ(decodeUtf8("\x80"), kReplacement);  // lone continuation
  EXPECT_EQ(decodeUtf8("\xFF"
                       "a"),
            kReplacement + L"a");                                  // never a lead byte
  EXPECT_EQ(decodeUtf8("\xC0\x80"), kReplacement + kReplacement);  // overlong NUL
  EXPECT_EQ(decodeUtf8("\xE0\x80\xAF"), kReplacement + kReplacement + kReplacement);
  EXPECT_EQ(decodeUtf8("\xED\xA0\x80"), kReplacement + kReplacement + kReplacement);  // surrogate
  EXPECT_EQ(decodeUtf8("\xF4\x90\x80\x80"),
            kReplacement + kReplacement + kReplacement + kReplacement);  // beyond U+10FFFF
}

TEST(TextCodec, TruncatedSequenceDoesNotSwallowTheNextCharacter) {
  EXPECT_EQ(decodeUtf8("\xE2\x82"
                       "A"),
            kReplacement + L"A");
  EXPECT_EQ(decodeUtf8("\xF0\x9F\x98"), kReplacement);
  EXPECT_EQ(decodeUtf8("x\xC3"), L"x" + kReplacement);
  EXPECT_EQ(decodeUtf8("\xC3\xC3\xA9"), kReplacement + wide(0xE9));
}

TEST(TextCodec, UnpairedSurrogatesAreEncodedAsReplacement) {
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(encodeUtf8(std::wstring(1, static_cast<wchar_t>(0xD800)), false), replacement);
  EXPECT_EQ(encodeUtf8(std::wstring(1, static_cast<wchar_t>(0xDC00)) + L"a", false),
            replacement + "a");
  std::wstring highThenLetter{static_cast<wchar_t>(0xD83D), L'a'};
  EXPECT_EQ(encodeUtf8(highThenLetter, false), replacement + "a");
  if (!kWideIsUtf16) {
    EXPECT_EQ(encodeUtf8(std::wstring(1, static_cast<wchar_t>(0x110000)), false), replacement);
  }
}

// The forms Windows editors save a text file in: Notepad's "Unicode" and "Unicode big endian",
// Windows PowerShell's Out-File, and "ANSI".
TEST(TextCodec, TextFilesAreReadInEveryFormWindowsEditorsSave) {
  const std::wstring text = L"NAME=Caf\x00E9 " + wide(0x1F600) + L"\r\n";
  std::string little("\xFF\xFE"), big("\xFE\xFF");
  for (char16_t unit : std::u16string(u"NAME=Caf\u00E9 \U0001F600\r\n")) {
    little += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    big += {static_cast<char>(unit >> 8), static_cast<char>(unit & 0xFF)};
  }
  EXPECT_EQ(decodeTextFile(little), text);
  EXPECT_EQ(decodeTextFile(big), text);
  EXPECT_EQ(decodeTextFile(encodeUtf8(text, true)), text);
  EXPECT_EQ(decodeTextFile(encodeUtf8(text, false)), text);
  // Not UTF-8: the ANSI code page (Windows-1252 here, the system's own on Windows).
  EXPECT_EQ(decodeTextFile("NAME=Caf\xE9 \x80"), L"NAME=Caf\x00E9 \x20AC");
  // A real U+FFFD is still UTF-8; a lone high surrogate or an odd last byte of UTF-16 is not text.
  EXPECT_EQ(decodeTextFile("\xEF\xBF\xBD"), kReplacement);
  EXPECT_EQ(decodeTextFile(std::string("\xFF\xFE\x3D\xD8"
                                       "a",
                                       5)),
            kReplacement + kReplacement);
  EXPECT_TRUE(isBlankText(decodeTextFile(std::string("\xFF\xFE\r\0\n\0", 6))));
}

}  // namespace
