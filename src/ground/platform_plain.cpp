// A desktop whose window system the game does not know (built without Xlib): SDL does
// everything itself, and the game sleeps to each next step and polls its events then.
#include "ground/platform_window.h"

// SDL decides whether the display answers.
bool windowSystemOpensDisplay(const char *) { return true; }

void windowSystemReleaseDisplay() {}

int windowSystemShown(bool) { return -1; }
