// The in-game picture and the end of a game: the answer prompt, the feedback text's
// path (and that it never comes back), the highlight, the score, the game-over entry
// and the growing burst, checked in the screen's pixels where they end up.
#include <gtest/gtest.h>

#include <SDL_mixer.h>
#include <cstring>
#include <string>

#include "game/answers.h"
#include "game/display.h"
#include "game/particles.h"
#include "game/problems.h"
#include "game_helpers.h"
#include "gfx/images.h"
#include "gfx/particles.h"
#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/game_state.h"
#include "shell/frame.h"
#include "shell/shell.h"
#include "support.h"

namespace {

using namespace gametest;

const uint32_t Red = 0x9f0000;

class GameDisplay : public ::testing::Test {
  protected:
    void SetUp() override {
        startSdlForTests();
        resetGame();
        installTestFont();
        game.currentScreen = Playing;
        game.requestedScreen = Playing;
        game.gameMode = Addition;
        game.speed = 1;
        clockSet(80000);
        now = 0; // sin(0): the highlight at its middle size, radii 40 and 20
        SDL_FillRect(screenSurface, nullptr, 0);
    }
    void TearDown() override { resetGame(); }

    static std::string prompt() {
        char text[32];
        return formatPrompt(text, sizeof text) ? std::string(text) : std::string("(none)");
    }

    static uint32_t pixel(int x, int y) { return pixelAt(screenSurface, x, y) & 0xFFFFFF; }

    // True when any pixel of the rectangle differs from colour.
    static bool anyOtherThan(int x0, int y0, int x1, int y1, uint32_t colour) {
        for (int y = y0; y <= y1; y++)
            for (int x = x0; x <= x1; x++)
                if (pixel(x, y) != colour)
                    return true;
        return false;
    }

