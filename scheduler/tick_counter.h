#pragma once
// The per-shot counting of Automatic Mode: one call per active timer tick.
#include <cstdint>

// Counts one active tick for a shot. A shot with interval N fires on every N-th active tick
// (a 60-second shot every 60 seconds); an interval of 0 or less fires on every tick. Returns
// true when the shot fires, and then resets the count. A count already at or past a lowered
// interval fires on the next tick, so a changed interval takes effect at once.
bool countTick(int32_t& tickCount, int32_t interval);
