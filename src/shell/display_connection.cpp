// The descriptor of the display connection, on which keys and window events arrive.
// Kept apart because the window system's headers define names (None, Status, Bool)
// that the rest of the game uses as its own.
#include "shell/display_connection.h"

#include <SDL.h>
#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11) && defined(PLIMO_HAVE_XKB)
#include <X11/XKBlib.h>
#endif

int displayConnectionDescriptor() {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display)
        return -1;
    return ConnectionNumber(info.info.x11.display);
#else
    return -1;
#endif
}

void reportHeldKeysOnce() {
#if defined(SDL_VIDEO_DRIVER_X11) && defined(PLIMO_HAVE_XKB)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display)
        return;
    // Without it the server sends a held key as a release and a press again and again,
    // which classic SDL 1.2 does not always tell from the player's own strokes. With it,
    // only the presses repeat, and SDL drops a press of a key that is already down.
    if (info.info.x11.lock_func)
        info.info.x11.lock_func();
    Bool supported = False;
    XkbSetDetectableAutoRepeat(info.info.x11.display, True, &supported);
    if (info.info.x11.unlock_func)
        info.info.x11.unlock_func();
#endif
}
