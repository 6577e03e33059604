// The screen surface, pixel addressing, the must-lock rule and the three pixel blends.
#pragma once

#include <SDL.h>
#include <cstdint>

// Fixed clip bounds of every pixel writer, in pixels.
constexpr int ScreenWidth = 640;
constexpr int ScreenHeight = 480;

// The 640x480, 32-bit video surface; owned by SDL, never freed by the program.
extern SDL_Surface *screenSurface;

// SDL 1.2's must-lock rule: a pixel offset or a hardware, async-blit or RLE surface.
inline bool surfaceMustLock(const SDL_Surface *s) {
    return s->offset != 0 || (s->flags & (SDL_HWSURFACE | SDL_ASYNCBLIT | SDL_RLEACCEL)) != 0;
}

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

// Per 8-bit lane of bits 0..23, top byte of the result 0.
uint32_t blendAverage(uint32_t a, uint32_t b);     // (a + b) >> 1
uint32_t blendMultiply(uint32_t a, uint32_t b);    // (a * b) >> 8
uint32_t blendAddSaturate(uint32_t a, uint32_t b); // min(a + b, 255)
