#include "app/version_compare.h"

#include <string_view>
#include <vector>

namespace {

bool isDigit(wchar_t c) {
  return c >= L'0' && c <= L'9';
}

// The digits-and-dots run at the start of `text`, after any spaces or tabs.
std::wstring_view leadingVersion(std::wstring_view text) {
  size_t start = 0;
  while (start < text.size() && (text[start] == L' ' || text[start] == L'\t')) ++start;
  size_t end = start;
  while (end < text.size() && (isDigit(text[end]) || text[end] == L'.')) ++end;
  return text.substr(start, end - start);
}

bool hasDigit(std::wstring_view text) {
  for (wchar_t c : text)
    if (isDigit(c)) return true;
  return false;
}

// Each part without its leading zeros; an empty part ("1..2") is 0.
std::vector<std::wstring_view> versionParts(std::wstring_view version) {
  std::vector<std::wstring_view> parts;
  for (;;) {
    const size_t dot = version.find(L'.');
    std::wstring_view part = version.substr(0, dot);
    while (!part.empty() && part.front() == L'0') part.remove_prefix(1);
    parts.push_back(part);
    if (dot == std::wstring_view::npos) return parts;
    version.remove_prefix(dot + 1);
  }
}

// Compares digit strings without leading zeros as numbers of any length: no overflow.
int compareNumbers(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  const int order = a.compare(b);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

int compareVersions(std::wstring_view a, std::wstring_view b) {
  const std::vector<std::wstring_view> left = versionParts(a);
  const std::vector<std::wstring_view> right = versionParts(b);
  const size_t count = left.size() > right.size() ? left.size() : right.size();
  for (size_t i = 0; i < count; ++i) {
    const std::wstring_view l = i < left.size() ? left[i] : std::wstring_view();
    const std::wstring_view r = i < right.size() ? right[i] : std::wstring_view();
    if (const int order = compareNumbers(l, r); order != 0) return order;
  }
  return 0;
}

}  // namespace

bool isNewerVersion(const std::wstring& body, const std::wstring& localVersion) {
  constexpr std::wstring_view kMarker = L"Version-";
  const size_t marker = body.find(kMarker);
  if (marker == std::wstring::npos) return false;
  const std::wstring_view published =
      leadingVersion(std::wstring_view(body).substr(marker + kMarker.size()));
  if (!hasDigit(published)) return false;
  return compareVersions(published, leadingVersion(localVersion)) > 0;
}
