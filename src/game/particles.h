// The particle bursts of solved problems: where they start, how they fly and fall.
#pragma once

#include <cstdint>

// Particles in the burst of one solved problem.
constexpr int BurstParticleCount = 64;

// Prepends one particle starting at x (tenths of a pixel) and y (pixels); five rand draws.
void spawnParticle(float x, float y);

// Bursts BurstParticleCount particles from x (tenths of a pixel) and y (pixels).
void burstParticles(float x, float y);

// One Playing logic step: frees the particles that have fallen below the
// screen (y beyond ScreenHeight), then moves the rest.
void updateParticles();

// Frees every particle and empties the list.
void freeParticles();
