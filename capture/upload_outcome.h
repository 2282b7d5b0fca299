#pragma once
// How one upload ended, in words a user can act on.
#include <string>
#include <utility>

struct UploadOutcome {
  enum class Result {
    kUploaded,
    kNoServer,  // the shot names no FTP server: nothing was to be sent
    kFailed,
  };
  Result result = Result::kNoServer;
  // kUploaded: the server; kFailed: the server's own reply when it gave one (its error text),
  // else a plain reason such as "no answer from ftp.example.com". Never holds a password.
  std::wstring detail;

  static UploadOutcome uploaded(std::wstring server) { return {Result::kUploaded, server}; }
  static UploadOutcome noServer() { return {Result::kNoServer, {}}; }
  static UploadOutcome failed(std::wstring why) { return {Result::kFailed, std::move(why)}; }

  explicit operator bool() const { return result == Result::kUploaded; }
};
