// Start-up, the resource loading order, the main loop's pass and the event pump.
#include "shell/shell.h"

#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <cstring>
#include <string>
#include <unistd.h>
#if defined(__unix__) && !defined(__EMSCRIPTEN__)
#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#endif

#include "audio/audio.h"
#include "content/content.h"
#include "game/options.h"
#include "game/particles.h"
#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/regions.h"
#include "gfx/surface.h"
#include "ground/startup.h"
#include "shell/display_connection.h"
#include "shell/frame.h"
#include "shell/screens.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>

#include "ground/clock.h"
#endif

void shutDown() {
    closeAudio();
    SDL_Quit();
}

#if defined(__unix__) && !defined(__EMSCRIPTEN__)
// Without a display, SDL 1.2 falls back to drawing in the terminal (libcaca, aalib),
// and SDL 2 under sdl12-compat to drawing nowhere (offscreen); the game cannot be played
// on either, and a player who wants one names it in SDL_VIDEODRIVER. Refused before SDL
// starts when no display is named and no console framebuffer can be opened (a terminal
// library may end the process itself), or when the display named does not answer; and
// after, by the driver's name, should SDL still pick a fallback.
static const char NoDisplay[] = "no display: set DISPLAY or run from a graphical session";

static bool driverNamed() {
    const char *driver = getenv("SDL_VIDEODRIVER");
    return driver && *driver;
}

// A display named but not answering is refused by its name before SDL starts, as SDL
// would otherwise try its fallbacks, which take over the terminal and open the sound
// device. The X display is opened through the X library SDL itself loads (when that is
// missing SDL decides) and held until SDL has its own connection: an X server whose last
// client leaves resets itself and refuses connections meanwhile. The Wayland display is
// its socket.
static void *checkedDisplay = nullptr;
static int (*closeCheckedDisplay)(void *) = nullptr;

static bool xDisplayAnswers(const char *name) {
    void *xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
    if (!xlib)
        return true;
    using OpenDisplay = void *(*)(const char *);
    auto openDisplay = reinterpret_cast<OpenDisplay>(dlsym(xlib, "XOpenDisplay"));
    closeCheckedDisplay = reinterpret_cast<int (*)(void *)>(dlsym(xlib, "XCloseDisplay"));
    if (!openDisplay || !closeCheckedDisplay)
        return true;
    checkedDisplay = openDisplay(name);
    return checkedDisplay != nullptr;
}

static void releaseCheckedDisplay() {
    if (checkedDisplay)
        closeCheckedDisplay(checkedDisplay);
    checkedDisplay = nullptr;
}

static bool waylandDisplayAnswers(const char *name) {
    std::string path = name;
    if (path[0] != '/') {
        const char *runtime = getenv("XDG_RUNTIME_DIR");
        path = std::string(runtime ? runtime : "") + "/" + path;
    }
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    memcpy(address.sun_path, path.c_str(), path.size());
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    bool answers = fd >= 0 && connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    if (fd >= 0)
        close(fd);
    return answers;
}

static void refuseWithoutDisplay() {
    if (driverNamed())
        return;
    const char *x = getenv("DISPLAY");
    const char *wayland = getenv("WAYLAND_DISPLAY");
    bool xNamed = x && *x, waylandNamed = wayland && *wayland;
    if (xNamed || waylandNamed) {
        if ((xNamed && xDisplayAnswers(x)) || (waylandNamed && waylandDisplayAnswers(wayland)))
            return;
        if (xNamed)
            failStartup("cannot open display \"%s\": is an X server running there? (or set SDL_VIDEODRIVER)", x);
        failStartup("cannot open display \"%s\": is a Wayland compositor running there? (or set SDL_VIDEODRIVER)",
                    wayland);
    }
    const char *framebuffer = getenv("SDL_FBDEV");
    if (access(framebuffer && *framebuffer ? framebuffer : "/dev/fb0", R_OK | W_OK) != 0)
        failStartup("%s", NoDisplay);
}

static void refuseFallbackDriver() {
    char name[32];
    if (driverNamed() || !SDL_VideoDriverName(name, sizeof name))
        return;
    if (strcmp(name, "caca") == 0 || strcmp(name, "aalib") == 0 || strcmp(name, "offscreen") == 0) {
        SDL_Quit(); // gives the terminal back
        failStartup("%s", NoDisplay);
    }
}
#else
static void refuseWithoutDisplay() {}
static void releaseCheckedDisplay() {}
static void refuseFallbackDriver() {}
#endif