    static bool anyPixel(uint32_t colour) { return anyOtherThan(0, 0, 639, 479, colour) == false; }
};

TEST_F(GameDisplay, PromptShowsTypedDigitsAndUnderscores) {
    EXPECT_EQ(prompt(), "(none)") << "no prompt on an empty field";
    addProblem("4 * 6", 24, 2, 4000, 0);
    addProblem("9 * 9", 81, 2, 5000, 20);
    EXPECT_EQ(prompt(), " __");
    handleGameKey(SDLK_2);
    EXPECT_EQ(prompt(), " 2_");
    handleGameKey(SDLK_2); // wrong: 22
    EXPECT_EQ(prompt(), "(none)") << "hidden while blocked";
    clockAdvance(500);
    EXPECT_EQ(prompt(), " __");
    handleGameKey(SDLK_0);
    EXPECT_EQ(prompt(), " 0_") << "a typed 0 shows";

    resetGame();
    addProblem("19 * 19", 361, 3, 4000, 0);
    EXPECT_EQ(prompt(), " ___");
    game.typedValue = 36;
    game.typedDigits = 2;
    EXPECT_EQ(prompt(), " 36_");

    resetGame();
    addProblem("3 - 27", -24, 2, 4000, 0); // the sign slot shows a minus, never replaced
    EXPECT_EQ(prompt(), "-__");

    resetGame();
    game.gameMode = Sign;
    addProblem("3 - 9", 0, 1, 4000, 0);
    addProblem("3 - 9", 0, 1, 4000, 20);
    EXPECT_EQ(prompt(), "_");
    game.typedValue = 7; // whatever is typed, a single underscore
    game.typedDigits = 1;
    EXPECT_EQ(prompt(), "_");
    handleGameKey(SDLK_PLUS);
    EXPECT_EQ(prompt(), "(none)");
    clockAdvance(1999);
    EXPECT_EQ(prompt(), "(none)");
    clockAdvance(1);
    EXPECT_EQ(prompt(), "_");
}

TEST_F(GameDisplay, PromptIsDrawnBigAtItsPlaceAndNotWhileBlocked) {
    addProblem("4 * 6", 24, 2, 4000, 0);
    drawPlaying();
    // " __" in big text: the space moves the pen 4 pixels, ink from (314, 422).
    EXPECT_FALSE(anyOtherThan(300, 415, 313, 479, 0));
    EXPECT_NE(pixel(314, 422), 0u);
    EXPECT_NE(pixel(314 + 10, 433), 0u);

    game.inputBlockedUntil = 80001;
    SDL_FillRect(screenSurface, nullptr, 0);
    drawPlaying();
    EXPECT_FALSE(anyOtherThan(300, 415, 400, 479, 0));
}

TEST_F(GameDisplay, FeedbackPathMatchesTheTable) {
    const int rising[] = {400, 390, 360, 310, 240, 150, 40, -90};
    const int tossed[] = {400, 370, 360, 370, 400, 450, 520, 610};
    for (int i = 0; i < 8; i++) {
        EXPECT_EQ(400 + feedbackOffset(100 * i, true), rising[i]) << 100 * i << " ms";
        EXPECT_EQ(400 + feedbackOffset(100 * i, false), tossed[i]) << 100 * i << " ms";
    }
    // Truncation toward zero in the toss: e = 10 gives (1 - 40) / 10 = -3.
    EXPECT_EQ(feedbackOffset(10, false), -3);
    EXPECT_EQ(feedbackOffset(31, true), 0);

    // Drawn only while on the screen: 8-pixel cells make a 16-pixel big line.
    game.feedbackText = strdup("42");
    game.feedbackStartedAt = 80000;
    int32_t top = 0;
    for (int i = 0; i < 8; i++) {
        game.feedbackRising = 1;
        bool shown = feedbackTop(80000 + 100 * i, &top);
        EXPECT_EQ(shown, rising[i] >= -16) << 100 * i << " ms";
        if (shown) {
            EXPECT_EQ(top, rising[i]);
        }
        game.feedbackRising = 0;
        shown = feedbackTop(80000 + 100 * i, &top);
        EXPECT_EQ(shown, tossed[i] <= 479) << 100 * i << " ms";
        if (shown) {
            EXPECT_EQ(top, tossed[i]);
        }
    }

    // And in pixels: the tossed "42" at 300 ms has its top ink row at 370 + 2.
    game.feedbackStartedAt = 79700;
    clockSet(80000);
    drawPlaying();
    EXPECT_FALSE(anyOtherThan(320, 360, 360, 371, 0));
    EXPECT_NE(pixel(320, 372), 0u);
}

TEST_F(GameDisplay, FeedbackNeverComesBack) {
    game.feedbackText = strdup("7");
    const uint32_t starts[] = {1000u, 0x7FFFFF00u, 0xFFFFFF00u};
    for (uint32_t start : starts) {
        game.feedbackStartedAt = int32_t(start);
        for (int rising : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "start " << start << " rising " << rising);
            game.feedbackRising = rising;
            int32_t top;
            uint32_t lastShown = 0;
            for (uint32_t e = 0; e <= 3000000; e++)
                if (feedbackTop(start + e, &top))
                    lastShown = e;
            // Gone for good within a second: up past the top or down past the bottom.
            EXPECT_LT(lastShown, 1000u);
            EXPECT_GT(lastShown, 400u);
            for (uint64_t e : {60000ull, 46341ull, 92682ull, 0x7FFFFFFFull, 0x80000000ull,
                               0x80000001ull, 3037000500ull, 0xC0000000ull, 0xFFFFFFFEull,
                               0xFFFFFFFFull}) {
                EXPECT_FALSE(feedbackTop(uint32_t(start + e), &top)) << e << " ms";
            }
        }
    }
    // The 64-bit offset itself keeps its sign and size far out.
    EXPECT_LT(feedbackOffset(0xFFFFFFFFll, true), -1000000000ll);
    EXPECT_GT(feedbackOffset(0xFFFFFFFFll, false), 1000000000ll);

