// The tick counter and sleep, behind one seam that tests can set and advance.
#include "ground/clock.h"

#include <SDL.h>
#include <sys/select.h>
#include <time.h>

int32_t now = 0;

static bool manualClock = false;
static uint32_t manualTicks = 0;

static bool held = false;
static uint32_t heldTicks = 0;

#if defined(CLOCK_MONOTONIC) && !defined(__EMSCRIPTEN__)
// SDL 1.2 counts its ticks on the wall clock (gettimeofday), so setting the date back
// would stop the game and setting it forward would run hours of steps at once. The
// counter here follows the monotonic clock instead, from SDL's own count at the first
// read (0 before SDL starts), and wraps at 2^32 ms as SDL's does.
static uint32_t realTicks() {
    static bool started = false;
    static int64_t originMs = 0;
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    int64_t ms = static_cast<int64_t>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
    if (!started) {
        originMs = ms - (SDL_WasInit(0) ? SDL_GetTicks() : 0);
        started = true;
    }
    return static_cast<uint32_t>(static_cast<uint64_t>(ms - originMs));
}
#else
static uint32_t realTicks() { return SDL_GetTicks(); }
#endif

uint32_t clockTicks() {
    if (held)
        return heldTicks;
    return manualClock ? manualTicks : realTicks();
}

void clockHold() {
    heldTicks = clockTicks();
    held = true;
}

void clockRelease() { held = false; }

void clockHoldAt(uint32_t ticks) {
    heldTicks = ticks;
    held = true;
}

void clockDelay(uint32_t ms) {
    if (manualClock)
        manualTicks += ms;
    else
        SDL_Delay(ms);
}

void clockWaitForInput(int fd, uint32_t ms) {
    if (fd < 0 || manualClock) {
        clockDelay(1);
        return;
    }
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(fd, &readable);
    timeval timeout;
    timeout.tv_sec = static_cast<time_t>(ms / 1000);
    timeout.tv_usec = static_cast<suseconds_t>((ms % 1000) * 1000);
    // A signal cuts the wait short, which only means an early look at the events.
    select(fd + 1, &readable, nullptr, nullptr, &timeout);
}

void clockUseManual(uint32_t startTicks) {
    manualClock = true;
    manualTicks = startTicks;
}

void clockSet(uint32_t ticks) { manualTicks = ticks; }

void clockAdvance(uint32_t ms) { manualTicks += ms; }
