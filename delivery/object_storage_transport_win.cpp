#include "delivery/object_storage_transport_win.h"

#include <openssl/evp.h>

#include <memory>

#include "delivery/http_paths.h"
#include "delivery/http_session_win.h"
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

}  // namespace

UploadOutcome ObjectStorageTransport::send(const FtpAccount& account,
                                           const std::wstring& remoteName,
                                           const std::wstring& localFile) {
  UploadOutcome refusal;
  ServerAddress bucket;
  const auto session = openSession(account, isS3, true, bucket, refusal);
  if (!session) return refusal;
  auto body = openBody(localFile);
  const std::string sha = body ? sha256Hex(body->file.get()) : std::string();
  if (sha.empty()) return pictureGone();
  HttpRequest put{"PUT", http_paths::s3Url(bucket, http_paths::s3Key(remoteName))};
  put.headers = {"x-amz-content-sha256: " + sha};
  put.body = body->file.get();
  put.bodySize = body->size;
  const HttpAnswer answer = session->perform(put);
  return answer.done() ? session->delivered() : session->failure(answer);
}

UploadOutcome ObjectStorageTransport::remove(const FtpAccount& account,
                                             const std::wstring& remoteName) {
  UploadOutcome refusal;
  ServerAddress bucket;
  const auto session = openSession(account, isS3, true, bucket, refusal);
  if (!session) return refusal;
  HttpRequest del{"DELETE", http_paths::s3Url(bucket, http_paths::s3Key(remoteName))};
  del.headers = {std::string("x-amz-content-sha256: ") + kEmptySha256};
  const HttpAnswer answer = session->perform(del);
  return answer.done() ? session->delivered() : session->failure(answer);
}

void ObjectStorageTransport::cancelAll() {
  curl_parts::InFlight::instance().cancelAll();
}
