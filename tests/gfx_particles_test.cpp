// Tests of the filled rounded shape and of the particle bursts.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "game_helpers.h"
#include "game/particles.h"
#include "gfx/particles.h"
#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/game_state.h"
#include "support.h"

namespace {

using gametest::particleCount;

constexpr uint32_t Backdrop = 0x00203040;
constexpr uint32_t Ink = 0x00ABCDEF;

// The run of Ink pixels on one screen row: first column and length (0 when none).
struct Span {
    int first, length;
};

Span spanOnRow(int y) {
    Span s{-1, 0};
    int last = -1;
    for (int x = 0; x < ScreenWidth; x++) {
        if (pixelAt(screenSurface, x, y) == Ink) {
            if (s.first < 0)
                s.first = x;
            last = x;
            s.length++;
        }
    }
    EXPECT_TRUE(s.length == 0 || last - s.first + 1 == s.length) << "row " << y << " has a gap";
    return s;
}

int changedPixels() { return pixelsOtherThan(Backdrop); }

Particle *addParticle(float x, float y, float vx, float vy, float radius, uint32_t colour) {
    Particle *p = new Particle{x, y, vx, vy, radius, colour, game.particles};
    game.particles = p;
    return p;
}

class GfxShapes : public ::testing::Test {
  protected:
    void SetUp() override {
        startSdlForTests();
        resetGame();
        SDL_FillRect(screenSurface, nullptr, Backdrop);
    }
    void TearDown() override { resetGame(); }
};

} // namespace

TEST_F(GfxShapes, EllipseSpansAndClipping) {
    const int Any = -2; // a span whose first column is not checked
    struct Case {
        int cx, cy, rx, ry;
        int row0;                // first row of spans
        std::vector<Span> spans; // on rows row0, row0 + 1, ...
        int changed;
    } cases[] = {
        // Rows cy - 3 .. cy + 2: the first row is empty, the widest is on cy.
        {100, 200, 3, 3, 197, {{-1, 0}, {98, 4}, {98, 5}, {97, 6}, {98, 5}, {98, 4}}, 24},
        {100, 200, 1, 1, 200, {{99, 2}}, 2},
        // No radius, no shape.
        {100, 200, 0, 5, 0, {}, 0},
        {100, 200, 5, 0, 0, {}, 0},
        {100, 200, -3, 5, 0, {}, 0},
        {100, 200, 5, -3, 0, {}, 0},
        // Clipped at the left edge (each span keeps its part from column 0), at the right
        // (nothing wraps to the next row), at the top and at the bottom.
        {0, 100, 3, 3, 98, {{0, 2}, {0, 3}, {0, 3}, {0, 3}, {0, 2}}, 13},
        {639, 100, 3, 3, 98, {{637, 3}, {637, 3}, {636, 4}, {637, 3}, {637, 3}}, 16},
        {100, 1, 3, 3, 0, {{Any, 5}, {Any, 6}}, 5 + 6 + 5 + 4},
        {100, 478, 3, 3, 479, {{Any, 5}}, 4 + 5 + 6 + 5},
        // Wholly off the screen.
        {-10, 100, 3, 3, 0, {}, 0},
        {700, 100, 50, 3, 0, {}, 0},
        {100, -4, 3, 3, 0, {}, 0},
        {100, 483, 3, 3, 0, {}, 0},
        // Extreme radii stay inside the screen.
        {320, 240, INT_MAX, 2, 239, {{0, 640}, {0, 640}, {0, 640}}, 3 * 640},
        {0, 0, 5, INT_MAX, 0, {{0, 5}}, 480 * 5},
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, {}, 0},
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0, {}, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "centre " << c.cx << "," << c.cy << " radii " << c.rx << "," << c.ry);
        SDL_FillRect(screenSurface, nullptr, Backdrop);
        fillEllipse(c.cx, c.cy, c.rx, c.ry, Ink);
        for (size_t i = 0; i < c.spans.size(); i++) {
            Span s = spanOnRow(c.row0 + int(i));
            if (c.spans[i].first != Any) {
                EXPECT_EQ(c.spans[i].first, s.first) << "row " << c.row0 + i;
            }
            EXPECT_EQ(c.spans[i].length, s.length) << "row " << c.row0 + i;
        }
        EXPECT_EQ(c.changed, changedPixels());
    }
}

TEST_F(GfxShapes, BurstStartsAtTheProblemWithBoundedSizesAndColours) {
    srand(1234);
    clockSet(77777);
    for (int i = 0; i < 64; i++)
        spawnParticle(5000.0f, 100.0f);
    EXPECT_EQ(64, particleCount());
    for (const Particle *p = game.particles; p; p = p->next) {
        EXPECT_EQ(500.0f, p->x);
        EXPECT_EQ(100.0f, p->y);
        EXPECT_GE(p->radius, 3.0f);
        EXPECT_LE(p->radius, 14.56f + 1e-5f);
        EXPECT_LE(p->vx * p->vx + (p->vy + 2.0f) * (p->vy + 2.0f), 25.0f + 1e-4f);
        EXPECT_EQ(0u, p->colour >> 24);
        for (int shift : {0, 8, 16})
            EXPECT_LE((p->colour >> shift) & 0xFF, 250u);
    }
}

