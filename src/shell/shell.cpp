// Start-up, the resource loading order, the main loop's pass and the event pump.
#include "shell/shell.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "audio/audio.h"
#include "content/content.h"
#include "game/answers.h"
#include "game/hooks.h"
#include "game/particles.h"
#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/regions.h"
#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/platform.h"
#include "ground/settings.h"
#include "ground/startup.h"
#include "practice/fact_record.h"
#include "practice/practice_hooks.h"
#include "shell/class_progress.h"
#include "shell/command_name.h"
#include "shell/frame.h"
#include "shell/options.h"
#include "shell/progress_keeping.h"
#include "shell/screens.h"
#include "shell/settings_files.h"

void shutDown() {
    closeAudio();
    SDL_Quit();
}

// What --help prints: the options, which arguments mean a window, and the settings
// files looked for, with what became of each. Started through a launcher (./play.sh),
// the launcher's name stands in the lines and its window is the default.
static void printUsage(const std::vector<SettingsFileSeen> &files) {
    const char *name = commandName();
    printf("Usage: %s [OPTION]...\n", name);
    if (strcmp(name, "plimo") == 0)
        printf("An arithmetic drill game. Without arguments, or with --fullscreen, it takes the\n"
               "full screen; any other argument, these options included, opens a 640x480\n"
               "window instead.\n\n");
    else
        printf("An arithmetic drill game in a 640x480 window; with --fullscreen it takes the\n"
               "full screen instead.\n\n");
    printf("Options (the practice settings are for parents and teachers, all off unless\n"
           "given):\n"
           "%s\n"
           "A list given again adds to the list: --tables=7 --tables=8 practises 7 and 8.\n"
           "%sWORD turns a setting off again (%sgentle, %sround, ...);\n"
           "%stables and %saddends empty the list, so that a list given after them\n"
           "stands alone.\n\n"
           "Settings files: before the command line the game reads setting words, one a\n"
           "line (# starts a comment), from these files in this order, a later word\n"
           "adding to a list or overriding an earlier one. Their words never open a\n"
           "window, and --help, --progress and --forget belong on the command line.\n",
           optionsHelp(), OffPrefix, OffPrefix, OffPrefix, OffPrefix, OffPrefix);
    if (files.empty())
        printf("  (none: neither XDG_CONFIG_HOME nor HOME names a folder)\n");
    for (const SettingsFileSeen &file : files) {
        if (file.state == SettingsFileRefused)
            printf("  refused: %s\n", file.fault.c_str());
        else
            printf("  %s: %s\n", file.state == SettingsFileRead ? "read" : "not there", file.path.c_str());
    }
}

// Reads the settings files, then the command line word by word: options turn their
// settings on (or, as --no-WORD, off); a word starting with "--" that is no option (a
// misspelling such as --gentel) stops the program before any window, status 2, so that
// nobody believes a setting on that is not; any other word is, as it always was, a
// request for a window. A settings file that cannot be read or holds a line that is no
// setting stops the program the same way, with one line naming the file and line.
// --help prints the options and the files (status 0, or 1 when they could not be
// written); --progress and --forget, which start no game, do their work whatever the
// files hold, after naming a fault in them.
static void readCommandLine(int argc, char **argv) {
    std::vector<SettingsFileSeen> files = readSettingsFiles();
    const SettingsFileSeen *refused = nullptr;
    for (const SettingsFileSeen &file : files)
        if (!refused && file.state == SettingsFileRefused)
            refused = &file;
    // The plain words: a request for a window, or --class-progress's files.
    std::vector<std::string> plainWords;
    for (int i = 1; i < argc; i++) {
        char why[1024];
        OptionResult result = readOption(argv[i], why, sizeof why);
        if (result == NotAnOption)
            plainWords.push_back(argv[i]);
        if (result != OptionApplied && result != NotAnOption) {
            if (refused)
                reportFault("%s", refused->fault.c_str());
            reportFault("%s", why);
            exit(2);
        }
    }
    if (settings.help) {
        printUsage(files);
        exit(fflush(stdout) == 0 && !ferror(stdout) ? 0 : 1);
    }
    if (refused) {
        reportFault("%s", refused->fault.c_str());
        if (!settings.progress && !settings.forget && !settings.classProgress)
            exit(2);
    }
    // The progress record's own actions need no display: they end here.
    if (settings.classProgress)
        exit(showClassProgress(plainWords));
    if (settings.progress || settings.forget) {
        int status = settings.progress ? showProgress() : 0;
        if (settings.forget && status == 0)
            status = forgetProgress(isatty(STDIN_FILENO) ? stdin : nullptr);
        exit(status);
    }
    // What killed games left behind goes before this one keeps anything.
    if (settings.remember)
        tidyProgressRecord();
}