    // A minute later nothing but the score is drawn.
    game.feedbackStartedAt = 80000;
    clockSet(80000 + 60000);
    drawPlaying();
    EXPECT_FALSE(anyOtherThan(0, 20, 639, 479, 0));
}

TEST_F(GameDisplay, HighlightPulsesBehindTheLeadingProblemWhichStaysOnTop) {
    // "7 + 5" at (200, 100): the highlight is centred at (200 + 6 x 5, 114).
    addProblem("7 + 5", 12, 2, 2000, 100);
    addProblem("1 + 1", 2, 1, 2100, 110); // lies under the highlight
    drawPlaying();
    const int cx = 230, cy = 114;
    // The leading problem's ink, averaged over the highlight, is on top of it.
    EXPECT_EQ(pixel(207, 101), blendAverage(0xFFFFFF, Red)); // the "+"
    // The second problem's text is covered.
    EXPECT_FALSE(anyOtherThan(210, 111, 214, 116, Red));

    // Middle (T = 0), peak (137 ms) and trough (410 ms) of the pulse: the widest row
    // spans 2 rx pixels from cx - rx, the rows run from cy - (ry - 1) to cy + ry - 1.
    const struct {
        int32_t t, rx, ry;
    } pulse[] = {{0, 40, 20}, {137, 47, 23}, {410, 33, 17}};
    for (const auto &c : pulse) {
        SCOPED_TRACE(c.t);
        now = c.t;
        SDL_FillRect(screenSurface, nullptr, 0);
        drawPlaying();
        EXPECT_EQ(pixel(cx - c.rx, cy), Red);
        EXPECT_EQ(pixel(cx + c.rx - 1, cy), Red);
        EXPECT_EQ(pixel(cx - c.rx - 1, cy), 0u);
        EXPECT_EQ(pixel(cx + c.rx, cy), 0u);
        EXPECT_EQ(pixel(cx, cy - c.ry + 1), Red);
        EXPECT_EQ(pixel(cx, cy + c.ry - 1), Red);
        EXPECT_EQ(pixel(cx, cy - c.ry), 0u);
        EXPECT_EQ(pixel(cx, cy + c.ry), 0u);
    }
}

TEST_F(GameDisplay, ScoreIsRightAlignedInFiveAndLongerInFull) {
    // Leftmost ink column of the top text row.
    auto firstInk = []() {
        for (int x = 0; x < 640; x++)
            for (int y = 0; y < 10; y++)
                if (pixel(x, y) != 0)
                    return x;
        return -1;
    };
    game.score = 7;
    drawPlaying();
    EXPECT_EQ(firstInk(), 8) << "four spaces of 2 pixels before the digit";
    game.score = 12345;
    SDL_FillRect(screenSurface, nullptr, 0);
    drawPlaying();
    EXPECT_EQ(firstInk(), 0);
    game.score = 1234567;
    SDL_FillRect(screenSurface, nullptr, 0);
    drawPlaying();
    EXPECT_EQ(firstInk(), 0);
    EXPECT_NE(pixel(6 * 5 + 1, 3), 0u) << "the seventh digit is drawn";
}

TEST_F(GameDisplay, ParticlesAreDrawnLastOverEverything) {
    addProblem("7 + 5", 12, 2, 2000, 100);
    spawnParticle(2300.0f, 114.0f); // over the highlight
    game.particles->vx = game.particles->vy = 0;
    game.particles->radius = 5;
    game.particles->colour = 0x00FF00;
    drawPlaying();
    EXPECT_EQ(pixel(230, 114), 0x00FF00u);
    EXPECT_EQ(pixel(236, 114), Red);
}

