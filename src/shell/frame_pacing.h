// When the main loop wakes, how many logic steps a pass runs and whether it draws: one
// function of the pass's inputs, with no state of its own.
#pragma once

#include <cstdint>

// Logic time a step stands for (ms): the logic runs 100 steps a second of ticks.
constexpr int32_t LogicStepMs = 10;

// The most logic time (ms) one pass makes up: a pass that finds more steps due (after
// a stall) drops the rest, whole steps, so that the game pauses instead of jumping.
constexpr int32_t MaxCatchUpMs = 250;

// The longest the main loop waits between two frames of a game while nothing is typed
// (ms): 20 frames a second, smooth for the slow drift of a game's start (at most a pixel
// and a half a frame) and for the pulse, at a fifth of the wakes and presents of a frame
// after every step.
constexpr int32_t FrameGapMs = 50;

// The gap on the menus (ms), which only the cursor's slow swing animates: 12 frames a
// second, the cursor at most 3 pixels further each.
constexpr int32_t StillFrameGapMs = 80;

// How far the problems may drift between two frames (pixels): a fast field gets its
// frames sooner, up to one a step, so that it moves as smoothly as a slow one.
constexpr int32_t MaxDriftPerFramePx = 2;

// What a pass knows when it starts (ticks in ms, compared wrap-safe).
struct PassInputs {
    int32_t now;         // the pass's tick
    int32_t logicClock;  // the logic time of the next step to run
    int32_t nextFrameAt; // the tick from which the next frame may be drawn
    bool inputEndsWaits; // the platform's wait ends as soon as input arrives
};

// What the pass does.
struct PassPlan {
    int32_t waitMs;  // > 0: nothing is due yet; wait this long (or until input) first
    int32_t skipMs;  // logic time dropped before the steps (a stall), whole steps
    int32_t steps;   // logic steps to run now, after the skip
    bool draw;       // a frame is drawn after the steps
};

// Whether a frame may be drawn at tick now: nextFrameAt has come. A nextFrameAt further
// ahead than any gap was set before the clock was set back (tests do), and is past.
bool frameDueAt(int32_t nextFrameAt, int32_t now);

// The pass's plan. Nothing is due before the tick after logicClock; where input ends
// waits, the wait runs on to nextFrameAt, so that the steps fallen due meanwhile run
// together at the frame (the game wakes once a frame, not once a step). When something
// is due: every step whose logic time is before now, at most MaxCatchUpMs of them (the
// rest skipped, whole steps), and a frame when frameDueAt.
PassPlan planPass(const PassInputs &in);

// The gap after a frame (ms), for a longest gap of gapMs (0: a frame after every pass
// that runs a step): StillFrameGapMs on a screen only the clock animates (still), and
// on a field moving at playingSpeed tenths of a pixel a step (0 off the field) short
// enough that the problems drift at most MaxDriftPerFramePx between frames, never
// under one step; otherwise gapMs.
int32_t frameGapAfter(int32_t gapMs, bool still, int32_t playingSpeed);
