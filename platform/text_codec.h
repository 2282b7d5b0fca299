#pragma once
// UTF-8 on disk, UTF-16 (Windows) or UTF-32 (elsewhere) std::wstring in memory.
// The program's data files are read and written through these two functions only.
#include <string>
#include <string_view>

// Decodes UTF-8; a leading byte order mark is skipped. Invalid or truncated sequences
// become U+FFFD; U+0000 is kept like any other character.
std::wstring decodeUtf8(std::string_view bytes);

// Encodes as UTF-8, optionally preceded by the byte order mark EF BB BF. Unpaired
// surrogates become U+FFFD.
std::string encodeUtf8(std::wstring_view text, bool withByteOrderMark);
