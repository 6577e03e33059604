// The filled shapes (rounded, and plain boxes), and the particles drawn with them.
#pragma once

#include <cstdint>

// Fills the rounded shape centred at (cx, cy) with radii rx, ry, by clipped horizontal
// spans of plain colour. Draws nothing for ry < 1 or rx < 1.
void fillEllipse(int cx, int cy, int rx, int ry, uint32_t colour);

// Fills the box of columns x0 .. x1 - 1 and rows y0 .. y1 - 1 (clipped to the screen)
// with plain colour: the panels behind a shown fact and the pause picture.
void fillBox(int x0, int y0, int x1, int y1, uint32_t colour);

// Draws every particle of game.particles, newest first (older ones over newer).
void drawParticles();
