#include "delivery/plain_password_win.h"

#include "settings/password_cipher.h"

PlainPassword::PlainPassword(const std::wstring& cipherText) : text_(cipherText) {
  if (!text_.empty()) valid_ = PasswordCipher::instance().decrypt(text_, text_.size());
}
