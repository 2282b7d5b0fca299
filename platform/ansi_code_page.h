#pragma once
// The system's "ANSI" code page: what Windows editors use for a text saved as "ANSI".
#include <string>
#include <string_view>

namespace platform {

// Decodes single- or multi-byte text in the ANSI code page of the system (on Windows, the
// active code page; elsewhere Windows-1252, the code page of Western European systems).
std::wstring decodeAnsi(std::string_view bytes);

}  // namespace platform
