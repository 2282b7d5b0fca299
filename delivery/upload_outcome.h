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
  // Something about the server the user should hear once, whatever the result: say, that it
  // refuses renames and so gets pictures straight under their final names. Usually empty.
  std::wstring notice;
  // kFailed: said no for good whatever the words (a certificate or host key refused), so that
  // trying again soon would change nothing. A reply's code says so by itself.
  bool refused = false;

  static UploadOutcome uploaded(std::wstring server) {
    return {Result::kUploaded, std::move(server), {}, false};
  }
  static UploadOutcome noServer() { return {Result::kNoServer, {}, {}, false}; }
  static UploadOutcome failed(std::wstring why) {
    return {Result::kFailed, std::move(why), {}, false};
  }

  explicit operator bool() const { return result == Result::kUploaded; }
};