TEST_F(GfxShapes, SpawnDrawsFiveRandomNumbersInOrder) {
    srand(99);
    int draws[6];
    for (int &d : draws)
        d = rand();
    srand(99);
    // At a whole multiple of 1024 ms the hue angle is 0: red k, green just under 2k
    // (the float quarter turn is a hair past pi/2), blue 0.
    clockSet(1024 * 37);
    spawnParticle(1234.0f, 56.5f);
    const Particle *p = game.particles;
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(nullptr, p->next);
    EXPECT_EQ(draws[5], rand()) << "exactly five draws per particle";

    const double floatPi = static_cast<float>(M_PI);
    float angle = static_cast<float>((draws[0] % 4096) / 2048.0 * floatPi);
    EXPECT_NEAR((draws[1] % 5000) * std::sin(angle) * 0.001, p->vx, 1e-6);
    EXPECT_NEAR((draws[2] % 5000) * std::cos(angle) * 0.001 - 2.0, p->vy, 1e-6);
    float s = static_cast<float>((draws[3] % 18) * 0.2);
    EXPECT_NEAR(s * s + 3.0, p->radius, 1e-5);
    uint32_t k = uint32_t(draws[4] % 63 + 63);
    EXPECT_EQ((k << 16) | ((2 * k - 1) << 8), p->colour);
    EXPECT_NEAR(123.4, p->x, 1e-4);
    EXPECT_EQ(56.5f, p->y);

    // A quarter of the hue cycle later: red just under 2k, green just under k, blue k.
    srand(99);
    clockSet(1024 * 37 + 256);
    spawnParticle(0.0f, 0.0f);
    EXPECT_EQ(((2 * k - 1) << 16) | ((k - 1) << 8) | k, game.particles->colour);
    EXPECT_EQ(p, game.particles->next) << "new particles go first";
}

TEST_F(GfxShapes, UpdateCullsBelowTheScreenThenMovesWithTheNewVelocity) {
    Particle *d = addParticle(40.0f, 481.0f, 0, 0, 3, 1);
    Particle *c = addParticle(30.0f, 480.0f, 0.5f, 1.0f, 3, 2);
    addParticle(20.0f, 480.5f, 0, 0, 3, 3);
    Particle *a = addParticle(10.0f, 20.0f, 1.5f, -2.0f, 3, 4);
    (void)d;
    updateParticles();
    ASSERT_EQ(2, particleCount());
    EXPECT_EQ(a, game.particles);
    EXPECT_EQ(c, a->next);
    // vy first, then x, then y with the new vy.
    EXPECT_FLOAT_EQ(-1.9f, a->vy);
    EXPECT_FLOAT_EQ(11.5f, a->x);
    EXPECT_FLOAT_EQ(18.1f, a->y);
    EXPECT_FLOAT_EQ(1.1f, c->vy);
    EXPECT_FLOAT_EQ(30.5f, c->x);
    // Now below the screen, it is still there to be drawn; the next step frees it.
    EXPECT_FLOAT_EQ(481.1f, c->y);
    updateParticles();
    ASSERT_EQ(1, particleCount());
    EXPECT_EQ(a, game.particles);
    EXPECT_EQ(nullptr, a->next);
}

TEST_F(GfxShapes, VelocityGrowsByTheFloatTenthEachStep) {
    Particle *p = addParticle(0, 0, 0, 0, 3, 1);
    for (int i = 0; i < 10; i++)
        updateParticles();
    // 0.1f is slightly above 0.1, and each sum is rounded back to a float.
    EXPECT_NEAR(1.0, p->vy, 1e-6);
    EXPECT_NEAR(5.5, p->y, 1e-5);
}

TEST_F(GfxShapes, ParticlesAreDrawnTruncatedOldestOnTop) {
    // x -0.7 truncates to column 0: of the pixels (-1, 100) and (0, 100) only one shows.
    addParticle(-0.7f, 100.9f, 0, 0, 1.9f, Ink);
    drawParticles();
    EXPECT_EQ(Ink, pixelAt(screenSurface, 0, 100));
    EXPECT_EQ(1, changedPixels());

    // Two particles on one spot: the older one, drawn last, is the one seen.
    resetGame();
    SDL_FillRect(screenSurface, nullptr, Backdrop);
    addParticle(50.5f, 60.2f, 0, 0, 3.99f, 0x111111);
    addParticle(50.0f, 60.0f, 0, 0, 3.0f, 0x222222);
    drawParticles();
    EXPECT_EQ(0x111111u, pixelAt(screenSurface, 50, 60));
    EXPECT_EQ(24, changedPixels());
}

TEST_F(GfxShapes, FreeParticlesEmptiesTheList) {
    for (int i = 0; i < 10; i++)
        spawnParticle(100.0f, 100.0f);
    freeParticles();
    EXPECT_EQ(nullptr, game.particles);
    freeParticles();
    EXPECT_EQ(nullptr, game.particles);
}
