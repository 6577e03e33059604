// The tick counter and sleep, behind one seam that tests can set and advance.
#include "ground/clock.h"

#include <SDL.h>
#include <sys/select.h>

int32_t now = 0;

static bool manualClock = false;
static uint32_t manualTicks = 0;

static bool held = false;
static uint32_t heldTicks = 0;

uint32_t clockTicks() {
    if (held)
        return heldTicks;
    return manualClock ? manualTicks : SDL_GetTicks();
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
