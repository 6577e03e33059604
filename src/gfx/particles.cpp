// The filled rounded shape and the particle bursts of solved problems.
#include "gfx/particles.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "gfx/regions.h"
#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/game_state.h"

// The float constants the shapes and bursts have always used, at their float values.
static const double HalfPi = static_cast<float>(M_PI / 2);
static const double Pi = static_cast<float>(M_PI);
static const double TwoPi = static_cast<float>(2 * M_PI);
static const double OneTenth = 0.1f;
static const double TwoTenths = 0.2f;

// Truncates toward zero like a plain conversion, but pins values beyond the int range
// to its ends instead of leaving them undefined.
static int truncToInt(double v) {
    if (!(v > INT_MIN))
        return v != v ? 0 : INT_MIN;
    if (!(v < INT_MAX))
        return INT_MAX;
    return static_cast<int>(v);
}

// The half-width factor of row offset d = i - ry of a shape with vertical radius ry:
// sqrt(cos(d * pi/2 / ry)), or 0 where the cosine is not positive (no span). Multiply
// first, divide second: the first row's cosine lands just below zero.
static double rowFactor(long long i, int ry) {
    double q = std::cos((static_cast<double>(i - ry) * HalfPi) / ry);
    return q > 0 ? std::sqrt(q) : 0.0;
}

// The row factors of the small vertical radii that particles and the highlight use,
// worked out on first use: a frame full of particles would otherwise spend most of its
// time on the same cosines. Entry [ry][i] is rowFactor(i, ry).
constexpr int CachedRadii = 32;
static double cachedFactors[CachedRadii + 1][2 * CachedRadii];
static bool factorsCached[CachedRadii + 1];

static const double *cachedRowFactors(int ry) {
    if (!factorsCached[ry]) {
        for (int i = 0; i < 2 * ry; i++)
            cachedFactors[ry][i] = rowFactor(i, ry);
        factorsCached[ry] = true;
    }
    return cachedFactors[ry];
}

void fillEllipse(int cx, int cy, int rx, int ry, uint32_t colour) {
    if (ry < 1 || rx < 1)
        return;
    if (drawPass != PaintAll) {
        // Rows cy - ry .. cy + ry - 1; a span of n <= 2 rx pixels from cx - n / 2.
        uint64_t key = 0;
        if (drawPass == Record)
            key = keyOf(keyOf(keyOf(keyOf(keyOf(FrameKeySeed ^ 0xe11, cx), cy), rx), ry), colour);
        Box box = clipBox(static_cast<long long>(cx) - rx - 1, static_cast<long long>(cy) - ry,
                          static_cast<long long>(cx) + rx + 2, static_cast<long long>(cy) + ry);
        if (!drawItem(box, key))
            return;
    }
    // Only the offsets i whose row cy + i - ry is on the screen are visited.
    long long rowOf0 = static_cast<long long>(cy) - ry;
    long long iFirst = std::max(0LL, -rowOf0);
    long long iEnd = std::min(2LL * ry, ScreenHeight - rowOf0);
    const double *factors = ry <= CachedRadii ? cachedRowFactors(ry) : nullptr;
    for (long long i = iFirst; i < iEnd; i++) {
        int row = static_cast<int>(rowOf0 + i);
        double factor = factors ? factors[i] : rowFactor(i, ry);
        long long n = static_cast<long long>(factor * rx * 2);
        long long left = cx - n / 2;
        if (left < 0) {
            n += left;
            left = 0;
        }
        if (left + n >= ScreenWidth)
            n = ScreenWidth - left;
        if (n <= 0)
            continue;
        std::fill_n(pixelRow(screenSurface, row) + left, n, colour);
    }
}

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
    // The hue follows the clock (one cycle per 1024 ms), so one burst shares nearly one
    // hue; each particle's brightness k is its own.
    uint32_t t = clockTicks() % 1024;
    double phi = static_cast<float>(t * (1.0 / 1024) * TwoPi);
    int k = rand() % 63 + 63;
    uint32_t red = static_cast<uint32_t>(k * (std::sin(phi) + 1));
    uint32_t green = static_cast<uint32_t>(k * (std::sin(phi + HalfPi) + 1));
    uint32_t blue = static_cast<uint32_t>(k * (std::sin(phi - HalfPi) + 1));
    p->colour = (red << 16) | (green << 8) | blue;
    game.particles = p;
}

void updateParticles() {
    // Culling comes first, so a particle that falls past the bottom is drawn once more.
    for (Particle **link = &game.particles; *link;) {
        Particle *p = *link;
        if (p->y > 480.0) {
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

void drawParticles() {
    for (const Particle *p = game.particles; p; p = p->next) {
        int r = truncToInt(p->radius);
        fillEllipse(truncToInt(p->x), truncToInt(p->y), r, r, p->colour);
    }
}

void freeParticles() {
    while (Particle *p = game.particles) {
        game.particles = p->next;
        delete p;
    }
}
