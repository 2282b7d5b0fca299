#pragma once
// The program's transports, each with the schemes it takes: the one table a new transport joins,
// as a route of its own.
#include <string>

#include "delivery/server_destination.h"

// Plain FTP through WinINet; FTP over TLS, SFTP, S3 object storage and WebDAV through libcurl,
// with the SFTP servers' host keys in `knownHostsPath`.
ServerDestination makeServerDestination(const std::wstring& knownHostsPath);
