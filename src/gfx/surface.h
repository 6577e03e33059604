// The screen surface, pixel addressing, the must-lock rule and the three pixel blends.
#pragma once

#include <SDL.h>
#include <cstdint>

#include "ground/platform.h"

// Fixed clip bounds of every pixel writer, in pixels.
constexpr int ScreenWidth = 640;
constexpr int ScreenHeight = 480;

// The 640x480, 32-bit video surface; owned by SDL, never freed by the program.
extern SDL_Surface *screenSurface;

// SDL 1.2's must-lock rule, SDL_MUSTLOCK: a pixel offset or a hardware, async-blit or RLE
// surface (the platform's reading of it).
inline bool surfaceMustLock(const SDL_Surface *s) { return platformMustLock(s); }

// Locks s when the rule asks for it. False when a needed lock failed.
bool lockIfNeeded(SDL_Surface *s);

// Unlocks s when the rule holds (the closing half of the bracket).
void unlockIfNeeded(SDL_Surface *s);

// The first 32-bit pixel of row y of s (rows are pitch bytes apart).
inline uint32_t *pixelRow(SDL_Surface *s, int y) {
    return static_cast<uint32_t *>(s->pixels) + static_cast<size_t>(y) * (s->pitch / 4);
}

// Pixel (x, y) of s; no clipping.
inline uint32_t &pixelAt(SDL_Surface *s, int x, int y) { return pixelRow(s, y)[x]; }

// The three blends work per 8-bit lane of bits 0..23 (blue, green, red); bits 24..31 of
// the inputs are ignored and those of the result are 0. They sit here, inline, because
// the glyph writers call them for every lit pixel. Lanes are handled two at a time
// (red and blue in one word, green in another) with enough headroom between them that
// no lane carries into its neighbour.

// Each lane (a + b) >> 1: the floor of the mean.
inline uint32_t blendAverage(uint32_t a, uint32_t b) {
    uint32_t rb = (((a & 0xFF00FF) + (b & 0xFF00FF)) >> 1) & 0xFF00FF;
    uint32_t g = (((a & 0x00FF00) + (b & 0x00FF00)) >> 1) & 0x00FF00;
    return rb | g;
}

// Each lane (a * b) >> 8: divides by 256, so 0xFF * 0xFF gives 0xFE.
inline uint32_t blendMultiply(uint32_t a, uint32_t b) {
    uint32_t r = ((((a >> 16) & 0xFF) * ((b >> 16) & 0xFF)) >> 8) << 16;
    uint32_t g = ((((a >> 8) & 0xFF) * ((b >> 8) & 0xFF)) >> 8) << 8;
    uint32_t bl = ((a & 0xFF) * (b & 0xFF)) >> 8;
    return r | g | bl;
}

// Each lane min(a + b, 255).
inline uint32_t blendAddSaturate(uint32_t a, uint32_t b) {
    uint32_t rb = (a & 0xFF00FF) + (b & 0xFF00FF);
    uint32_t g = (a & 0x00FF00) + (b & 0x00FF00);
    // A lane that overflowed has its ninth bit set; spread it into a full 0xFF lane.
    uint32_t rbOver = rb & 0x1000100;
    uint32_t gOver = g & 0x0010000;
    rb = (rb | (rbOver - (rbOver >> 8))) & 0xFF00FF;
    g = (g | (gOver - (gOver >> 8))) & 0x00FF00;
    return rb | g;
}
