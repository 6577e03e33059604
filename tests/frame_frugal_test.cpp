// Frames drawn and presented only where they changed show exactly what whole frames
// show: a scripted session through every screen is played twice from the same state,
// once drawing every frame whole and once frugally, and after every pass the screen and
// what was presented to the window are compared pixel for pixel.
#include <gtest/gtest.h>

#include <SDL.h>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "frame_scenes.h"
#include "game/problems.h"
#include "gfx/particles.h"
#include "gfx/regions.h"
#include "gfx/surface.h"
#include "menu/menu.h"
#include "ground/clock.h"
#include "ground/game_state.h"
#include "shell/frame.h"
#include "shell/screens.h"
#include "shell/shell.h"
#include "support.h"

namespace {

// One pass of the session: the clock moves by advanceMs, then the keys are pressed and
// released (TypeAnswer types the leading problem's answer, TypeWrong a wrong one), then the
// pass runs.
struct Beat {
    uint32_t advanceMs;
    int key;
};

constexpr int TypeAnswer = -2;
constexpr int TypeWrong = -1;

// Pushes a press and a release of key, as a keyboard would.
void stroke(SDLKey key) {
    pushKeyDown(key);
    pushKeyUp(key);
}

// Types digits (or the sign in the sign quiz) for the leading problem.
void typeFor(bool right) {
    const Problem *leading = game.problems;
    if (!leading)
        return;
    if (game.gameMode == Sign) {
        bool plus = (leading->answer != 0) == right;
        stroke(plus ? SDLK_KP_PLUS : SDLK_KP_MINUS);
        return;
    }
    int value = abs(leading->answer);
    if (!right)
        value = (value + 1) % (leading->answerDigits == 1 ? 10 : 100);
    char digits[8];
    snprintf(digits, sizeof digits, "%0*d", leading->answerDigits, value);
    for (const char *d = digits; *d; d++)
        stroke(static_cast<SDLKey>(SDLK_0 + (*d - '0')));
}

// Appends count passes of ms each; odd lengths make passes run 0, 1 or several steps.
void idle(std::vector<Beat> &beats, int count, uint32_t ms) {
    for (int i = 0; i < count; i++)
        beats.push_back({ms + static_cast<uint32_t>(i % 3) * 4, SDLK_UNKNOWN});
}

// Every screen: splash, languages, menus, credits, help, games in two modes with right
// and wrong answers, particles, the danger picture, a lost game, the burst, play again.
std::vector<Beat> session() {
    std::vector<Beat> b;
    idle(b, 150, 7);                       // splash, then its time-out
    idle(b, 60, 9);                        // language screen: arrows swing
    b.push_back({5, SDLK_RIGHT});
    idle(b, 30, 6);
    b.push_back({5, SDLK_RIGHT});
    b.push_back({5, SDLK_LEFT});
    idle(b, 20, 11);
    b.push_back({5, SDLK_RETURN});         // main menu
    idle(b, 40, 8);
    for (int i = 0; i < 6; i++)
        b.push_back({10, SDLK_DOWN});
    b.push_back({10, SDLK_RETURN});        // credits
    idle(b, 40, 10);
    b.push_back({10, SDLK_ESCAPE});
    idle(b, 10, 10);
    b.push_back({10, SDLK_RETURN});        // addition
    b.push_back({10, SDLK_DOWN});
    b.push_back({10, SDLK_DOWN});
    b.push_back({10, SDLK_RETURN});        // the hardest difficulty, help
    idle(b, 330, 10);                      // help times out into the game
    for (int round = 0; round < 6; round++) {
        idle(b, 60, 7);
        b.push_back({3, round % 3 == 1 ? TypeWrong : TypeAnswer});
        idle(b, 30, 13);
    }
    idle(b, 1500, 10);                     // no answers: the danger picture, then the loss
    idle(b, 150, 10);                      // the burst, then the game-over menu
    b.push_back({10, SDLK_RETURN});        // play again
    idle(b, 100, 10);
    b.push_back({3, TypeAnswer});
    idle(b, 20, 10);
    b.push_back({10, SDLK_ESCAPE});        // give up: burst over the game
    idle(b, 130, 10);
    b.push_back({10, SDLK_DOWN});
    b.push_back({10, SDLK_RETURN});        // main menu
    b.push_back({10, SDLK_DOWN});
    b.push_back({10, SDLK_RETURN});        // the sign quiz
    b.push_back({10, SDLK_RETURN});
    idle(b, 50, 10);
    b.push_back({10, SDLK_RETURN});        // skip the help
    for (int round = 0; round < 4; round++) {
        idle(b, 40, 10);
        b.push_back({3, round == 2 ? TypeWrong : TypeAnswer});
    }
    idle(b, 250, 10);
    b.push_back({10, SDLK_ESCAPE});
    idle(b, 140, 10);
    return b;
}

// A quick 64-bit digest of a 32-bit picture's rows, two pixels at a time, to compare
// pixel for pixel.
uint64_t digest(const uint32_t *pixels, int pitchWords) {
    uint64_t h = 0x84222325cbf29ce4ULL;
    for (int y = 0; y < ScreenHeight; y++) {
        const uint32_t *row = pixels + static_cast<size_t>(y) * pitchWords;
        for (int x = 0; x < ScreenWidth; x += 2) {
            uint64_t pair;
            memcpy(&pair, row + x, sizeof pair);
            h = (h ^ pair) * 0x9e3779b97f4a7c15ULL;
        }
        h ^= h >> 31;
    }
    return h;
}

uint64_t screenDigest() {
    return digest(static_cast<const uint32_t *>(screenSurface->pixels), screenSurface->pitch / 4);
}

// What one run of the session left after each pass.
struct Session {
    std::vector<uint64_t> screens;   // the screen surface
    std::vector<uint64_t> windows;   // what the window shows: every present applied
    std::vector<int32_t> screenIds;  // currentScreen, to see the session went everywhere
    std::vector<uint32_t> ticks;     // the clock at each pass
    std::vector<bool> presented;     // whether the pass presented a frame
    std::vector<int32_t> gaps;       // the gap after a frame of that pass
    std::vector<bool> overPrevious;  // the pass's frame is drawn over the last one (no background)
    uint32_t presents = 0;
    long long presentedPixels = 0;
};

class FrameFrugal : public ::testing::Test {
  protected:
    void SetUp() override {
        startSdlForTests();
        resetGame();
        std::string cmd = "cp '" + sourceDir() + "/data/'*.bmp '" + sourceDir() + "/data/plimo.xml' '" +
                          dir.path() + "/'";
        ASSERT_EQ(0, system(cmd.c_str()));
        loadSceneResources();
    }
    void TearDown() override {
        frugalFrames = true;
        frameLoop.frameGapMs = 0;
        invalidateFrame();
        resetSceneState();
        releaseSceneResources();
        resetGame();
    }

