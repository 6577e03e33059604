// The descriptor of the display connection, on which keys and window events arrive.
// Kept apart because the window system's headers define names (None, Status, Bool)
// that the rest of the game uses as its own.
#include "shell/display_connection.h"

#include <SDL.h>
#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11) && defined(PLIMO_HAVE_XKB)
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
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

void fillScreenWithoutWindowManager() {
#if defined(SDL_VIDEO_DRIVER_X11) && defined(PLIMO_HAVE_XKB)
    // SDL 1.2 over SDL 2 (from 1.2.50) scales the game to the whole X screen but leaves
    // the resizing of its window to a window manager; without one the window keeps the
    // game's size and shows only the top left of the scaled picture. Classic SDL 1.2
    // shows full screen by itself.
    if (SDL_Linked_Version()->patch < 50)
        return;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display)
        return;
    Display *display = info.info.x11.display;
    Window window = info.info.x11.window;
    if (info.info.x11.lock_func)
        info.info.x11.lock_func();
    Window root = DefaultRootWindow(display);
    // A window manager that follows the desktop conventions names itself on the root.
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, left = 0;
    unsigned char *value = nullptr;
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    bool managed = check && XGetWindowProperty(display, root, check, 0, 1, False, XA_WINDOW, &type, &format, &items,
                                               &left, &value) == Success && items > 0;
    if (value)
        XFree(value);
    XWindowAttributes shown, screen;
    if (!managed && window && XGetWindowAttributes(display, window, &shown) &&
        XGetWindowAttributes(display, root, &screen) &&
        (shown.width < screen.width || shown.height < screen.height)) {
        XMoveResizeWindow(display, window, 0, 0, static_cast<unsigned>(screen.width),
                          static_cast<unsigned>(screen.height));
        XFlush(display);
    }
    if (info.info.x11.unlock_func)
        info.info.x11.unlock_func();
#endif
}
