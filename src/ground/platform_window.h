// What the desktop's side of the platform asks of its window system: X11
// (platform_x11.cpp) or none that the game knows (platform_plain.cpp).
#pragma once

// Whether the X display name answers; it is then held open until
// windowSystemReleaseDisplay (an X server whose last client leaves resets itself). True
// where the game cannot ask X (SDL then decides).
bool windowSystemOpensDisplay(const char *name);
void windowSystemReleaseDisplay();

// Called once the video mode is set: the window-system work of a shown window (held
// keys as one press; on a full screen, the window given the whole screen where no
// window manager does it). Returns the descriptor on which input arrives, or -1 when
// the session gives none to wait on (Wayland, the dummy driver, a plain SDL).
int windowSystemShown(bool fullscreen);
