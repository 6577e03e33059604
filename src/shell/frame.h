// The fixed 10 ms logic clock, the screen state machine and the drawing of one frame.
#pragma once

#include <SDL.h>
#include <cstdint>
#include <vector>

#include "shell/frame_pacing.h"

// How far ahead (ms) a still screen's wait looks for its next changed frame: short
// enough that a language picture changed on disk still shows soon.
constexpr int32_t StillLookAheadMs = 50;

// The main loop's own state beside GameState: how often frames come and when the next
// may be drawn.
struct FrameLoop {
    // The longest gap the main loop keeps between frames (ms): the program sets
    // FrameGapMs where the platform wants it; 0, the default, draws a frame after every
    // pass that runs a step.
    int32_t frameGapMs = 0;
    // The tick from which the next frame may be drawn: a gap after the last one, or at
    // once after input.
    int32_t nextFrameAt = 0;
};
extern FrameLoop frameLoop;

// One pass's worth of time: sets `now` from the clock and does what planPass says: runs
// every due 10 ms logic step (at most MaxCatchUpMs of them; the time skipped after a
// stall is told to the game, gameHooks.clockStalled), then draws one frame if the gap
// after the last one has passed (or input came since). When no step is due, it waits
// (the platform's wait for work) until the next one is, or, where input cuts waits
// short, until the next frame's time; or until input arrives, and returns for the
// events, having run the steps due by then.
void frameTick();

// For a main loop that input wakes and that waits outside the pass (the browser's): the
// ms from the clock's tick until a pass has work, the wait frameTick would begin with
// where input ends waits (a still screen's look-ahead included); 0 when it has work now.
// `now` is left as it was, so that it stays the tick of the frame on screen.
int32_t msUntilPassHasWork();

// The gap after a frame drawn now (ms): frameGapAfter for frameLoop.frameGapMs, the
// screen (the menus are still, not the game-over burst) and the field's speed.
int32_t currentFrameGap();

// Input was handled at `now`: the frame after the next step shows it, gap or not.
void frameAfterInput();

// On a screen that only the clock animates: the ms from `now` until the first pass at
// a tick firstDue + k LogicStepMs whose frame would differ from the frame on screen, or
// limitMs when none does before then. Records frames without drawing or presenting
// them; the game state and `now` are left as they were (the frame records
// of the region module are replaced, the frame on screen kept).
int32_t msUntilFrameChanges(int32_t firstDue, int32_t limitMs);

// Applies requestedScreen: runs its entry actions, then makes it currentScreen.
void enterScreen();

// The update of currentScreen for one logic step (timeouts, the Help fade, the field).
void updateScreen();

// Draws one frame's pixels without presenting them: the background, then the screen's
// overlay inside the must-lock bracket of screenSurface. False when the lock failed;
// the frame is then dropped and must not be presented.
bool drawFrameContents();

// Draws one frame at the moment `now`. With frugalFrames (the
// default), only what changed since the frame on screen is drawn and presented, and a
// frame that changed nothing is neither drawn nor presented (but for the whole screen
// presented again, undrawn, once a second where the platform does not keep the shown
// pixels, against pixels other programs drew over the window): the screen shows the
// same pixels as after drawFrameContents and a whole present. Without it,
// drawFrameContents and a present of the whole screen.
void drawFrame();

// Whether drawFrame draws and presents only what changed (tests compare both ways).
extern bool frugalFrames;

// True on SDL 1.2 over SDL 2 (sdl12-compat, versions from 1.2.50), which shows regions
// passed to SDL_UpdateRects only at a later event pump: changed frames are presented
// whole there (though still redrawn only where they changed).
bool presentsWholeFrames();

// Frames presented since start-up, and the screen regions the last one presented (the
// whole screen, or the regions that changed): what reached the window.
extern uint32_t presentedFrames;
const std::vector<SDL_Rect> &lastPresentedRegions();
