// The fixed 10 ms logic clock, the screen state machine and the drawing of one frame.
#include "shell/frame.h"

#include <SDL.h>

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
    bool wholeDue = tickDiff(now, wholePresentedAt) >= WholeFrameEveryMs;
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

void frameTick() {
    now = clockNow();
    if (!tickBefore(game.logicClock, now)) {
        // Nothing is due before the next step: wait for it, or for input before it. On
        // a still screen the steps in between change nothing, so the wait runs on to
        // the first one after which the frame would change (at most StillLookAheadMs);
        // they then run together.
        int32_t firstDue = tickAdd(game.logicClock, 1);
        int32_t wait = tickDiff(firstDue, now);
        if (frugalFrames && platformHasInputDescriptor() && stillUntilNextFrame())
            wait = msUntilFrameChanges(firstDue, StillLookAheadMs);
        // Input (or a signal) cut the wait short: its events first. Else the step is
        // due, and runs in this pass.
        if (!clockWaitForWork(static_cast<uint32_t>(wait < 1 ? 1 : wait)))
            return;
        now = clockNow();
        if (!tickBefore(game.logicClock, now))
            return;
    }
    // After a stall (the process stopped, a frozen session) the missed steps beyond
    // MaxCatchUpMs are dropped whole, and the field simply pauses for them.
    int32_t behind = tickDiff(now, game.logicClock);
    if (behind > MaxCatchUpMs)
        game.logicClock = tickAdd(game.logicClock, (behind - MaxCatchUpMs) / LogicStepMs * LogicStepMs);
    do {
        if (game.requestedScreen != game.currentScreen)
            enterScreen();
        updateScreen();
        game.logicClock = tickAdd(game.logicClock, LogicStepMs);
    } while (tickBefore(game.logicClock, now));
    drawFrame();
}
