#include "shots/shot_guid.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <array>
#include <cstdint>
#include <random>

namespace {

using GuidBytes = std::array<uint8_t, 16>;

// Marked as a version 4 (random) GUID of the standard variant, as Windows makes them.
std::wstring guidText(GuidBytes bytes) {
  bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x40);
  bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80);
  constexpr wchar_t kHex[] = L"0123456789ABCDEF";
  std::wstring text = L"{";
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += L'-';
    text += kHex[bytes[i] >> 4];
    text += kHex[bytes[i] & 0x0F];
  }
  return text + L"}";
}

}  // namespace

std::wstring newShotGuid() {
  GuidBytes bytes{};
  if (RAND_bytes(bytes.data(), static_cast<int>(bytes.size())) != 1) {
    std::random_device device;  // OpenSSL had no entropy: the system's own source instead
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(device());
  }
  return guidText(bytes);
}

std::wstring derivedShotGuid(std::string_view seed) {
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int length = 0;
  EVP_Digest(seed.data(), seed.size(), digest.data(), &length, EVP_sha256(), nullptr);
  GuidBytes bytes{};
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = digest[i];
  return guidText(bytes);
}
