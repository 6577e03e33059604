// The browser: the page owns the main loop, the window and the sound; nothing may block.
#include "ground/platform.h"

#include <cstdlib>
#include <emscripten.h>

void platformPrepareProcess() {}

void platformPrepareVideo() {}

void platformVideoStarted() {}

void platformWindowShown(bool) {}

// The page wakes the main loop at a key (web/sdl_page.js).
bool platformInputEndsWaits() { return true; }

// The browser's pass returns instead of waiting; the loop waits between passes (see
// platformRunMainLoop).
bool platformWaitForWork(uint32_t) { return false; }

// Frames come at the desktop's gaps: a page that draws at every animation frame costs a
// tablet's battery for frames nobody can tell apart.
int32_t platformFrameGapMs(int32_t wantedMs) { return wantedMs; }

uint32_t platformTicks() { return SDL_GetTicks(); }

bool platformKeepsShownPixels() { return true; }

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

// The page's side of the loop (web/sdl_page.js): starts it with the function a wake
// calls (its argument 1 for a wake at a key), wakes it again after ms, and stops it.
extern "C" void plimo_loop_start(void (*wake)(int input));
extern "C" void plimo_loop_after(int ms);
extern "C" void plimo_loop_stop();

static int32_t (*browserMsUntilWork)() = nullptr;
static bool (*browserPass)() = nullptr;
static void (*browserEnd)() = nullptr;

// Passes a wake runs at most while work stays due (the next wake comes at once then):
// a page that falls behind still lets the browser breathe between wakes.
const int MaxPassesPerWake = 4;

// A wake of the loop: after a key one pass for its events, then passes while work is due;
// then the loop sleeps until the next work (or key). When the player ends the game, the
// program tears down and exit tells the page, as the process would end.
static void wakeLoop(int input) {
    // The wait is worked out once a pass (a still screen's costs a look ahead).
    int32_t wait = 0;
    for (int i = 0; i < MaxPassesPerWake; i++) {
        wait = input && i == 0 ? 0 : browserMsUntilWork();
        if (wait > 0)
            break;
        if (browserPass()) {
            plimo_loop_stop();
            browserEnd();
            exit(0);
        }
    }
    plimo_loop_after(wait > 0 ? wait : 0);
}

void platformRunMainLoop(int32_t (*msUntilWork)(), bool (*pass)(), void (*end)()) {
    browserMsUntilWork = msUntilWork;
    browserPass = pass;
    browserEnd = end;
    plimo_loop_start(wakeLoop);
    // Does not return: the page wakes the loop from here on, and main ends with the
    // runtime kept alive for it.
    emscripten_exit_with_live_runtime();
}
