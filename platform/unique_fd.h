#pragma once
// The owner of a POSIX file descriptor, like the Win32 handle owners in win32_handles.h.
#include <unistd.h>

#include "platform/unique_resource.h"

namespace platform {

inline void closeFd(int fd) {
  ::close(fd);
}
inline int invalidFd() {
  return -1;
}

using UniqueFd = UniqueResource<int, closeFd, invalidFd>;

// Closes now and reports whether the close succeeded: for a file just written, a failed
// close can be the first sign that the data did not reach the disk.
inline bool closeChecked(UniqueFd& fd) {
  return ::close(fd.release()) == 0;
}

}  // namespace platform
