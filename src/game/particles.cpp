// The particle bursts of solved problems: where they start, how they fly and fall.
#include "game/particles.h"

#include <cmath>
#include <cstdlib>

#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/game_state.h"

// The float constants the bursts have always used, at their float values.
static const double HalfPi = static_cast<float>(M_PI / 2);
static const double Pi = static_cast<float>(M_PI);
static const double TwoPi = static_cast<float>(2 * M_PI);
static const double OneTenth = 0.1f;
static const double TwoTenths = 0.2f;

// The hue of a burst follows the clock, one cycle in this many ms.
constexpr uint32_t HueCycleMs = 1024;

void spawnParticle(float x, float y) {
    Particle *p = new Particle;
    p->x = static_cast<float>(x * OneTenth);
    p->y = y;
    // 4096 directions over a full turn.
    int a = rand() % 4096;
    float angle = static_cast<float>(a * (1.0 / 2048) * Pi);
    p->vx = static_cast<float>((rand() % 5000) * std::sin(static_cast<double>(angle)) * 0.001);
    p->vy = static_cast<float>((rand() % 5000) * std::cos(static_cast<double>(angle)) * 0.001 - 2.0);
    double s = (rand() % 18) * TwoTenths;
    p->radius = static_cast<float>(s * s + 3);
    p->next = game.particles;
    // One burst shares nearly one hue; each particle's brightness k is its own.
    uint32_t t = static_cast<uint32_t>(now) % HueCycleMs;
    double phi = static_cast<float>(t * (1.0 / HueCycleMs) * TwoPi);
    int k = rand() % 63 + 63;
    uint32_t red = static_cast<uint32_t>(k * (std::sin(phi) + 1));
    uint32_t green = static_cast<uint32_t>(k * (std::sin(phi + HalfPi) + 1));
    uint32_t blue = static_cast<uint32_t>(k * (std::sin(phi - HalfPi) + 1));
    p->colour = (red << 16) | (green << 8) | blue;
    game.particles = p;
}

void burstParticles(float x, float y) {
    for (int i = 0; i < BurstParticleCount; i++)
        spawnParticle(x, y);
}

void updateParticles() {
    // Culling comes first, so a particle that falls past the bottom is drawn once more.
    for (Particle **link = &game.particles; *link;) {
        Particle *p = *link;
        if (p->y > static_cast<double>(ScreenHeight)) {
            *link = p->next;
            delete p;
        } else {
            link = &p->next;
        }
    }
    for (Particle *p = game.particles; p; p = p->next) {
        p->vy = static_cast<float>(p->vy + OneTenth);
        p->x = static_cast<float>(static_cast<double>(p->x) + p->vx);
        p->y = static_cast<float>(static_cast<double>(p->y) + p->vy);
    }
}

void freeParticles() {
    while (Particle *p = game.particles) {
        game.particles = p->next;
        delete p;
    }
}
