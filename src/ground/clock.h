// The tick counter and sleep, behind one seam that tests can set and advance.
#pragma once

#include <cstdint>

// The tick (ms) the shell handed to the game: read from the clock at the start of each
// main-loop pass and before each event. The game, the menus and drawing read the time
// here and only here, so that one pass (and one frame) shows one moment.
extern int32_t now;

// Milliseconds since SDL started (the platform's count, which a change of the date does
// not move), wrapping at 2^32; or the manual clock's value in tests. Read by the shell.
uint32_t clockTicks();

// Sleeps ms milliseconds (SDL_Delay); the manual clock advances by ms instead.
void clockDelay(uint32_t ms);

// Waits ms milliseconds or until input arrives, whichever comes first (the platform's
// wait for work); true when the whole time passed without input. The manual clock
// advances by 1 ms instead, the short sleep of a loop that must poll, and says false.
bool clockWaitForWork(uint32_t ms);

// Test seam: switches to a manual clock that only moves by clockSet, clockAdvance and
// clockDelay, for the rest of the run. clockUseManual, clockSet and clockAdvance also
// set `now` to the new tick, as the shell hands it in before the game acts.
void clockUseManual(uint32_t startTicks);
void clockSet(uint32_t ticks);
void clockAdvance(uint32_t ms);

// Tick arithmetic that keeps its meaning when the counter passes 2^31 and wraps at 2^32.
// Ticks are stored as int32_t; these never overflow a signed type.

// t + ms, wrapping.
inline int32_t tickAdd(int32_t t, int32_t ms) {
    return static_cast<int32_t>(static_cast<uint32_t>(t) + static_cast<uint32_t>(ms));
}

// later - earlier as a signed distance in ms (valid for distances under 2^31 ms).
inline int32_t tickDiff(int32_t later, int32_t earlier) {
    return static_cast<int32_t>(static_cast<uint32_t>(later) - static_cast<uint32_t>(earlier));
}

// True when a comes strictly before b.
inline bool tickBefore(int32_t a, int32_t b) { return tickDiff(a, b) < 0; }

// The tick counter as the signed value the game state stores.
inline int32_t clockNow() { return static_cast<int32_t>(clockTicks()); }
