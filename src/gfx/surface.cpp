// The screen surface, the must-lock brackets and the three pixel blends.
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

// Lanes are blended two at a time (red and blue in one word, green in another) with
// enough headroom between them that no lane carries into its neighbour.
uint32_t blendAverage(uint32_t a, uint32_t b) {
    uint32_t rb = (((a & 0xFF00FF) + (b & 0xFF00FF)) >> 1) & 0xFF00FF;
    uint32_t g = (((a & 0x00FF00) + (b & 0x00FF00)) >> 1) & 0x00FF00;
    return rb | g;
}

uint32_t blendMultiply(uint32_t a, uint32_t b) {
    uint32_t r = ((((a >> 16) & 0xFF) * ((b >> 16) & 0xFF)) >> 8) << 16;
    uint32_t g = ((((a >> 8) & 0xFF) * ((b >> 8) & 0xFF)) >> 8) << 8;
    uint32_t bl = ((a & 0xFF) * (b & 0xFF)) >> 8;
    return r | g | bl;
}

uint32_t blendAddSaturate(uint32_t a, uint32_t b) {
    uint32_t rb = (a & 0xFF00FF) + (b & 0xFF00FF);
    uint32_t g = (a & 0x00FF00) + (b & 0x00FF00);
    // A lane that overflowed has its ninth bit set; spread it into a full 0xFF lane.
    uint32_t rbOver = rb & 0x1000100;
    uint32_t gOver = g & 0x0010000;
    rb = (rb | (rbOver - (rbOver >> 8))) & 0xFF00FF;
    g = (g | (gOver - (gOver >> 8))) & 0x00FF00;
    return rb | g;
}
