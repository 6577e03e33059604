// The tick counter and sleep, behind one seam that tests can set and advance.
#include "ground/clock.h"

#include <SDL.h>

int32_t now = 0;

static bool manualClock = false;
static uint32_t manualTicks = 0;

uint32_t clockTicks() { return manualClock ? manualTicks : SDL_GetTicks(); }

void clockDelay(uint32_t ms) {
    if (manualClock)
        manualTicks += ms;
    else
        SDL_Delay(ms);
}

void clockUseManual(uint32_t startTicks) {
    manualClock = true;
    manualTicks = startTicks;
}

void clockUseReal() { manualClock = false; }

void clockSet(uint32_t ticks) { manualTicks = ticks; }

void clockAdvance(uint32_t ms) { manualTicks += ms; }
