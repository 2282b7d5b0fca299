#pragma once
// A shot's password as typed, for the one login that needs it, whichever transport makes it.
#include <windows.h>

#include <string>

#include "delivery/upload_outcome.h"

class PlainPassword {
 public:
  explicit PlainPassword(const std::wstring& cipherText);
  // Wiped, so that no freed memory holds it.
  ~PlainPassword() { SecureZeroMemory(text_.data(), text_.size() * sizeof(wchar_t)); }
  PlainPassword(const PlainPassword&) = delete;
  PlainPassword& operator=(const PlainPassword&) = delete;

  // False for a stored text that is no cipher text of ours (a hand-edited file): it must not
  // go to the server as the password, so the send ends with unreadable() before it connects.
  bool valid() const { return valid_; }
  const wchar_t* c_str() const { return text_.c_str(); }

  static UploadOutcome unreadable() {
    return UploadOutcome::failed(L"the stored FTP password cannot be read, enter it again");
  }

 private:
  std::wstring text_;
  bool valid_ = true;
};
