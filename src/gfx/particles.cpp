// The filled shape and particles (not yet built).
#include "gfx/particles.h"

void fillEllipse(int, int, int, int, uint32_t) {}
void spawnParticle(float, float) {}
void updateParticles() {}
void drawParticles() {}
void freeParticles() {}
