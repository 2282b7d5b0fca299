#pragma once
// Pictures of what is on the screen, for tests and the screenshot tour.
#include <windows.h>

#include <string>

// Saves the screen's pixels inside `area` (screen coordinates) as a PNG file.
bool saveScreenArea(const RECT& area, const std::wstring& pngPath);

// The colour of one screen pixel, as GetPixel gives it.
COLORREF screenPixel(int x, int y);
