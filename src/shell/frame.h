// The fixed 10 ms logic clock, the screen state machine and the drawing of one frame.
#pragma once

#include <cstdint>

// One pass's worth of time: runs every due 10 ms logic step, then draws one frame;
// sleeps 1 ms instead when no step is due.
void frameTick();

// Applies requestedScreen: runs its entry actions, then makes it currentScreen.
void enterScreen();

// The update of currentScreen for one logic step (timeouts, the Help fade, the field).
void updateScreen();

// Draws one frame's pixels without presenting them: the background, then the screen's
// overlay inside the must-lock bracket of screenSurface. False when the lock failed;
// the frame is then dropped and must not be presented.
bool drawFrameContents();

// Draws one frame: drawFrameContents, then presentation of the whole screen.
void drawFrame();