    // Plays the session one way, frames at least gapMs apart; at pass capturePass, the
    // screen and the window are written as BMP files named after label, into saveDir.
    Session play(bool frugal, size_t capturePass = SIZE_MAX, const std::string &label = "", int32_t gapMs = 0) {
        Session run;
        resetSceneState();
        game.logicClock = static_cast<int32_t>(SceneTick);
        frugalFrames = frugal;
        frameLoop.frameGapMs = gapMs;
        invalidateFrame();
        std::vector<uint32_t> window(static_cast<size_t>(ScreenWidth) * ScreenHeight, 0);
        for (const Beat &beat : session()) {
            clockAdvance(beat.advanceMs);
            if (beat.key == TypeAnswer || beat.key == TypeWrong)
                typeFor(beat.key == TypeAnswer);
            else if (beat.key != SDLK_UNKNOWN)
                stroke(static_cast<SDLKey>(beat.key));
            uint32_t before = presentedFrames;
            EXPECT_FALSE(runPass());
            run.ticks.push_back(clockTicks());
            run.presented.push_back(presentedFrames != before);
            run.gaps.push_back(currentFrameGap());
            run.overPrevious.push_back(backgroundPicture() == nullptr);
            if (presentedFrames != before) {
                run.presents++;
                // The window takes the presented regions of the screen.
                for (const SDL_Rect &r : lastPresentedRegions()) {
                    run.presentedPixels += static_cast<long long>(r.w) * r.h;
                    for (int y = r.y; y < r.y + r.h; y++)
                        memcpy(&window[static_cast<size_t>(y) * ScreenWidth + r.x], &pixelAt(screenSurface, r.x, y),
                               static_cast<size_t>(r.w) * 4);
                }
            }
            if (run.screens.size() == capturePass) {
                SDL_SaveBMP(screenSurface, (saveDir + label + "-screen.bmp").c_str());
                SDL_Surface *shown = SDL_CreateRGBSurfaceFrom(window.data(), ScreenWidth, ScreenHeight, 32,
                                                              ScreenWidth * 4, 0xff0000, 0xff00, 0xff, 0);
                SDL_SaveBMP(shown, (saveDir + label + "-window.bmp").c_str());
                SDL_FreeSurface(shown);
            }
            run.screens.push_back(screenDigest());
            run.windows.push_back(digest(window.data(), ScreenWidth));
            run.screenIds.push_back(game.currentScreen);
        }
        return run;
    }

