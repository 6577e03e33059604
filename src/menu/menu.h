// The menu screens: their drawing and the meaning of each navigation key.
#pragma once

#include "ground/game_state.h"

// The swing of the menu cursor and language arrows, 0..10 pixels, from the pass's tick.
int cursorOffset(int32_t tick);

// Draws the current menu screen's texts, cursor and (on LanguagePick) picture.
void drawMenuScreen();

// Acts on one released navigation key. True when the program is to end.
bool handleNavigation(NavAction action);
