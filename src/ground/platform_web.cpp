// The browser: the page owns the main loop, the window and the sound; nothing may block.
#include "ground/platform.h"

#include <cstdlib>
#include <emscripten.h>

void platformPrepareProcess() {}

void platformPrepareVideo() {}

void platformVideoStarted() {}

void platformWindowShown(bool) {}

bool platformHasInputDescriptor() { return false; }

// The browser's pass returns instead of waiting (see platformRunMainLoop).
bool platformWaitForWork(uint32_t) { return false; }

// Every animation frame that runs a step draws, as before frames had a gap.
int32_t platformFrameGapMs(int32_t) { return 0; }

uint32_t platformTicks() { return SDL_GetTicks(); }

// The browser's SDL says 1.3.0: never SDL 1.2 over SDL 2, so regions are presented as
// regions; asked all the same, as the page's list of SDL calls expects.
bool platformSdlOverSdl2() { return SDL_Linked_Version()->patch >= 50; }

// The browser's SDL header says "always", and its surfaces have no pixel offset; the
// page's surfaces (web/sdl_surfaces.js) are software surfaces in memory, under the same
// rule read from their flags, so that frames are drawn there as on the desktop.
bool platformMustLock(const SDL_Surface *s) { return (s->flags & (SDL_HWSURFACE | SDL_ASYNCBLIT | SDL_RLEACCEL)) != 0; }

// The page sends no focus events, and the browser's SDL cannot peek.
int platformPeekWindowEvents(SDL_Event *, int) { return 0; }

void platformQuietSoundLibrary(bool) {}

void platformKeepWholeFrames(Mix_Chunk *) {}

// The browser's SDL holds streams as numbers in a table, freed by SDL_FreeRW, and has
// copied the bytes.
void platformCloseStream(SDL_RWops *stream) { SDL_FreeRW(stream); }

static bool (*browserWorkDue)() = nullptr;
static bool (*browserPass)() = nullptr;
static void (*browserEnd)() = nullptr;

// Called once per animation frame; a frame with no work due skips the pass instead of
// letting it wait (its events wait for the next frame). When the player ends the game,
// the program tears down and exit tells the page, as the process would end.
static void animationFrame() {
    if (!browserWorkDue())
        return;
    if (browserPass()) {
        emscripten_cancel_main_loop();
        browserEnd();
        exit(0);
    }
}

void platformRunMainLoop(bool (*workDue)(), bool (*pass)(), void (*end)()) {
    browserWorkDue = workDue;
    browserPass = pass;
    browserEnd = end;
    // Does not return: the browser runs animationFrame from here on.
    emscripten_set_main_loop(animationFrame, 0, 1);
}
