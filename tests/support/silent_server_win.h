#pragma once
// A server on loopback that takes connections and never says a word: a check or an upload
// aimed at it waits until it is cancelled or gives up.
#include <winsock2.h>

#include <string>

#include "platform/unique_resource.h"

class SilentServer {
 public:
  // On a port of the system's choosing unless one is asked for.
  explicit SilentServer(unsigned short port = 0) {
    WSADATA data{};
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_.reset(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    int length = sizeof address;
    auto* name = reinterpret_cast<sockaddr*>(&address);
    if (bind(listener_.get(), name, length) == 0 && listen(listener_.get(), 4) == 0 &&
        getsockname(listener_.get(), name, &length) == 0)
      port_ = ntohs(address.sin_port);
  }
  ~SilentServer() {
    listener_.reset();
    WSACleanup();
  }
  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;

  // Where it listens: 127.0.0.1 on this port, or 0 when it could not listen.
  unsigned port() const { return port_; }
  std::wstring ftpAddress() const { return L"ftp://127.0.0.1:" + std::to_wstring(port_); }

 private:
  static void closeSocket(SOCKET socket) { closesocket(socket); }
  static SOCKET invalidSocket() { return INVALID_SOCKET; }

  UniqueResource<SOCKET, &SilentServer::closeSocket, &SilentServer::invalidSocket> listener_;
  unsigned port_ = 0;
};
