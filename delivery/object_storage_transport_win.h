#pragma once
// S3-compatible object storage through libcurl: "s3://" and "s3+http://" addresses. The user
// is the access key id, the password the secret key, the folder the key prefix.
#include "delivery/destination.h"

class ObjectStorageTransport : public Destination {
 public:
  // One signed PUT (AWS Signature V4, path-style) of the picture under its key in the bucket:
  // a PUT is whole or not there, so no temporary name is needed. The body's SHA-256 goes in
  // x-amz-content-sha256, which gateways need to check the signature. The bucket must exist.
  UploadOutcome send(const FtpAccount& account, const std::wstring& remoteName,
                     const std::wstring& localFile) override;
  UploadOutcome remove(const FtpAccount& account, const std::wstring& remoteName) override;
  // Every libcurl transfer of the program ends at once (they share one list).
  void cancelAll() override;
};
