// The descriptor of the display connection, on which keys and window events arrive.
#pragma once

// The file descriptor of the X11 connection the video driver reads events from, or -1
// when the driver has none (the dummy driver, the browser, another window system).
// Call after the video mode is set.
int displayConnectionDescriptor();

// Asks the X server to send a held key as one press (repeated) and one release, rather
// than as a stream of releases and presses (XKB detectable autorepeat). Nothing without
// an X11 connection. Call after the video mode is set.
void reportHeldKeysOnce();

// Full screen on SDL 1.2 over SDL 2 with no window manager: gives the window the size
// of the X screen, which SDL then fills with the game scaled. Nothing elsewhere. Call
// after a full-screen video mode is set.
void fillScreenWithoutWindowManager();