    // Where a failing comparison leaves its frames (outside the scratch folder).
    const std::string saveDir = ::testing::TempDir();

    ScratchDir dir;
};

TEST_F(FrameFrugal, EveryPassShowsWhatWholeFramesShow) {
    Session whole = play(false);
    Session frugal = play(true);
    ASSERT_EQ(whole.screens.size(), frugal.screens.size());
    EXPECT_EQ(whole.screenIds, frugal.screenIds) << "the two runs did not play the same session";
    for (int id = Splash; id <= GameOver; id++) {
        if (id == Help)
            continue; // passed through; its picture is checked like every other
        EXPECT_NE(std::find(whole.screenIds.begin(), whole.screenIds.end(), id), whole.screenIds.end())
            << "the session never reached screen " << id;
    }
    int mismatches = 0;
    size_t firstMismatch = SIZE_MAX;
    for (size_t i = 0; i < whole.screens.size() && mismatches < 5; i++) {
        if (whole.windows[i] != frugal.windows[i] || whole.screens[i] != frugal.screens[i]) {
            ADD_FAILURE() << "pass " << i << " on screen " << whole.screenIds[i]
                          << (whole.windows[i] != frugal.windows[i] ? ": the window shows other pixels"
                                                                   : ": the screen surface differs");
            firstMismatch = std::min(firstMismatch, i);
            mismatches++;
        }
    }
    if (firstMismatch != SIZE_MAX) {
        // The first differing pass, played again both ways to keep its frames.
        std::string prefix = "plimo-frugal-pass" + std::to_string(firstMismatch);
        play(false, firstMismatch, prefix + "-whole");
        play(true, firstMismatch, prefix + "-frugal");
        ADD_FAILURE() << "the frames of pass " << firstMismatch << " are in " << saveDir << prefix
                      << "-{whole,frugal}-{screen,window}.bmp";
    }
    // The whole way presents after every pass that ran a step; the frugal way skips
    // frames that change nothing and, where SDL shows regions at once, presents a
    // fraction of the pixels.
    EXPECT_LT(frugal.presents, whole.presents * 3 / 4);
    if (!presentsWholeFrames())
        EXPECT_LT(frugal.presentedPixels * 5, whole.presentedPixels);
    else
        EXPECT_EQ(frugal.presentedPixels, static_cast<long long>(frugal.presents) * ScreenWidth * ScreenHeight);
}

// Frames kept apart: the logic runs as before, every frame presented is the frame of its
// moment, none comes sooner than its gap unless a key came, what a key does shows at
// once, and the window never lags behind the moment by its gap and a step. The session's
// hardest game speeds up until the field's drift shortens the gap. The game-over burst
// is painted over the last game frame drawn, which the gap makes an earlier one: its
// passes are only timed.
TEST_F(FrameFrugal, SpacedFramesShowTheirMomentAndAreNeverLate) {
    Session whole = play(false);
    Session spaced = play(true, SIZE_MAX, "", FrameGapMs);
    ASSERT_EQ(whole.screenIds, spaced.screenIds) << "the spaced frames changed what the game did";
    const std::vector<Beat> beats = session();
    size_t lastPresent = SIZE_MAX, differing = SIZE_MAX;
    bool keySince = false;
    int32_t allowed = 0;
    size_t keyShownBy = SIZE_MAX;
    int failures = 0;
    for (size_t i = 0; i < spaced.windows.size() && failures < 5; i++) {
        if (spaced.presented[i]) {
            if (spaced.windows[i] != whole.windows[i] && !spaced.overPrevious[i])
                failures++, ADD_FAILURE() << "pass " << i << " presented another frame than its moment's";
            if (lastPresent != SIZE_MAX && !keySince &&
                static_cast<int32_t>(spaced.ticks[i] - spaced.ticks[lastPresent]) < spaced.gaps[lastPresent])
                failures++, ADD_FAILURE() << "pass " << i << " presented " << spaced.ticks[i] - spaced.ticks[lastPresent]
                                          << " ms after the last frame";
            lastPresent = i;
            keySince = false;
        }
        keySince = keySince || beats[i].key != SDLK_UNKNOWN;
        // A key is handled after its pass's frame; what it does shows within three passes.
        if (beats[i].key != SDLK_UNKNOWN && keyShownBy == SIZE_MAX)
            keyShownBy = i + 3;
        bool same = spaced.windows[i] == whole.windows[i] || spaced.overPrevious[i];
        if (same && i > keyShownBy - 3)
            keyShownBy = SIZE_MAX;
        if (i == keyShownBy)
            failures++, ADD_FAILURE() << "the key of pass " << i - 3 << " did not show at once";
        if (same) {
            differing = SIZE_MAX;
            continue;
        }
        if (differing == SIZE_MAX) {
            // The last frame drawn was at or after the last present, with its gap.
            differing = i;
            size_t from = lastPresent == SIZE_MAX ? 0 : lastPresent;
            allowed = (from < i ? *std::max_element(spaced.gaps.begin() + static_cast<long>(from),
                                                    spaced.gaps.begin() + static_cast<long>(i))
                                : StillFrameGapMs) +
                      LogicStepMs;
        }
        if (static_cast<int32_t>(spaced.ticks[i] - spaced.ticks[differing]) >= allowed)
            failures++, ADD_FAILURE() << "pass " << i << " still shows a frame older than its gap and a step";
    }
    EXPECT_LT(*std::min_element(spaced.gaps.begin(), spaced.gaps.end()), FrameGapMs) << "the field never got fast";
    Session frugal = play(true);
    EXPECT_LT(spaced.presents, frugal.presents * 3 / 5) << "the gap saved few frames";
}

TEST_F(FrameFrugal, ALostWindowIsPresentedWholeAgain) {
    resetSceneState();
    game.logicClock = static_cast<int32_t>(SceneTick);
    invalidateFrame();
    game.requestedScreen = MainMenu;
    clockAdvance(20);
    runPass();
    // The cursor stands still at the same swing: nothing to present.
    uint32_t presents = presentedFrames;
    clockAdvance(0);
    now = static_cast<int32_t>(clockTicks());
    drawFrame();
    EXPECT_EQ(presents, presentedFrames) << "an unchanged frame was presented";
    SDL_Event expose;
    memset(&expose, 0, sizeof expose);
    expose.type = SDL_VIDEOEXPOSE;
    SDL_PushEvent(&expose);
    clockAdvance(10);
    runPass(); // the event is handled after this pass's frame
    clockAdvance(10);
    runPass();
    ASSERT_GT(presentedFrames, presents);
    ASSERT_EQ(1u, lastPresentedRegions().size());
    EXPECT_EQ(ScreenWidth, lastPresentedRegions()[0].w);
    EXPECT_EQ(ScreenHeight, lastPresentedRegions()[0].h);
}

TEST_F(FrameFrugal, StillScreensWaitUntilTheirFrameWouldChange) {
    resetSceneState();
    game.requestedScreen = game.currentScreen = MainMenu;
    game.menuItemCount = 8;
    frugalFrames = true;
    // Many moments of the cursor's swing: the wait ends at the first step-due tick whose
    // cursor stands elsewhere, found here by the cursor's own rule.
    int checked = 0;
    for (uint32_t tick = SceneTick; tick < SceneTick + 900; tick += 37) {
        clockSet(tick);
        now = static_cast<int32_t>(tick);
        invalidateFrame();
        drawFrame();
        int32_t firstDue = static_cast<int32_t>(tick) + 4;
        int32_t expected = 50;
        for (int32_t due = firstDue; due - static_cast<int32_t>(tick) < 50; due += 10) {
            if (cursorOffset(due) != cursorOffset(static_cast<int32_t>(tick))) {
                expected = due - static_cast<int32_t>(tick);
                break;
            }
        }
        EXPECT_EQ(expected, msUntilFrameChanges(firstDue, 50)) << "tick " << tick;
        EXPECT_EQ(static_cast<int32_t>(tick), now) << "the look ahead left `now` moved";
        EXPECT_EQ(tick, clockTicks()) << "the look ahead left the clock held";
        checked += expected < 50;
    }
    EXPECT_GT(checked, 5) << "the cursor never moved within the look ahead";

    // A key handled after the frame changed what the screen shows: no wait beyond the
    // next step.
    clockSet(SceneTick);
    now = static_cast<int32_t>(SceneTick);
    drawFrame();
    game.menuSelection = 3;
    EXPECT_EQ(4, msUntilFrameChanges(static_cast<int32_t>(SceneTick) + 4, 50));
}

} // namespace
