// The desktop's side of the platform, whatever its window system: the process, signals,
// the monotonic clock, the wait for work, the sound library and the main loop.
#include "ground/platform.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <SDL_mixer.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <sys/select.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include "ground/platform_window.h"
#include "ground/startup.h"

void platformPrepareProcess() {
    // Opened in order, each takes the lowest closed descriptor, so only closed ones.
    for (int fd = 0; fd <= 2; fd++) {
        if (fcntl(fd, F_GETFD) != -1)
            continue;
        int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) {
            dup2(opened, fd);
            close(opened);
        }
    }
    signal(SIGPIPE, SIG_IGN);
}

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

// The Wayland display is its socket.
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

// An X server without -noreset resets when its last client leaves and refuses
// connections for that moment; a display is only called absent after this many tries,
// this far apart (about a second in all).
static const int DisplayTries = 20;
static const uint32_t DisplayTryGapMs = 50;

void platformPrepareVideo() {
    // SDL 1.2 over SDL 2 would present through OpenGL, which without a graphics card
    // costs several times the game's own work; SDL 2's software renderer shows the same
    // pixels. A choice made in the environment stands; SDL 1.2 itself ignores both.
    setenv("SDL_RENDER_DRIVER", "software", 0);
    setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
    if (driverNamed())
        return;
    const char *x = getenv("DISPLAY");
    const char *wayland = getenv("WAYLAND_DISPLAY");
    bool xNamed = x && *x, waylandNamed = wayland && *wayland;
    if (xNamed || waylandNamed) {
        for (int attempt = 0; attempt < DisplayTries; attempt++) {
            if (attempt > 0)
                usleep(DisplayTryGapMs * 1000);
            if ((xNamed && windowSystemOpensDisplay(x)) || (waylandNamed && waylandDisplayAnswers(wayland)))
                return;
        }
        if (xNamed)
            failStartup("cannot open display \"%s\": is an X server running there? (or set SDL_VIDEODRIVER)", x);
        failStartup("cannot open display \"%s\": is a Wayland compositor running there? (or set SDL_VIDEODRIVER)",
                    wayland);
    }
    const char *framebuffer = getenv("SDL_FBDEV");
    if (access(framebuffer && *framebuffer ? framebuffer : "/dev/fb0", R_OK | W_OK) != 0)
        failStartup("%s", NoDisplay);
}

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

void platformVideoStarted() {
    windowSystemReleaseDisplay();
    char name[32];
    if (!driverNamed() && SDL_VideoDriverName(name, sizeof name) &&
        (strcmp(name, "caca") == 0 || strcmp(name, "aalib") == 0 || strcmp(name, "offscreen") == 0)) {
        SDL_Quit(); // gives the terminal back
        failStartup("%s", NoDisplay);
    }
    endOnHangUp();
}

// The display connection's descriptor, or -1 when the window system gives none.
static int inputDescriptor = -1;

void platformWindowShown(bool fullscreen) { inputDescriptor = windowSystemShown(fullscreen); }

bool platformInputEndsWaits() { return inputDescriptor >= 0; }

bool platformWaitForWork(uint32_t ms) {
    // Without a descriptor (the dummy driver, Wayland, a plain SDL) the game sleeps to
    // its next step and looks at its events then.
    if (inputDescriptor < 0) {
        SDL_Delay(ms);
        return true;
    }
    return platformWaitForDescriptor(inputDescriptor, ms);
}

bool platformWaitForDescriptor(int descriptor, uint32_t ms) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(descriptor, &readable);
    timeval timeout;
    timeout.tv_sec = static_cast<time_t>(ms / 1000);
    timeout.tv_usec = static_cast<suseconds_t>((ms % 1000) * 1000);
    // A signal cuts the wait short, which only means an early look at the events.
    return select(descriptor + 1, &readable, nullptr, nullptr, &timeout) == 0;
}

int32_t platformFrameGapMs(int32_t wantedMs) { return wantedMs; }

// SDL 1.2 counts its ticks on the wall clock (gettimeofday), so setting the date back
// would stop the game and setting it forward would run hours of steps at once. The
// counter here follows the monotonic clock instead, from SDL's own count at the first
// read (0 before SDL starts), and wraps at 2^32 ms as SDL's does.
uint32_t platformTicks() {
    static bool started = false;
    static int64_t originMs = 0;
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    int64_t ms = static_cast<int64_t>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
    if (!started) {
        originMs = ms - (SDL_WasInit(0) ? SDL_GetTicks() : 0);
        started = true;
    }
    return static_cast<uint32_t>(static_cast<uint64_t>(ms - originMs));
}

bool platformKeepsShownPixels() { return false; }

bool platformSdlOverSdl2() {
    static const bool overSdl2 = SDL_Linked_Version()->patch >= 50;
    return overSdl2;
}

bool platformMustLock(const SDL_Surface *s) { return SDL_MUSTLOCK(s); }

int platformPeekWindowEvents(SDL_Event *events, int max) {
    return SDL_PeepEvents(events, max, SDL_PEEKEVENT, SDL_ACTIVEEVENTMASK);
}

using AlsaErrorHandler = void (*)(const char *file, int line, const char *function, int error, const char *format,
                                  ...);

static void ignoreAlsaError(const char *, int, const char *, int, const char *, ...) {}

void platformQuietSoundLibrary(bool quiet) {
    // The same library SDL loads (the handler is the library's own global); kept loaded
    // for good, so that SDL unloading it between tries does not drop the handler.
    static void *alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL);
    if (!alsa)
        return;
    using SetHandler = int (*)(AlsaErrorHandler);
    auto setHandler = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (setHandler)
        setHandler(quiet ? ignoreAlsaError : nullptr);
}

void platformKeepWholeFrames(Mix_Chunk *chunk) {
    int rate = 0, channels = 0;
    Uint16 format = 0;
    if (Mix_QuerySpec(&rate, &format, &channels)) {
        Uint32 frameBytes = Uint32((format & 0xFF) / 8 * channels);
        chunk->alen -= chunk->alen % frameBytes;
    }
}

void platformCloseStream(SDL_RWops *stream) { SDL_RWclose(stream); }

void platformRunMainLoop(int32_t (*)(), bool (*pass)(), void (*end)()) {
    // Each pass waits for its own work.
    while (!pass()) {
    }
    end();
}
