#pragma once
// UTF-8 on disk, UTF-16 (Windows) or UTF-32 (elsewhere) std::wstring in memory.
// The program's data files are read and written through these two functions only.
#include <string>
#include <string_view>

// Decodes UTF-8; a leading byte order mark is skipped. Invalid or truncated sequences
// become U+FFFD; U+0000 is kept like any other character.
std::wstring decodeUtf8(std::string_view bytes);

// True when the bytes (after a UTF-8 byte order mark, if any) are well-formed UTF-8.
bool isValidUtf8(std::string_view bytes);

// Decodes a text file the way Windows editors may have saved it: UTF-16 little- or big-endian
// after its byte order mark (Notepad's "Unicode", Windows PowerShell's Out-File), UTF-8 with or
// without its mark, and any other text that is not well-formed UTF-8 in the system's ANSI code
// page (what editors save as "ANSI"). Unpaired surrogates and a dangling odd byte of UTF-16
// become U+FFFD.
std::wstring decodeTextFile(std::string_view bytes);

// True when the text holds nothing but white space: a data file like that is as good as empty.
bool isBlankText(std::wstring_view text);

// Encodes as UTF-8, optionally preceded by the byte order mark EF BB BF. Unpaired
// surrogates become U+FFFD.
std::string encodeUtf8(std::wstring_view text, bool withByteOrderMark);
