#pragma once
// A shot's server field as FTP clients write it: a bare host name, or a scheme in front, and
// a port after a colon. A bare name or "ftp://" is plain FTP as it always was. Object storage
// and WebDAV shares are named by URLs: "s3://host[:port]/bucket[?region=NAME]" and
// "https://host[:port]/path", each also over plain HTTP ("s3+http://", "http://").
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class TransferProtocol {
  kFtp,        // plain, through WinINet
  kFtpes,      // FTP with explicit TLS (AUTH TLS)
  kFtps,       // FTP with implicit TLS
  kSftp,       // SSH file transfer
  kS3,         // S3-compatible object storage over HTTPS, signed with AWS Signature V4
  kS3Http,     // the same over plain HTTP, for a lab
  kWebDav,     // a WebDAV share over HTTPS
  kWebDavHttp  // the same over plain HTTP
};

struct ServerAddress {
  TransferProtocol protocol = TransferProtocol::kFtp;
  std::wstring host;
  uint16_t port = 21;
  // S3: the bucket. WebDAV: the share's path from the host, "/" when none, as typed. FTP and
  // SFTP keep none: their folder has a field of its own.
  std::wstring path;
  // S3: where the request is signed for: "?region=NAME", else an AWS host's own
  // ("s3.eu-central-1.amazonaws.com"), else "us-east-1".
  std::wstring region;

  bool operator==(const ServerAddress&) const = default;
};

// Nothing for an empty host, an unknown scheme, a port that is no number from 1 to 65535, or an
// S3 address without exactly one bucket; "ftp.example.com/" and "ftps://Host:990" are taken as
// FTP clients take them.
std::optional<ServerAddress> parseServerAddress(std::wstring_view text);

// "ftp", "ftpes", "ftps", "sftp", "s3", "s3+http", "https" or "http", as the scheme is written.
std::wstring_view protocolName(TransferProtocol protocol);
std::optional<TransferProtocol> protocolNamed(std::wstring_view name);

uint16_t defaultPort(TransferProtocol protocol);

bool isS3(TransferProtocol protocol);
bool isWebDav(TransferProtocol protocol);
// S3 and WebDAV over plain HTTP: the pictures go unencrypted.
bool isPlainHttp(TransferProtocol protocol);
