// The filled rounded shape, and the particles drawn with it.
#pragma once

#include <cstdint>

// Fills the rounded shape centred at (cx, cy) with radii rx, ry, by clipped horizontal
// spans of plain colour. Draws nothing for ry < 1 or rx < 1.
void fillEllipse(int cx, int cy, int rx, int ry, uint32_t colour);

// Draws every particle of game.particles, newest first (older ones over newer).
void drawParticles();
