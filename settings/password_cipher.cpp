#include "settings/password_cipher.h"

// BF_* are deprecated in OpenSSL 3 in favour of EVP, whose Blowfish lives in the legacy
// provider. The stored passwords need exactly this cipher, so use it and keep the warning off
// for this file alone.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/blowfish.h>

#include <algorithm>
#include <optional>
#include <string_view>

namespace {

constexpr unsigned char kKey[] = {'k', '3', 'v', '9', 'p', '2', 'q', 'x',
                                  '7', 'm', '5', 't', 'z', '8', 'w', 'n'};
constexpr size_t kBlockSize = 8;
constexpr char kHexDigits[] = "0123456789ABCDEF";

// One byte per character; nothing when a character does not fit in a byte.
std::optional<std::string> latin1Bytes(std::wstring_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (wchar_t c : text) {
    if (static_cast<unsigned long>(c) > 0xFF) return std::nullopt;
    bytes.push_back(static_cast<char>(c));
  }
  return bytes;
}

std::wstring latin1Text(std::string_view bytes) {
  std::wstring text;
  text.reserve(bytes.size());
  for (char b : bytes) text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(b)));
  return text;
}

// Bytes that would end a stored value or split its line.
bool storableAsIs(std::string_view cipher) {
  return cipher.find_first_of(std::string_view("\0\n\r", 3)) == std::string_view::npos;
}

std::wstring escaped(std::string_view cipher) {
  std::wstring text(1, PasswordCipher::kEscapeMarker);
  for (char b : cipher) {
    const auto byte = static_cast<unsigned char>(b);
    text.push_back(static_cast<wchar_t>(kHexDigits[byte >> 4]));
    text.push_back(static_cast<wchar_t>(kHexDigits[byte & 0x0F]));
  }
  return text;
}

int hexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  return -1;
}

// The cipher bytes of an escaped form; nothing when the text is not one.
std::optional<std::string> unescaped(std::wstring_view text) {
  if (text.size() % (2 * kBlockSize) != 1 || text.front() != PasswordCipher::kEscapeMarker) {
    return std::nullopt;
  }
  std::string cipher;
  cipher.reserve(text.size() / 2);
  for (size_t i = 1; i < text.size(); i += 2) {
    const int high = hexValue(text[i]);
    const int low = hexValue(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    cipher.push_back(static_cast<char>(high << 4 | low));
  }
  return cipher;
}

}  // namespace

PasswordCipher& PasswordCipher::instance() {
  static PasswordCipher* const cipher = new PasswordCipher();
  return *cipher;
}

PasswordCipher::PasswordCipher() : key_(std::make_unique<BF_KEY>()) {
  BF_set_key(key_.get(), static_cast<int>(sizeof kKey), kKey);
}

PasswordCipher::~PasswordCipher() = default;

std::string PasswordCipher::runBlocks(const std::string& bytes, bool encrypting) const {
  std::string result;
  result.reserve(bytes.size() + kBlockSize);
  for (size_t pos = 0; pos < bytes.size(); pos += kBlockSize) {
    unsigned char in[kBlockSize] = {};
    unsigned char out[kBlockSize] = {};
    const size_t take = std::min(kBlockSize, bytes.size() - pos);
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(pos), take, in);
    BF_ecb_encrypt(in, out, key_.get(), encrypting ? BF_ENCRYPT : BF_DECRYPT);
    // A decrypted block ends at its first zero byte: those are the fill of the last block.
    const size_t keep = encrypting ? kBlockSize : std::find(out, out + kBlockSize, 0) - out;
    result.append(reinterpret_cast<const char*>(out), keep);
  }
  return result;
}

bool PasswordCipher::encrypt(std::wstring& text, size_t length) const {
  const std::wstring_view input = std::wstring_view(text).substr(0, length);
  const auto bytes = latin1Bytes(input);
  if (!bytes || bytes->find('\0') != std::string::npos) return false;
  const std::string cipher = runBlocks(*bytes, true);
  text = storableAsIs(cipher) ? latin1Text(cipher) : escaped(cipher);
  return true;
}

bool PasswordCipher::decrypt(std::wstring& text, size_t length) const {
  const std::wstring_view input = std::wstring_view(text).substr(0, length);
  auto cipher = unescaped(input);
  if (!cipher) cipher = latin1Bytes(input);
  if (!cipher) return false;
  text = latin1Text(runBlocks(*cipher, false));
  return true;
}
