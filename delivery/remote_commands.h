#pragma once
// The commands that move a file into place on a server, or remove it, as FTP and SFTP servers
// take them: plain text, whatever transport sends it.
#include <string>
#include <vector>

namespace remote_commands {

// `path` in double quotes, with '"' and '\\' escaped, as SFTP commands take a path.
std::string quoted(const std::string& path);

// The commands that give the file `from` the name `to`, deleting an older `to` first when
// `deleteFirst` (some servers will not rename onto a name in use). A leading "*" lets a command
// fail without failing the rest.
std::vector<std::string> renameCommands(bool sftp, const std::string& from, const std::string& to,
                                        bool deleteFirst);
// The command that removes `path`, allowed to fail.
std::vector<std::string> removeCommands(bool sftp, const std::string& path);

}  // namespace remote_commands
