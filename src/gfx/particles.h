// The filled rounded shape and the particle bursts of solved problems.
#pragma once

#include <cstdint>

// One burst particle; heap record in the particles list of GameState, newest first.
struct Particle {
    float x;         // horizontal position, pixels
    float y;         // vertical position, pixels, growing downwards
    float vx;        // pixels per 10 ms logic step
    float vy;        // pixels per logic step, negative is upwards
    float radius;    // drawn size, pixels
    uint32_t colour; // 0x00RRGGBB
    Particle *next;  // the next, older particle
};

// Fills the rounded shape centred at (cx, cy) with radii rx, ry, by clipped horizontal
// spans of plain colour. Draws nothing for ry < 1 or rx < 1.
void fillEllipse(int cx, int cy, int rx, int ry, uint32_t colour);

// Prepends one particle starting at x (tenths of a pixel) and y (pixels); five rand draws.
void spawnParticle(float x, float y);

// One Playing logic step: frees particles below row 480.0, then moves the rest.
void updateParticles();

// Draws every particle, newest first.
void drawParticles();

// Frees every particle and empties the list.
void freeParticles();
