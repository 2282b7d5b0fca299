#include "delivery/remote_commands.h"

namespace remote_commands {

std::string quoted(const std::string& path) {
  std::string out = "\"";
  for (char c : path) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::vector<std::string> renameCommands(bool sftp, const std::string& from, const std::string& to,
                                        bool deleteFirst) {
  std::vector<std::string> lines;
  if (sftp) {
    if (deleteFirst) lines.push_back("*rm " + quoted(to));
    lines.push_back("rename " + quoted(from) + " " + quoted(to));
  } else {
    if (deleteFirst) lines.push_back("*DELE " + to);
    lines.push_back("RNFR " + from);
    lines.push_back("RNTO " + to);
  }
  return lines;
}

std::vector<std::string> removeCommands(bool sftp, const std::string& path) {
  return {sftp ? "*rm " + quoted(path) : "*DELE " + path};
}

}  // namespace remote_commands
