// The game's clocks while the field stands still for a setting (a pause, a shown fact).
#pragma once

#include <cstdint>

// The field stood still for ms: its spawn and speed-up deadlines and the leading
// problem's answer clock move on by as much.
void holdGameClocks(int32_t ms);
