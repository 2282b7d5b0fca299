#pragma once
// How long a transfer may take, the same for every protocol: a server that stops answering, or
// a line that slows to a crawl, cannot keep an upload worker for good.
#include <chrono>
#include <cstdint>

namespace transfer_limits {

// Connecting and logging in, and (where the transport can tell) each reply of the server.
inline constexpr std::chrono::seconds kLogin{20};
inline constexpr std::chrono::seconds kReply{20};
// One short command: a rename, a delete, removing what a failed transfer left.
inline constexpr std::chrono::seconds kCommand{10};
// A transfer gets this, plus the time the file takes at the lowest speed...
inline constexpr std::chrono::seconds kTransferBase{60};
inline constexpr uint64_t kLowestBytesPerSecond = 32 * 1024;
// ...and one that stays below the lowest speed this long is given up before that.
inline constexpr std::chrono::seconds kStall{30};

inline std::chrono::seconds transferLimit(uint64_t bytes) {
  return kTransferBase + std::chrono::seconds(bytes / kLowestBytesPerSecond);
}

}  // namespace transfer_limits
