// The X11 window system: the display check, held keys, the full screen without a window
// manager and the connection to wait on. Kept apart because the X headers define names
// (None, Status, Bool) that the rest of the game uses as its own.
#include "ground/platform_window.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "ground/platform.h"

#ifndef SDL_VIDEO_DRIVER_X11
#error "this SDL has no X11 video driver: build with platform_plain.cpp"
#endif

// The display opened by the check, held until SDL has its own connection.
static Display *checkedDisplay = nullptr;

bool windowSystemOpensDisplay(const char *name) {
    checkedDisplay = XOpenDisplay(name);
    return checkedDisplay != nullptr;
}

void windowSystemReleaseDisplay() {
    if (checkedDisplay)
        XCloseDisplay(checkedDisplay);
    checkedDisplay = nullptr;
}

// SDL's X11 connection and window, locked for our use; false (nothing locked) when the
// window is not an X11 one (the dummy driver; SDL 2 on Wayland under sdl12-compat).
static bool lockX11(SDL_SysWMinfo *info) {
    SDL_VERSION(&info->version);
    if (SDL_GetWMInfo(info) <= 0 || info->subsystem != SDL_SYSWM_X11 || !info->info.x11.display)
        return false;
    if (info->info.x11.lock_func)
        info->info.x11.lock_func();
    return true;
}

static void unlockX11(const SDL_SysWMinfo &info) {
    if (info.info.x11.unlock_func)
        info.info.x11.unlock_func();
}

// SDL 1.2 over SDL 2 scales the game to the whole X screen but leaves the resizing of
// its window to a window manager; without one the window keeps the game's size and
// shows only the top left of the scaled picture. Classic SDL 1.2 shows full screen by
// itself.
static void fillScreenWithoutWindowManager(Display *display, Window window) {
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
}

int windowSystemShown(bool fullscreen) {
    SDL_SysWMinfo info;
    // Not an X11 window: the plain way, sleeping to each next step.
    if (!lockX11(&info))
        return -1;
    Display *display = info.info.x11.display;
    // Without it the server sends a held key as a release and a press again and again,
    // which classic SDL 1.2 does not always tell from the player's own strokes. With it,
    // only the presses repeat, and the game drops a press of a key that is already down.
    Bool supported = False;
    XkbSetDetectableAutoRepeat(display, True, &supported);
    if (fullscreen && platformSdlOverSdl2())
        fillScreenWithoutWindowManager(display, info.info.x11.window);
    unlockX11(info);
    return ConnectionNumber(display);
}
