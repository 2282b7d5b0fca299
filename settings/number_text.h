#pragma once
// Decimal text as the data files hold it.
#include <cstdint>
#include <string>
#include <string_view>

// Leading white space and one sign accepted, stops at the first non-digit, 0 when no digit
// comes first, clamps to the 32-bit range.
int32_t parseDecimal(std::wstring_view text);

std::wstring decimalText(int32_t value);
