// The fixed 10 ms logic clock, the screen state machine and the drawing of one frame.
#include "shell/frame.h"

#include <SDL.h>
#include <algorithm>

#include "game/display.h"
#include "game/hooks.h"
#include "gfx/images.h"
#include "gfx/regions.h"
#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/game_state.h"
#include "ground/platform.h"
#include "shell/screens.h"

void enterScreen() {
    const ScreenRow &row = screenRow(game.requestedScreen);
    if (row.enter)
        row.enter();
    if (row.entries > 0) {
        game.menuSelection = row.firstEntry;
        game.menuItemCount = row.entries;
    }
    game.currentScreen = game.requestedScreen;
}

void updateScreen() {
    const ScreenRow &row = screenRow(game.currentScreen);
    if (row.update)
        row.update();
}

bool drawFrameContents() {
    drawBackground(backgroundPicture());
    bool mustLock = surfaceMustLock(screenSurface);
    // A frame whose surface cannot be locked is dropped whole, not presented half drawn.
    if (mustLock && SDL_LockSurface(screenSurface) < 0)
        return false;
    drawScreenOverlay();
    if (surfaceMustLock(screenSurface))
        SDL_UnlockSurface(screenSurface);
    return true;
}

bool presentsWholeFrames() { return platformSdlOverSdl2(); }

uint32_t presentedFrames = 0;
static std::vector<SDL_Rect> presented;

// When the whole screen was last presented. Another program may draw over the window
// without the window system telling the game (no expose event); where only changed
// regions are presented, such pixels would stay on a still screen for good, so the
// whole screen is drawn and presented again at least once a second.
static int32_t wholePresentedAt = 0;
const int32_t WholeFrameEveryMs = 1000;

const std::vector<SDL_Rect> &lastPresentedRegions() { return presented; }

// Presents the whole screen, or only regions when they are not null.
static void present(const std::vector<SDL_Rect> *regions) {
    presentedFrames++;
    if (!regions) {
        wholePresentedAt = now;
        SDL_UpdateRect(screenSurface, 0, 0, ScreenWidth, ScreenHeight);
        presented.assign(1, SDL_Rect{0, 0, ScreenWidth, ScreenHeight});
        return;
    }
    SDL_UpdateRects(screenSurface, static_cast<int>(regions->size()), const_cast<SDL_Rect *>(regions->data()));
    presented = *regions;
}

// The frame the plain way: everything drawn, the whole screen presented.
static void drawWholeFrame() {
    invalidateFrame();
    if (drawFrameContents())
        present(nullptr);
}

// The frame drawn and presented only where it differs from the frame on screen: the
// overlay is recorded item by item, compared with the frame on screen, and painted
// again only in the regions that changed, over the background copied there.
// When whole is set, the whole screen is presented even if nothing changed: the screen
// surface holds the frame on screen, so it needs no drawing for that.
static void drawChangedRegions(SDL_Surface *background, bool whole) {
    beginFrameRecord();
    drawScreenOverlay();
    uint64_t backgroundKey = static_cast<uint64_t>(game.currentScreen);
    if (!findDirtyRegions(background, backgroundKey)) {
        if (whole)
            present(nullptr);
        return;
    }
    if (!lockIfNeeded(screenSurface)) {
        invalidateFrame();
        return;
    }
    if (background)
        copyPictureRegions(background, dirtyRegions());
    drawScreenOverlay();
    unlockIfNeeded(screenSurface);
    present(whole || wholeScreenDirty() || presentsWholeFrames() ? nullptr : &dirtyRegions());
    commitFrame();
}

bool frugalFrames = true;

void drawFrame() {
    bool wholeDue = !platformKeepsShownPixels() && tickDiff(now, wholePresentedAt) >= WholeFrameEveryMs;
    SDL_Surface *background = backgroundPicture();
    // Regions are redrawn over a copy of the background; a picture that does not cover
    // the screen as plain rows is drawn the plain way, whole.
    if (frugalFrames && (!background || copiesPlainly(background)))
        drawChangedRegions(background, wholeDue);
    else
        drawWholeFrame();
}

