// The tick counter and sleep, behind one seam that tests can set and advance.
#include "ground/clock.h"

#include <SDL.h>

#include "ground/platform.h"

int32_t now = 0;

static bool manualClock = false;
static uint32_t manualTicks = 0;

uint32_t clockTicks() { return manualClock ? manualTicks : platformTicks(); }

void clockDelay(uint32_t ms) {
    if (manualClock)
        manualTicks += ms;
    else
        SDL_Delay(ms);
}

bool clockWaitForWork(uint32_t ms) {
    if (!manualClock)
        return platformWaitForWork(ms);
    manualTicks += 1;
    return false;
}

// A test that sets the clock hands the game that moment too, as the shell would.
void clockUseManual(uint32_t startTicks) {
    manualClock = true;
    manualTicks = startTicks;
    now = static_cast<int32_t>(manualTicks);
}

void clockSet(uint32_t ticks) {
    manualTicks = ticks;
    now = static_cast<int32_t>(manualTicks);
}

void clockAdvance(uint32_t ms) {
    manualTicks += ms;
    now = static_cast<int32_t>(manualTicks);
}
