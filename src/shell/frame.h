// The fixed 10 ms logic clock, the screen state machine and the drawing of one frame.
#pragma once

#include <SDL.h>
#include <cstdint>
#include <vector>

// Logic time a step stands for (ms): the logic runs 100 steps a second of ticks.
constexpr int32_t LogicStepMs = 10;

// How far ahead (ms) a still screen's wait looks for its next changed frame: short
// enough that a language picture changed on disk still shows soon.
constexpr int32_t StillLookAheadMs = 50;

// The most logic time (ms) one pass makes up: a pass that finds more steps due (after
// a stall) drops the rest, whole steps, so that the game pauses instead of jumping.
constexpr int32_t MaxCatchUpMs = 250;

// One pass's worth of time: sets `now` from the clock, runs every due 10 ms logic step
// (at most MaxCatchUpMs of them), then draws one frame. When no step is due, it waits
// (the platform's wait for work) until the next one is, and runs it; or until input
// arrives, and returns for the events.
void frameTick();

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
// presented again, undrawn, once a second, against pixels other programs drew over the
// window): the screen shows the same pixels as after drawFrameContents and a whole
// present. Without it, drawFrameContents and a present of the whole screen.
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
