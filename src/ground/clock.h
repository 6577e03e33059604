// The tick counter and sleep, behind one seam that tests can set and advance.
#pragma once

#include <cstdint>

// The tick read at the start of the current main-loop pass; drawing reads it for
// animations (menu cursor, language arrows, the pulsing highlight).
extern int32_t now;

// Milliseconds since SDL started, counted on the monotonic clock so that a change of the
// date moves nothing (SDL_GetTicks in the browser), wrapping at 2^32; or the manual
// clock's value in tests.
uint32_t clockTicks();

// Sleeps ms milliseconds (SDL_Delay); the manual clock advances by ms instead.
void clockDelay(uint32_t ms);

// Waits until input arrives on the descriptor fd (the display connection) or ms
// milliseconds have passed, whichever comes first. Without a descriptor (fd < 0), or on
// the manual clock, it is clockDelay(1): the short sleep of a loop that must poll.
void clockWaitForInput(int fd, uint32_t ms);

// Holds clockTicks at its present value until clockRelease, so that everything drawn in
// one frame shows one moment.
void clockHold();
void clockRelease();

// Holds clockTicks at ticks instead (to look at the frame of a moment to come).
void clockHoldAt(uint32_t ticks);

// Test seam: switches to a manual clock that only moves by clockSet, clockAdvance and
// clockDelay, for the rest of the run.
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
