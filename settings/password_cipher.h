#pragma once
// Stored FTP passwords: Blowfish (ECB, 8-byte blocks) under the program's fixed key.
#include <cstddef>
#include <memory>
#include <string>

struct bf_key_st;

// The stored form is normally the cipher bytes, one character U+0000..U+00FF each, so its
// length is a multiple of 8. Cipher bytes 0x00, 0x0A and 0x0D would end the value or break
// the line structure of the data files, so a cipher text holding one is stored instead as
// kEscapeMarker followed by two upper-case hexadecimal digits per byte: 1 + 16k characters,
// a length the plain form never has.
//
// The key schedule is only read after construction: both operations may run on any number
// of threads at once.
class PasswordCipher {
 public:
  static constexpr wchar_t kEscapeMarker = L'#';

  // Created on first use (thread-safe), never destroyed: detached upload threads may still
  // decrypt while the process ends.
  static PasswordCipher& instance();

  // Encrypts the first `length` characters of `text` (at most all of it) into the stored form.
  // False, with `text` unchanged, when a character is U+0000 or above U+00FF: such a password
  // could not come back from decrypt() as it was typed.
  bool encrypt(std::wstring& text, size_t length) const;

  // Turns the first `length` characters of a stored form back into the password. A plain form
  // whose length is not a multiple of 8 has its last piece filled up with zero bytes. False,
  // with `text` unchanged, when a character is above U+00FF (no cipher text holds one).
  bool decrypt(std::wstring& text, size_t length) const;

  PasswordCipher(const PasswordCipher&) = delete;
  PasswordCipher& operator=(const PasswordCipher&) = delete;

 private:
  PasswordCipher();
  ~PasswordCipher();

  std::string runBlocks(const std::string& bytes, bool encrypting) const;

  std::unique_ptr<bf_key_st> key_;
};