// A still screen whose change is not pending: the steps before the next frame change
// nothing.
static bool stillUntilNextFrame() {
    return game.requestedScreen == game.currentScreen && screenIsStill(game.currentScreen);
}

int32_t msUntilFrameChanges(int32_t firstDue, int32_t limitMs) {
    int32_t passTick = now;
    int32_t wait = limitMs;
    for (int32_t due = firstDue; tickDiff(due, passTick) < limitMs; due = tickAdd(due, LogicStepMs)) {
        // The frame a pass at `due` would draw, recorded but not drawn.
        now = due;
        beginFrameRecord();
        drawScreenOverlay();
        uint64_t key = recordedFrameKey(backgroundPicture(), static_cast<uint64_t>(game.currentScreen));
        if (key != onScreenFrameKey()) {
            wait = tickDiff(due, passTick);
            break;
        }
    }
    now = passTick;
    return wait < 0 ? 0 : wait;
}

FrameLoop frameLoop;

void frameAfterInput() { frameLoop.nextFrameAt = now; }

int32_t currentFrameGap() {
    // The menus, which only the cursor's slow swing animates (not the game-over burst).
    bool still = stillUntilNextFrame() && !(game.currentScreen == GameOver && gameOverBurstShowing());
    return frameGapAfter(frameLoop.frameGapMs, still, game.currentScreen == Playing ? game.speed : 0);
}

// Runs steps logic steps, each with its own logic time, after skipMs of logic time
// dropped after a stall (the process stopped, a frozen session): the field simply pauses
// for them, and the game is told, so that the stall counts as no time of its own.
static void runSteps(int32_t skipMs, int32_t steps) {
    if (skipMs > 0) {
        game.logicClock = tickAdd(game.logicClock, skipMs);
        if (game.currentScreen == Playing)
            gameHooks.clockStalled(skipMs);
    }
    for (int32_t i = 0; i < steps; i++) {
        if (game.requestedScreen != game.currentScreen)
            enterScreen();
        updateScreen();
        game.logicClock = tickAdd(game.logicClock, LogicStepMs);
    }
}

static PassPlan planThisPass(bool inputEndsWaits) {
    return planPass(PassInputs{now, game.logicClock, frameLoop.nextFrameAt, inputEndsWaits});
}

// The wait (ms) a pass planned as plan begins with, > 0. On a still screen the steps in
// between change nothing, so where input ends waits the wait runs on to the first step
// after which the frame would change (at most StillLookAheadMs beyond its end).
static int32_t waitBeforeWork(const PassPlan &plan, bool inputEndsWaits) {
    if (frugalFrames && inputEndsWaits && stillUntilNextFrame())
        return msUntilFrameChanges(tickAdd(now, plan.waitMs), plan.waitMs + StillLookAheadMs);
    return plan.waitMs;
}

int32_t msUntilPassHasWork() {
    int32_t passTick = now;
    now = clockNow();
    PassPlan plan = planThisPass(true);
    int32_t wait = plan.waitMs > 0 ? waitBeforeWork(plan, true) : 0;
    now = passTick;
    return wait;
}

void frameTick() {
    now = clockNow();
    bool inputEndsWaits = platformInputEndsWaits();
    PassPlan plan = planThisPass(inputEndsWaits);
    if (plan.waitMs > 0) {
        int32_t wait = waitBeforeWork(plan, inputEndsWaits);
        bool waitedWhole = clockWaitForWork(static_cast<uint32_t>(wait < 1 ? 1 : wait));
        // Where input does not end waits the pass ends here; the next one reads the clock.
        if (!waitedWhole && !inputEndsWaits)
            return;
        now = clockNow();
        plan = planThisPass(inputEndsWaits);
        if (plan.waitMs > 0)
            return;
        // Input (or a signal) came first: the steps due before it run now, undrawn, so
        // that its events meet the game as it is at their moment.
        if (!waitedWhole)
            plan.draw = false;
    }
    runSteps(plan.skipMs, plan.steps);
    // A frame waits for its time; the steps of this pass show in it.
    if (!plan.draw)
        return;
    drawFrame();
    frameLoop.nextFrameAt = tickAdd(now, currentFrameGap());
}
