// The real game started without a display, or with one named that does not answer, and
// without a video driver named: it refuses with one line and status 1 and leaves the
// terminal as it was; a named driver is the player's choice and is kept.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
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
std::string absentXDisplay(int from = 93) {
    for (int n = from;; n++) {
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

// Runs the game as runGame does, but on a pseudo-terminal that is its controlling
// terminal and its standard input, output and error: every byte it sends the terminal
// (escape sequences and title changes included) comes back, as the terminal shows
// line ends ("\r\n").
ProcessResult runOnTerminal(const std::vector<std::string> &env, int timeoutMs) {
    std::vector<std::string> all = {"SDL_AUDIODRIVER=dummy", "LSAN_OPTIONS=print_suppressions=0"};
    all.insert(all.end(), env.begin(), env.end());
    const std::string binary = plimoBinary(), data = sourceDir() + "/data";
    ProcessResult result;
    int master = -1;
    pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid < 0)
        abort();
    if (pid == 0) {
        if (chdir(data.c_str()) != 0)
            _exit(127);
        for (const std::string &e : all)
            putenv(strdup(e.c_str()));
        execl(binary.c_str(), binary.c_str(), "window", static_cast<char *>(nullptr));
        _exit(127);
    }
    // Read until the terminal's last writer is gone (EIO) or the time-out.
    for (int waited = 0;; waited += 20) {
        if (waited > timeoutMs) {
            kill(pid, SIGKILL);
            result.timedOut = true;
            break;
        }
        pollfd fd = {master, POLLIN, 0};
        if (poll(&fd, 1, 20) <= 0)
            continue;
        char buffer[4096];
        ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        result.out.append(buffer, static_cast<size_t>(n));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    close(master);
    if (!result.timedOut && WIFEXITED(status))
        result.exitStatus = WEXITSTATUS(status);
    return result;
}

} // namespace

// Each row: the settings the game starts with (nothing else about displays or drivers is
// set; the session's runtime folder is there, as a login gives it), and the one line it
// refuses with. Each is started with pipes and once more on a terminal: it refuses before
// SDL starts, so neither SDL 1.2's terminal driver nor SDL 2's offscreen one ever touches
// the terminal or opens the sound device.
TEST(ProcessNoDisplay, RefusedWithOneLine) {
    struct Case {
        const char *label;
        std::vector<std::string> env;
        std::string line;
    };
    ScratchDir runtime;
    const std::string session = "XDG_RUNTIME_DIR=" + runtime.path();
    const std::string noFramebuffer = "SDL_FBDEV=/nonexistent/fb0";
    const std::string absentX = absentXDisplay();
    const Case cases[] = {
        {"nothing named, in a terminal", {"TERM=xterm", noFramebuffer, session}, NoDisplayLine},
        {"nothing named, no terminal type either", {noFramebuffer, session}, NoDisplayLine},
        {"an X display named that is not there",
         {"DISPLAY=" + absentX, "TERM=xterm", noFramebuffer, session},
         "cannot open display \"" + absentX + "\": is an X server running there? (or set SDL_VIDEODRIVER)\n"},
        {"an X display on a host that does not exist",
         {"DISPLAY=plimo-no-such-host.invalid:0", "TERM=xterm", noFramebuffer, session},
         "cannot open display \"plimo-no-such-host.invalid:0\": is an X server running there? (or set "
         "SDL_VIDEODRIVER)\n"},
        {"a Wayland display named that is not there",
         {"WAYLAND_DISPLAY=plimo-none", "TERM=xterm", noFramebuffer, session},
         "cannot open display \"plimo-none\": is a Wayland compositor running there? (or set SDL_VIDEODRIVER)\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        BareEnvironment bare;
        ProcessResult r = runGame(c.env, FailureTimeoutMs);
        EXPECT_FALSE(r.timedOut) << "kept running instead of refusing";
        EXPECT_EQ(1, r.exitStatus) << r.err;
        EXPECT_EQ(c.line, r.err);
        EXPECT_EQ("", r.out);

        ProcessResult t = runOnTerminal(c.env, FailureTimeoutMs);
        EXPECT_EQ(1, t.exitStatus);
        std::string shown = c.line;
        shown.insert(shown.size() - 1, "\r");
        EXPECT_EQ(shown, t.out) << "the terminal got more than the line";
    }
}

// An X server that is not answering yet (starting, or resetting as one without -noreset
// does when its last client leaves) is waited for about a second before the game calls
// the display absent: a server started 200 ms after the game gets the game's window.
TEST(ProcessNoDisplay, AServerAnsweringSoonIsWaitedFor) {
    BareEnvironment bare;
    ScratchDir runtime;
    // Numbers of its own: the tests beside it (ctest -j) need theirs to stay absent.
    const std::string display = absentXDisplay(193);
    pid_t server = fork();
    ASSERT_GE(server, 0);
    if (server == 0) {
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        usleep(200 * 1000);
        execlp("Xvfb", "Xvfb", display.c_str(), "-nolisten", "tcp", "-noreset", static_cast<char *>(nullptr));
        _exit(127);
    }
    ProcessResult r = runGame({"DISPLAY=" + display, "TERM=xterm", "SDL_FBDEV=/nonexistent/fb0",
                               "XDG_RUNTIME_DIR=" + runtime.path()},
                              RunsForMs + 1000);
    kill(server, SIGTERM);
    int status = 0;
    waitpid(server, &status, 0);
    EXPECT_TRUE(r.timedOut) << "refused with status " << r.exitStatus << ": " << r.err;
    EXPECT_EQ("", r.err);
}

// A driver the player names is used even without a display: the dummy driver starts the
// game as it does in the suite.
TEST(ProcessNoDisplay, NamedDriverIsKept) {
    BareEnvironment bare;
    ProcessResult r = runGame({"SDL_VIDEODRIVER=dummy", "SDL_FBDEV=/nonexistent/fb0"}, RunsForMs);
    EXPECT_TRUE(r.timedOut) << "ended with status " << r.exitStatus << ", stderr: " << r.err;
    EXPECT_EQ("", r.err);
}
