#include "delivery/object_storage_transport_win.h"

#include <openssl/evp.h>

#include <memory>

#include "delivery/http_paths.h"
#include "delivery/http_session_win.h"
#include "delivery/plain_password_win.h"
#include "platform/text_codec.h"

namespace {

// Of no body at all: what a DELETE signs.
constexpr char kEmptySha256[] = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";

struct DigestFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

// The hex SHA-256 of the file's bytes; empty when it cannot be read through.
std::string sha256Hex(FILE* file) {
  std::unique_ptr<EVP_MD_CTX, DigestFree> context(EVP_MD_CTX_new());
  if (!context || !EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr)) return {};
  std::rewind(file);
  char buffer[64 * 1024];
  while (const size_t read = std::fread(buffer, 1, sizeof buffer, file))
    EVP_DigestUpdate(context.get(), buffer, read);
  if (std::ferror(file)) return {};
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_DigestFinal_ex(context.get(), digest, &length);
  std::string hex;
  constexpr char kHex[] = "0123456789abcdef";
  for (unsigned int i = 0; i < length; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 15];
  }
  return hex;
}

// One send's or removal's bucket, key and signed session; nothing when the account cannot be
// used.
struct BucketCall {
  ServerAddress address;
  std::string key;
  std::unique_ptr<HttpSession> session;
};

std::optional<BucketCall> bucketCall(const FtpAccount& account, const std::wstring& remoteName,
                                     UploadOutcome& refusal) {
  const PlainPassword password(account.passwordCipherText);
  const auto address = parseServerAddress(account.server);
  if (!password.valid()) {
    refusal = PlainPassword::unreadable();
    return std::nullopt;
  }
  if (!address || !isS3(address->protocol)) {
    refusal = UploadOutcome::failed(L"no bucket in " + account.server);
    refusal.refused = true;
    return std::nullopt;
  }
  auto session = std::make_unique<HttpSession>(*address, encodeUtf8(account.user, false),
                                               encodeUtf8(password.c_str(), false),
                                               encodeUtf8(address->region, false));
  return BucketCall{*address, http_paths::s3Key(remoteName), std::move(session)};
}

}  // namespace

UploadOutcome ObjectStorageTransport::send(const FtpAccount& account,
                                           const std::wstring& remoteName,
                                           const std::wstring& localFile) {
  UploadOutcome refusal;
  auto call = bucketCall(account, remoteName, refusal);
  if (!call) return refusal;
  auto body = openBody(localFile);
  const std::string sha = body ? sha256Hex(body->file.get()) : std::string();
  if (sha.empty()) return pictureGone();
  HttpRequest put{"PUT", http_paths::s3Url(call->address, call->key)};
  put.headers = {"x-amz-content-sha256: " + sha};
  put.body = body->file.get();
  put.bodySize = body->size;
  const HttpAnswer answer = call->session->perform(put);
  if (answer.done()) return call->session->delivered();
  return call->session->failure(answer);
}

UploadOutcome ObjectStorageTransport::remove(const FtpAccount& account,
                                             const std::wstring& remoteName) {
  UploadOutcome refusal;
  auto call = bucketCall(account, remoteName, refusal);
  if (!call) return refusal;
  HttpRequest del{"DELETE", http_paths::s3Url(call->address, call->key)};
  del.headers = {std::string("x-amz-content-sha256: ") + kEmptySha256};
  const HttpAnswer answer = call->session->perform(del);
  if (answer.done()) return call->session->delivered();
  return call->session->failure(answer);
}

void ObjectStorageTransport::cancelAll() {
  curl_parts::InFlight::instance().cancelAll();
}