#if defined(__unix__) && !defined(__EMSCRIPTEN__)
// A closed terminal hangs the game up. SDL turns SIGTERM (and SIGINT) into a quit
// event, so that the game ends as by its close button, audio and video closed; a hang-up
// is passed on as SIGTERM to end it the same way. One started to ignore hang-ups (nohup)
// keeps ignoring them.
static void hangUpAsTerminate(int) { raise(SIGTERM); }

static void endOnHangUp() {
    struct sigaction current;
    if (sigaction(SIGHUP, nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
        return;
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = hangUpAsTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(SIGHUP, &action, nullptr);
}
#else
static void endOnHangUp() {}
#endif

#ifdef __EMSCRIPTEN__
// The browser owns the main loop and calls this once per animation frame; nothing on
// the page may block, so a frame with no logic step due skips the pass instead of
// letting frameTick sleep (its events wait for the next frame). When the player ends
// the game, the program tears down and exit tells the page, as the process would end.
static void browserPass() {
    if (!tickBefore(game.logicClock, clockNow()))
        return;
    if (runPass()) {
        emscripten_cancel_main_loop();
        shutDown();
        exit(0);
    }
}
#endif

// What --help prints: the options, and that any other argument means a window.
static void printUsage() {
    printf("Usage: plimo [OPTION]...\n"
           "An arithmetic drill game. Without arguments, or with --fullscreen, it takes the\n"
           "full screen; any other argument, these options included, opens a 640x480\n"
           "window instead.\n\n"
           "Options (the practice settings are for parents and teachers, all off unless\n"
           "given):\n"
           "%s",
           optionsHelp());
}

// Reads the command line word by word: options turn their settings on; a word starting
// with "--" that is no option (a misspelling such as --gentel) stops the program before
// any window, status 2, so that nobody believes a setting on that is not; any other word
// is, as it always was, a request for a window. --help prints the options and ends
// (status 0, or 1 when they could not be written).
static void readCommandLine(int argc, char **argv) {
    for (int i = 1; i < argc; i++) {
        char why[160];
        OptionResult result = readOption(argv[i], why, sizeof why);
        if (result == UnknownOption || result == BadOptionValue) {
            reportFault("%s", why);
            exit(2);
        }
    }
    if (commandLine.help) {
        printUsage();
        exit(fflush(stdout) == 0 && !ferror(stdout) ? 0 : 1);
    }
}

int runProgram(int argc, char **argv) {
    readCommandLine(argc, argv);
    // Some SDL 1.2 implementations refuse to start at all without a sound device; the
    // game then starts without sound rather than not at all.
    refuseWithoutDisplay();
#if defined(__unix__) && !defined(__EMSCRIPTEN__)
    // SDL 1.2 over SDL 2 would present through OpenGL, which without a graphics card
    // costs several times the game's own work; SDL 2's software renderer shows the same
    // pixels. A choice made in the environment stands; SDL 1.2 itself ignores both.
    setenv("SDL_RENDER_DRIVER", "software", 0);
    setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
#endif
    quietSoundLibrary(true);
    bool started = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) >= 0 || SDL_Init(SDL_INIT_VIDEO) >= 0;
    quietSoundLibrary(false);
    releaseCheckedDisplay();
    if (!started)
        failStartup("Unable to init SDL: %s", SDL_GetError());
    refuseFallbackDriver();
    endOnHangUp();
    SDL_WM_SetCaption("Plimo", nullptr);
    // No exit handlers: when Xlib ends the process on a lost display, SDL's teardown
    // there would wait on the dead connection. Every end of the program that SDL
    // survives tears down itself, in this order.
    setStartupTeardown(shutDown);

    Uint32 flags = commandLine.fullscreen || !commandLine.window ? SDL_FULLSCREEN : 0;
    screenSurface = SDL_SetVideoMode(ScreenWidth, ScreenHeight, 32, flags);
    if (!screenSurface)
        failStartup("Unable to set up video: %s", SDL_GetError());

    loadResources();
    SDL_ShowCursor(0);
    displayDescriptor = displayConnectionDescriptor();
    reportHeldKeysOnce();
    if (flags & SDL_FULLSCREEN)
        fillScreenWithoutWindowManager();
    // Answers are read by the character a key types on the player's layout as well as
    // by its symbol (see handleGameKeyPress).
    SDL_EnableUNICODE(1);

#ifdef __EMSCRIPTEN__
    // Does not return: the browser runs browserPass from here on.
    emscripten_set_main_loop(browserPass, 0, 1);
#else
    while (!runPass()) {
    }
    shutDown();
#endif
    return 0;
}

void loadResources() {
    freeParticles();
    free(game.feedbackText);
    game.feedbackText = nullptr;
    game.feedbackStartedAt = 0;
    game.feedbackRising = 0;

    loadImages();
    checkFontImage();
    // A font that cannot be locked for measuring stops loading here, as it always has.
    if (!measureFont())
        return;
    loadContent();
    openAudio();
}

bool navActionForKey(SDLKey key, NavAction *action) {
    switch (key) {
    case SDLK_RETURN:
    case SDLK_SPACE:
    case SDLK_KP_ENTER:
        *action = Confirm;
        return true;
    case SDLK_ESCAPE:
        *action = Back;
        return true;
    case SDLK_UP:
    case SDLK_KP8:
        *action = Up;
        return true;
    case SDLK_DOWN:
    case SDLK_KP2:
        *action = Down;
        return true;
    case SDLK_LEFT:
    case SDLK_KP4:
        *action = Left;
        return true;
    case SDLK_RIGHT:
    case SDLK_KP6:
        *action = Right;
        return true;
    default:
        return false;
    }
}

// The keys the game has seen pressed and not yet released. One stroke is one press and
// one release: a press of a key already down is the keyboard's autorepeat, and a release
// of a key not down was pressed while another window had the focus (SDL tells of it when
// the focus leaves or comes back). Keys SDL cannot name are not followed.
static bool keyDown[SDLK_LAST];

void forgetHeldKeys() { memset(keyDown, 0, sizeof keyDown); }

static bool focusLoss(const SDL_Event &event) {
    return event.type == SDL_ACTIVEEVENT && (event.active.state & SDL_APPINPUTFOCUS) && !event.active.gain;
}

// Whether the focus is lost behind the events being handled: SDL 1.2 over SDL 2 queues
// the releases of the held keys before the focus loss itself.
static bool focusLossQueued() {
#ifdef __EMSCRIPTEN__
    return false; // the page sends no focus events; it drops repeated presses itself
#endif
    SDL_Event queued[16];
    int count = SDL_PeepEvents(queued, 16, SDL_PEEKEVENT, SDL_ACTIVEEVENTMASK);
    for (int i = 0; i < count; i++) {
        if (focusLoss(queued[i]))
            return true;
    }
    return false;
}

// Records a press (down) or a release of key; false when it repeats the key's last
// event and so does not count.
static bool keyChanges(SDLKey key, bool down) {
#ifdef __EMSCRIPTEN__
    return true; // the page drops repeated presses itself
#endif
    if (key <= SDLK_UNKNOWN || key >= SDLK_LAST)
        return true;
    if (keyDown[key] == down)
        return false;
    keyDown[key] = down;
    return true;
}

bool handleEvent(const SDL_Event &event) {
    switch (event.type) {
    case SDL_KEYDOWN:
        if (keyChanges(event.key.keysym.sym, true))
            handleKeyPress(event.key.keysym.sym, event.key.keysym.unicode);
        return false;
    case SDL_KEYUP: {
        NavAction action;
        if (!keyChanges(event.key.keysym.sym, false) || !navActionForKey(event.key.keysym.sym, &action) ||
            focusLossQueued())
            return false;
        return handleNavigation(action);
    }
    case SDL_ACTIVEEVENT:
        if (focusLoss(event))
            forgetHeldKeys();
        return false;
    case SDL_QUIT:
        return true;
    case SDL_VIDEOEXPOSE:
        // The window lost what it showed: the next frame is presented whole.
        invalidateFrame();
        return false;
    default:
        return false;
    }
}

bool runPass() {
    frameTick();
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        // Events queued behind the one that ends the program are never handled.
        if (handleEvent(event))
            return true;
    }
    return false;
}
