// The filled rounded shape, and the particles drawn with it.
#include "gfx/particles.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "gfx/regions.h"
#include "gfx/surface.h"
#include "ground/game_state.h"

// The float quarter turn the shape has always used, at its float value.
static const double HalfPi = static_cast<float>(M_PI / 2);

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
    // Rows cy - ry .. cy + ry - 1; a span of n <= 2 rx pixels from cx - n / 2.
    uint64_t key = 0;
    if (drawPass == Record)
        key = keyOf(keyOf(keyOf(keyOf(keyOf(FrameKeySeed ^ 0xe11, cx), cy), rx), ry), colour);
    DrawTarget target = drawItem(clipBox(static_cast<long long>(cx) - rx - 1, static_cast<long long>(cy) - ry,
                                         static_cast<long long>(cx) + rx + 2, static_cast<long long>(cy) + ry),
                                 key);
    if (!target)
        return;
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
        std::fill_n(target.row(row) + left, n, colour);
    }
}

void fillBox(int x0, int y0, int x1, int y1, uint32_t colour) {
    uint64_t key = 0;
    if (drawPass == Record)
        key = keyOf(keyOf(keyOf(keyOf(keyOf(FrameKeySeed ^ 0xb0c5, x0), y0), x1), y1), colour);
    Box box = clipBox(x0, y0, x1, y1);
    DrawTarget target = drawItem(box, key);
    if (!target)
        return;
    for (int row = box.y0; row < box.y1; row++)
        std::fill(target.row(row) + box.x0, target.row(row) + box.x1, colour);
}

void drawParticles() {
    for (const Particle *p = game.particles; p; p = p->next) {
        int r = truncToInt(p->radius);
        fillEllipse(truncToInt(p->x), truncToInt(p->y), r, r, p->colour);
    }
}
