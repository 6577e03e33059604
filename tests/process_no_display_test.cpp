// The real game started without a display and without a video driver named: it refuses
// with one line and status 1 instead of drawing in the terminal; a named driver is the
// player's choice and is kept.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "support.h"

namespace {

const char NoDisplayLine[] = "no display: set DISPLAY or run from a graphical session\n";
// Long enough for a refusal even in the sanitizer build; a game still running after it
// counts as not refused.
const int FailureTimeoutMs = 30000;
// A good start-up is well into the splash by then.
const int RunsForMs = 2500;

// Takes the display and driver settings out of this process's environment, which the game
// inherits, and puts them back afterwards.
class BareEnvironment {
  public:
    BareEnvironment() {
        for (const char *name : names) {
            const char *value = getenv(name);
            saved.push_back(value ? std::string(name) + "=" + value : std::string());
            unsetenv(name);
        }
    }
    ~BareEnvironment() {
        for (size_t i = 0; i < saved.size(); i++) {
            if (saved[i].empty())
                unsetenv(names[i]);
            else
                setenv(names[i], saved[i].substr(saved[i].find('=') + 1).c_str(), 1);
        }
    }

  private:
    static constexpr const char *names[] = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER", "TERM", "SDL_FBDEV",
                                            "XDG_RUNTIME_DIR"};
    std::vector<std::string> saved;
};

// An X display number that no server on this machine answers.
std::string absentXDisplay() {
    for (int n = 93;; n++) {
        struct stat st;
        std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
        if (stat(socket.c_str(), &st) != 0)
            return ":" + std::to_string(n);
    }
}

ProcessResult runGame(const std::vector<std::string> &env, int timeoutMs) {
    std::vector<std::string> all = {"SDL_AUDIODRIVER=dummy", "LSAN_OPTIONS=print_suppressions=0"};
    const char *leaks = getenv("LSAN_OPTIONS");
    if (leaks && *leaks)
        all[1] = std::string("LSAN_OPTIONS=") + leaks + ":print_suppressions=0";
    all.insert(all.end(), env.begin(), env.end());
    return runProcess(plimoBinary(), {"window"}, sourceDir() + "/data", all, timeoutMs);
}

} // namespace

// Each row: the settings the game starts with (nothing else about displays or drivers is
// set; the session's runtime folder is there, as a login gives it). Where a display is
// named, SDL starts and picks its fallback: the terminal on SDL 1.2, drawing nowhere on
// SDL 2 under sdl12-compat; both are refused by name.
TEST(ProcessNoDisplay, RefusedWithOneLine) {
    struct Case {
        const char *label;
        std::vector<std::string> env;
        bool namesADisplay; // refused by the driver SDL picked, after SDL started
    };
    ScratchDir runtime;
    const std::string session = "XDG_RUNTIME_DIR=" + runtime.path();
    const std::string noFramebuffer = "SDL_FBDEV=/nonexistent/fb0";
    const Case cases[] = {
        {"nothing named, in a terminal", {"TERM=xterm", noFramebuffer, session}, false},
        {"nothing named, no terminal type either", {noFramebuffer, session}, false},
        {"an X display named that is not there",
         {"DISPLAY=" + absentXDisplay(), "TERM=xterm", noFramebuffer, session},
         true},
        {"a Wayland display named that is not there",
         {"WAYLAND_DISPLAY=plimo-none", "TERM=xterm", noFramebuffer, session},
         true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        BareEnvironment bare;
        ProcessResult r = runGame(c.env, FailureTimeoutMs);
        EXPECT_FALSE(r.timedOut) << "kept running instead of refusing";
        EXPECT_EQ(1, r.exitStatus) << r.err;
        EXPECT_EQ(NoDisplayLine, r.err);
        // Refused before SDL started, nothing reached the terminal; after it started, the
        // terminal library may have set the terminal up and given it back.
        if (!c.namesADisplay) {
            EXPECT_EQ("", r.out);
        }
    }
}

// A driver the player names is used even without a display: the dummy driver starts the
// game as it does in the suite.
TEST(ProcessNoDisplay, NamedDriverIsKept) {
    BareEnvironment bare;
    ProcessResult r = runGame({"SDL_VIDEODRIVER=dummy", "SDL_FBDEV=/nonexistent/fb0"}, RunsForMs);
    EXPECT_TRUE(r.timedOut) << "ended with status " << r.exitStatus << ", stderr: " << r.err;
    EXPECT_EQ("", r.err);
}
