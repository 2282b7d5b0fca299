#pragma once
// A shot's server field as FTP clients write it: a bare host name, or a scheme in front, and
// a port after a colon. A bare name or "ftp://" is plain FTP as it always was.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class TransferProtocol {
  kFtp,    // plain, through WinINet
  kFtpes,  // FTP with explicit TLS (AUTH TLS)
  kFtps,   // FTP with implicit TLS
  kSftp,   // SSH file transfer
};

struct ServerAddress {
  TransferProtocol protocol = TransferProtocol::kFtp;
  std::wstring host;
  uint16_t port = 21;

  bool operator==(const ServerAddress&) const = default;
};

// Nothing for an empty host, an unknown scheme, or a port that is no number from 1 to 65535;
// "ftp.example.com/" and "ftps://Host:990" are taken as FTP clients take them.
std::optional<ServerAddress> parseServerAddress(std::wstring_view text);

// "ftp", "ftpes", "ftps" or "sftp", as the address's scheme is written.
std::wstring_view protocolName(TransferProtocol protocol);
std::optional<TransferProtocol> protocolNamed(std::wstring_view name);

uint16_t defaultPort(TransferProtocol protocol);
