// 100 captures, each delivered to an S3 gateway over HTTPS as soon as it is taken, one after the
// other: the time from the first capture to the last picture delivered, and how many of the
// 100 the gateway then holds, each asked for by a signed HEAD.
// Usage: gateway_bench.exe S3_ADDRESS ACCESS_KEY SECRET
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "capture/screen_capturer_win.h"
#include "delivery/http_paths.h"
#include "delivery/http_session_win.h"
#include "delivery/transports_win.h"
#include "platform/text_codec.h"
#include "platform/folders.h"
#include "settings/password_cipher.h"

namespace {

constexpr int kPictures = 100;

std::wstring nameOf(int i) {
  return L"/bench/Bench-" + std::to_wstring(i) + L".png";
}

int countArrived(const wchar_t* address, const wchar_t* key, const wchar_t* secret) {
  const ServerAddress bucket = parseServerAddress(address).value();
  HttpSession session(bucket, encodeUtf8(key, false), encodeUtf8(secret, false),
                      encodeUtf8(bucket.region, false));
  int arrived = 0;
  for (int i = 0; i < kPictures; ++i) {
    HttpRequest head{"HEAD", http_paths::s3Url(bucket, http_paths::s3Key(nameOf(i)))};
    head.headers = {
        "x-amz-content-sha256: e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"};
    if (session.perform(head).done()) ++arrived;
  }
  return arrived;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) return 2;
  std::wstring cipher = argv[3];
  PasswordCipher::instance().encrypt(cipher, cipher.size());
  const FtpAccount account{argv[1], argv[2], cipher, L"bench"};
  ServerDestination gateway = makeServerDestination(platform::tempFolder() + L"known_hosts");
  EffectiveShot shot;
  shot.name = L"Bench";
  shot.rectWidth = 320;
  shot.rectHeight = 240;
  shot.format = 4;

  int sent = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kPictures; ++i) {
    std::wstring captured;
    if (!ScreenCapturer::instance().capture(shot, captured)) continue;
    if (gateway.send(account, nameOf(i), captured)) ++sent;
    DeleteFileW(captured.c_str());
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const int arrived = countArrived(argv[1], argv[2], argv[3]);
  std::printf("gateway (HTTPS): %d captures delivered in %.1f s (%.0f ms each), %d of %d arrived\n",
              sent, seconds, seconds * 1000 / kPictures, arrived, kPictures);
  return arrived == kPictures ? 0 : 1;
}
