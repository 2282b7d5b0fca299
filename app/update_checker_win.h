#pragma once
// Whether the version file on the web names a newer version than this program.
#include <string>

class UpdateChecker {
 public:
  // Fetches VERSION_PATH over HTTP and compares what follows its "Version-" with VERSION.
  // Any failure (no network, no answer in time, no marker) counts as "not newer". Start-up
  // waits for this, so the whole check gives up after a few seconds.
  static bool isNewerVersionPublished();

  // The body as the check reads it: each byte one character of the same value, a read's bytes
  // ending at the first zero byte among them.
  static void appendBytes(std::wstring& text, const char* bytes, unsigned long count);
};
