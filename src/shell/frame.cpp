// The fixed 10 ms logic clock, the screen state machine and the drawing of one frame.
#include "shell/frame.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdlib>

#include "audio/audio.h"
#include "game/answers.h"
#include "game/display.h"
#include "game/field.h"
#include "gfx/images.h"
#include "gfx/particles.h"
#include "gfx/regions.h"
#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/game_state.h"
#include "menu/menu.h"

void enterScreen() {
    switch (game.requestedScreen) {
    case Splash:
        game.screenEnteredAt = clockNow();
        playMusic(MenuMusic);
        break;
    case MainMenu:
        game.menuSelection = 0;
        game.menuItemCount = 8;
        srand(clockTicks());
        break;
    case Credits:
        game.menuSelection = 0;
        game.menuItemCount = 1;
        break;
    case Difficulty:
        // The second entry is highlighted: a new player starts one step above the easiest.
        game.menuSelection = 1;
        game.menuItemCount = 5;
        break;
    case Help:
        game.screenEnteredAt = clockNow();
        break;
    case Playing:
        enterPlaying();
        break;
    case GameOver:
        enterGameOver();
        break;
    default:
        // LanguagePick keeps the selection and the music as they are.
        break;
    }
    game.currentScreen = game.requestedScreen;
}

void updateScreen() {
    switch (game.currentScreen) {
    case Splash:
        if (tickDiff(now, game.screenEnteredAt) >= 2000)
            game.requestedScreen = LanguagePick;
        break;
    case Help: {
        // The menu music fades out over the first second of the help picture.
        int32_t elapsed = tickDiff(now, game.screenEnteredAt);
        int64_t volume = (static_cast<int64_t>(1000) - elapsed) * 128 / 1000;
        if (volume < 0)
            volume = 0;
        if (volume > 0x7fffffff)
            volume = 0x7fffffff;
        Mix_VolumeMusic(static_cast<int>(volume));
        if (elapsed >= 3000)
            game.requestedScreen = Playing;
        break;
    }
    case Playing:
        expireAnswerBlock();
        updateField();
        updateParticles();
        break;
    default:
        break;
    }
}

static void drawOverlay() {
    switch (game.currentScreen) {
    case LanguagePick:
    case MainMenu:
    case Credits:
    case Difficulty:
    case Help:
        drawMenuScreen();
        break;
    case Playing:
        drawPlaying();
        break;
    case GameOver:
        if (clockTicks() - static_cast<uint32_t>(game.screenEnteredAt) <= 1000)
            drawGameOverBurst();
        else
            drawMenuScreen();
        break;
    default:
        break;
    }
}

bool drawFrameContents() {
    drawBackground();
    bool mustLock = surfaceMustLock(screenSurface);
    // A frame whose surface cannot be locked is dropped whole, not presented half drawn.
    if (mustLock && SDL_LockSurface(screenSurface) < 0)
        return false;
    drawOverlay();
    if (surfaceMustLock(screenSurface))
        SDL_UnlockSurface(screenSurface);
    return true;
}

bool presentsWholeFrames() {
    static const bool whole = SDL_Linked_Version()->patch >= 50;
    return whole;
}

uint32_t presentedFrames = 0;
static std::vector<SDL_Rect> presented;

const std::vector<SDL_Rect> &lastPresentedRegions() { return presented; }

// Presents the whole screen, or only regions when they are not null.
static void present(const std::vector<SDL_Rect> *regions) {
    presentedFrames++;
    if (!regions) {
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
static void drawChangedRegions(SDL_Surface *background) {
    beginFrameRecord();
    drawOverlay();
    uint64_t backgroundKey = static_cast<uint64_t>(game.currentScreen);
    if (!findDirtyRegions(background, backgroundKey))
        return;
    if (!lockIfNeeded(screenSurface)) {
        invalidateFrame();
        return;
    }
    if (background)
        copyPictureRegions(background, dirtyRegions());
    drawOverlay();
    unlockIfNeeded(screenSurface);
    present(wholeScreenDirty() || presentsWholeFrames() ? nullptr : &dirtyRegions());
    commitFrame();
}

bool frugalFrames = true;

void drawFrame() {
    clockHold();
    SDL_Surface *background = backgroundPicture();
    // Regions are redrawn over a copy of the background; a picture that does not cover
    // the screen as plain rows is drawn the plain way, whole.
    if (frugalFrames && (!background || copiesPlainly(background)))
        drawChangedRegions(background);
    else
        drawWholeFrame();
    clockRelease();
}

int displayDescriptor = -1;

// Screens whose logic steps change nothing: only the clock moves what they show.
static bool screenIsStill() {
    if (game.requestedScreen != game.currentScreen)
        return false;
    switch (game.currentScreen) {
    case LanguagePick:
    case MainMenu:
    case Credits:
    case Difficulty:
    case GameOver:
        return true;
    default:
        return false;
    }
}

int32_t msUntilFrameChanges(int32_t firstDue, int32_t limitMs) {
    int32_t passTick = now;
    int32_t wait = limitMs;
    for (int32_t due = firstDue; tickDiff(due, passTick) < limitMs; due = tickAdd(due, 10)) {
        // The frame a pass at `due` would draw, recorded but not drawn.
        clockHoldAt(static_cast<uint32_t>(due));
        now = due;
        beginFrameRecord();
        drawOverlay();
        uint64_t key = recordedFrameKey(backgroundPicture(), static_cast<uint64_t>(game.currentScreen));
        if (key != onScreenFrameKey()) {
            wait = tickDiff(due, passTick);
            break;
        }
    }
    clockRelease();
    now = passTick;
    return wait < 0 ? 0 : wait;
}

void frameTick() {
    now = clockNow();
    if (!tickBefore(game.logicClock, now)) {
        // Nothing is due before the next step: wait for it, or for input before it. On
        // a still screen the steps in between change nothing, so the wait runs on to
        // the first one after which the frame would change (at most 50 ms, so that a
        // language picture changed on disk still shows soon); they then run together.
        int32_t firstDue = tickAdd(game.logicClock, 1);
        int32_t wait = tickDiff(firstDue, now);
        if (frugalFrames && displayDescriptor >= 0 && screenIsStill())
            wait = msUntilFrameChanges(firstDue, 50);
        clockWaitForInput(displayDescriptor, static_cast<uint32_t>(wait < 1 ? 1 : wait));
        return;
    }
    do {
        if (game.requestedScreen != game.currentScreen)
            enterScreen();
        updateScreen();
        game.logicClock = tickAdd(game.logicClock, 10);
    } while (tickBefore(game.logicClock, now));
    drawFrame();
}
