// The screen surface and the must-lock brackets (the blends are inline in the header).
#include "gfx/surface.h"

SDL_Surface *screenSurface = nullptr;

bool lockIfNeeded(SDL_Surface *s) {
    if (!surfaceMustLock(s))
        return true;
    return SDL_LockSurface(s) >= 0;
}

void unlockIfNeeded(SDL_Surface *s) {
    if (surfaceMustLock(s))
        SDL_UnlockSurface(s);
}