void keepGameInProgress() {
    if (game.currentScreen != Playing || factRecord.kept)
        return;
    factRecord.kept = true;
    gameHooks.gameEnded(GameQuit);
    keepFinishedGame();
}

int runProgram(int argc, char **argv) {
    platformPrepareProcess();
    readCommandLine(argc, argv);
    installPracticeHooks();
    // The X library ends the process with exit() when the display is lost: the game in
    // progress is kept then too. (Nothing of SDL is touched there.)
    atexit(keepGameInProgress);
    platformPrepareVideo();
    // Some SDL 1.2 implementations refuse to start at all without a sound device; the
    // game then starts without sound rather than not at all.
    platformQuietSoundLibrary(true);
    bool started = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) >= 0 || SDL_Init(SDL_INIT_VIDEO) >= 0;
    platformQuietSoundLibrary(false);
    if (!started)
        failStartup("Unable to init SDL: %s", SDL_GetError());
    platformVideoStarted();
    SDL_WM_SetCaption("Plimo", nullptr);
    // No exit handlers: when the X library ends the process on a lost display, SDL's teardown
    // there would wait on the dead connection. Every end of the program that SDL
    // survives tears down itself, in this order.
    setStartupTeardown(shutDown);

    Uint32 flags = settings.fullscreen || !settings.window ? SDL_FULLSCREEN : 0;
    screenSurface = SDL_SetVideoMode(ScreenWidth, ScreenHeight, 32, flags);
    if (!screenSurface)
        failStartup("Unable to set up video: %s", SDL_GetError());

    loadResources();
    SDL_ShowCursor(0);
    platformWindowShown((flags & SDL_FULLSCREEN) != 0);
    // Answers are read by the character a key types on the player's layout as well as
    // by its symbol (see handleGameKeyPress).
    SDL_EnableUNICODE(1);

    frameLoop.frameGapMs = platformFrameGapMs(FrameGapMs);
    platformRunMainLoop(msUntilPassHasWork, runPass, shutDown);
    return 0;
}

void loadResources() {
    freeParticles();
    clearFeedback();

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
// the releases of the held keys before the focus loss itself. (The browser sends no
// focus events; its SDL releases the held keys when the page loses the focus.)
static bool focusLossQueued() {
    SDL_Event queued[16];
    int count = platformPeekWindowEvents(queued, 16);
    for (int i = 0; i < count; i++) {
        if (focusLoss(queued[i]))
            return true;
    }
    return false;
}

// Records a press (down) or a release of key; false when it repeats the key's last
// event and so does not count. The same on every platform: a held key is one stroke.
static bool keyChanges(SDLKey key, bool down) {
    if (key <= SDLK_UNKNOWN || key >= SDLK_LAST)
        return true;
    if (keyDown[key] == down)
        return false;
    keyDown[key] = down;
    return true;
}

bool handleEvent(const SDL_Event &event) {
    // Each event is handled at its own moment.
    now = clockNow();
    switch (event.type) {
    case SDL_KEYDOWN:
        // What a key does shows at the next step, however soon after the last frame.
        frameAfterInput();
        if (keyChanges(event.key.keysym.sym, true))
            handleKeyPress(event.key.keysym.sym, event.key.keysym.unicode);
        return false;
    case SDL_KEYUP: {
        frameAfterInput();
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
        keepGameInProgress();
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
