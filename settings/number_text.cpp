#include "settings/number_text.h"

#include <limits>

namespace {

// The C locale's white space, whatever locale the process runs in.
bool isBlank(wchar_t c) {
  return c == L' ' || (c >= L'\t' && c <= L'\r');
}
bool isDigit(wchar_t c) {
  return c >= L'0' && c <= L'9';
}

}  // namespace

int32_t parseDecimal(std::wstring_view text) {
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
  size_t pos = 0;
  while (pos < text.size() && isBlank(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-')) negative = text[pos++] == L'-';
  // Accumulate the magnitude in 64 bits and stop growing once it is past either limit, so
  // arbitrarily long digit runs clamp instead of overflowing.
  int64_t magnitude = 0;
  for (; pos < text.size() && isDigit(text[pos]); ++pos) {
    magnitude = magnitude * 10 + (text[pos] - L'0');
    if (magnitude > kMax + 1) magnitude = kMax + 1;
  }
  const int64_t value = negative ? -magnitude : magnitude;
  if (value > kMax) return static_cast<int32_t>(kMax);
  if (value < kMin) return static_cast<int32_t>(kMin);
  return static_cast<int32_t>(value);
}

std::wstring decimalText(int32_t value) {
  // Widened before negating: -INT32_MIN does not fit in 32 bits.
  int64_t magnitude = value;
  const bool negative = magnitude < 0;
  if (negative) magnitude = -magnitude;
  std::wstring digits;
  do {
    digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  if (negative) digits.insert(digits.begin(), L'-');
  return digits;
}