TEST_F(GameDisplay, EnterGameOverCentresTheBurstAndEmptiesTheField) {
    bool audio = startTestAudio();
    Mix_HaltChannel(-1);
    addProblem("12 * 12", 144, 3, 3456, 200);
    addProblem("1 + 1", 2, 1, 5000, 20);
    for (int i = 0; i < 10; i++)
        spawnParticle(1000.0f, 100.0f);
    game.score = 321;
    game.speed = 4;
    game.feedbackText = strdup("144");
    game.menuSelection = 1;
    clockSet(90000);
    game.requestedScreen = GameOver;
    enterScreen();
    EXPECT_EQ(game.screenEnteredAt, 90000);
    EXPECT_EQ(game.burstX, 345 + 6 * 7);
    EXPECT_EQ(game.burstY, 214);
    EXPECT_EQ(game.problems, nullptr);
    EXPECT_EQ(game.particles, nullptr);
    EXPECT_EQ(game.menuSelection, 0);
    EXPECT_EQ(game.menuItemCount, 2);
    // Left for the game-over menu and the next game.
    EXPECT_EQ(game.score, 321);
    EXPECT_EQ(game.speed, 4);
    ASSERT_NE(game.feedbackText, nullptr);
    EXPECT_STREQ(game.feedbackText, "144");
    if (audio) {
        EXPECT_TRUE(soundPlaying(SoundFailed));
    }

    // A negative x rounds toward zero: -15 tenths is pixel -1.
    resetGame();
    addProblem("2 + 2", 4, 1, -15, 0);
    enterGameOver();
    EXPECT_EQ(game.burstX, -1 + 30);
    EXPECT_EQ(game.burstY, 14);
}

TEST_F(GameDisplay, EscapeOnAnEmptyFieldBurstsFromTheCentre) {
    game.logicClock = 100000;
    game.burstX = game.burstY = 7;
    clockSet(99000);
    pushKeyStroke(SDLK_ESCAPE);
    runPass();
    EXPECT_EQ(game.requestedScreen, GameOver);
    clockSet(100001);
    runPass();
    EXPECT_EQ(game.currentScreen, GameOver);
    EXPECT_EQ(game.burstX, 320);
    EXPECT_EQ(game.burstY, 240);
    EXPECT_EQ(game.screenEnteredAt, 100001);
}

TEST_F(GameDisplay, BurstGrowsWithTheCubeOfTime) {
    const uint32_t times[] = {0, 99, 100, 199, 200, 500, 800, 1000};
    const int32_t radii[] = {0, 0, 1, 7, 8, 125, 512, 1000};
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(burstRadius(times[i]), radii[i]) << times[i] << " ms";

    // Nothing during the first 99 ms: the last game frame stays as it was. Then a disc
    // of that radius, also when the counter wrapped since GameOver began; at 1000 ms it
    // covers the screen.
    const struct {
        uint32_t entered, now;
        int cx, cy, radius;
    } frames[] = {{90000, 90099, 320, 240, 0},      {90000, 90100, 320, 240, 1},
                  {90000, 90500, 320, 240, 125},    {0xFFFFFF00u, 0xF4u, 300, 100, 125},
                  {90000, 91000, 320, 240, 1000}};
    for (const auto &f : frames) {
        SCOPED_TRACE(testing::Message() << f.entered << " to " << f.now);
        game.burstX = f.cx;
        game.burstY = f.cy;
        game.screenEnteredAt = int32_t(f.entered);
        SDL_FillRect(screenSurface, nullptr, 0x123456);
        clockSet(f.now);
        drawGameOverBurst();
        if (f.radius == 0) {
            EXPECT_FALSE(anyOtherThan(0, 0, 639, 479, 0x123456));
        } else if (f.radius >= 1000) {
            EXPECT_TRUE(anyPixel(Red));
        } else {
            EXPECT_EQ(pixel(f.cx - f.radius, f.cy), Red);
            EXPECT_EQ(pixel(f.cx + f.radius - 1, f.cy), Red);
            EXPECT_EQ(pixel(f.cx - f.radius - 1, f.cy), 0x123456u);
            EXPECT_EQ(pixel(f.cx + f.radius, f.cy), 0x123456u);
            if (f.cy >= f.radius) {
                EXPECT_EQ(pixel(f.cx, f.cy - f.radius), 0x123456u);
            }
        }
    }
}

} // namespace
