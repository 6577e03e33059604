// The descriptor of the display connection, on which keys and window events arrive.
// Kept apart because the window system's headers define names (None, Status, Bool)
// that the rest of the game uses as its own.
#include "shell/display_connection.h"

#include <SDL.h>
#include <SDL_syswm.h>

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
