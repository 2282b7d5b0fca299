#pragma once
// Pictures taken while a server cannot take them wait in the ledger across an Exit; once it can,
// the next start sends each of them once and whole, and keeping only the newest picture deletes
// none of them before it was sent. The log names the server's words for the failure. One run
// of the program through both starts, for any transport.
#include <functional>
#include <set>
#include <string>

struct RestartDelivery {
  std::wstring server;  // the shot's server field
  std::wstring user;
  std::wstring password;  // as typed
  std::wstring blocked;   // a file whose presence keeps the uploads from getting through
  int format = 4;
  std::string failure;  // what the log says after "upload failed: "
  // The bytes the server holds under a picture's file name; "" when none.
  std::function<std::string(const std::wstring& name)> arrived;
  // Every file the server holds with the extension, ".part" ones too; unset when the server
  // cannot list them (a key is whole or absent there anyway).
  std::function<std::set<std::wstring>(const std::wstring& extension)> listed;
};

void expectDeliveryAfterARestart(const RestartDelivery& run);
