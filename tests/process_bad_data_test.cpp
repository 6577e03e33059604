// Bad data files, each tried on the real game as a process in a copy of the data folder:
// the game either refuses to start with one line naming the culprit and status 1, or
// keeps running (silently, where a piece is optional); it never crashes or hangs. The
// content file's faults are tried on small files in content_test.cpp, missing pictures and
// fonts that cannot hold their cells in gfx_startup_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support.h"

namespace {

const char *const startupPictures[] = {"splash.bmp",      "menubg.bmp",         "help_plusminus.bmp",
                                       "help.bmp",        "ingame_neutral.bmp", "ingame_good.bmp",
                                       "ingame_bad.bmp",  "font_32.bmp"};

const char *const audioFiles[] = {"menu.ogg",  "ingame1.ogg",  "menuselect.wav", "menumove.wav", "failed.wav",
                                  "wrong.wav", "correct.wav", "cleared.wav",    "typing.wav"};

// Long enough for a failing start-up even in the sanitizer build; a game still running
// after it counts as a hang.
const int FailureTimeoutMs = 30000;
// A good start-up is well into the splash by then.
const int RunsForMs = 2500;

std::string readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The sanitizer build's suppressed leaks (SDL's own) are reported quietly, so that the
// one line of a refused start-up stays the only line.
std::string quietLeakOptions() {
    const char *current = getenv("LSAN_OPTIONS");
    std::string options = current && *current ? std::string(current) + ":" : std::string();
    return "LSAN_OPTIONS=" + options + "print_suppressions=0";
}

// A copy of the game's data folder as the working directory of one run.
class DataCopy {
  public:
    DataCopy() {
        std::string cmd = "cp -r '" + sourceDir() + "/data/.' '" + dir.path() + "'";
        if (system(cmd.c_str()) != 0)
            ADD_FAILURE() << "could not copy the data folder";
    }
    std::string path(const std::string &name) const { return dir.path() + "/" + name; }
    void remove(const std::string &name) const { EXPECT_EQ(0, ::remove(path(name).c_str())) << name; }
    void write(const std::string &name, const std::string &bytes) const { dir.write(name, bytes); }
    std::string read(const std::string &name) const { return readFile(path(name)); }

    // audio: the sound settings ("SDL_AUDIODRIVER=dummy" and the like).
    ProcessResult run(int timeoutMs, const std::vector<std::string> &audio = {"SDL_AUDIODRIVER=dummy"}) const {
        std::vector<std::string> env = {"SDL_VIDEODRIVER=dummy", quietLeakOptions()};
        env.insert(env.end(), audio.begin(), audio.end());
        return runProcess(plimoBinary(), {"window"}, dir.path(), env, timeoutMs);
    }
    // The game sent the signal (TERM, HUP) afterMs after its start, by timeout(1), which
    // ends with the game's own status.
    ProcessResult runSignalled(const std::string &signal, int afterMs) const {
        return runProcess("/usr/bin/timeout",
                          {"--preserve-status", "-s", signal, std::to_string(afterMs / 1000.0), plimoBinary(), "window"},
                          dir.path(), {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy", quietLeakOptions()},
                          FailureTimeoutMs);
    }

  private:
    ScratchDir dir;
};

// Refused: status 1 at once, nothing on standard output, exactly one line on standard
// error that starts with the culprit's file name and gives a reason after it.
void expectRefused(const std::string &label, const ProcessResult &r, const std::string &culprit) {
    SCOPED_TRACE(label);
    EXPECT_FALSE(r.timedOut) << "hung instead of refusing";
    EXPECT_EQ(1, r.exitStatus) << "stderr: " << r.err;
    EXPECT_EQ("", r.out);
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(1, std::count(r.err.begin(), r.err.end(), '\n')) << r.err;
    EXPECT_EQ('\n', r.err.back());
    EXPECT_EQ(0u, r.err.rfind(culprit + ": ", 0)) << r.err;
    EXPECT_GT(r.err.size(), culprit.size() + 3) << "no reason given: " << r.err;
}

// Runs: still going when killed after the time-out, nothing on standard output and,
// unless the case is about sound, nothing on standard error either; soundLines > 0 asks
// for exactly that many lines (the sound library's own lines are not the game's).
void expectRuns(const std::string &label, const ProcessResult &r, bool soundCase = false, int soundLines = 0) {
    SCOPED_TRACE(label);
    EXPECT_TRUE(r.timedOut) << "ended with status " << r.exitStatus << ", stderr: " << r.err;
    EXPECT_EQ("", r.out);
    if (!soundCase) {
        EXPECT_EQ("", r.err);
        return;
    }
    if (soundLines > 0) {
        EXPECT_EQ(soundLines, std::count(r.err.begin(), r.err.end(), '\n')) << r.err;
    }
    // The audio may say what stays silent, a line per missing piece, and nothing else.
    std::istringstream lines(r.err);
    for (std::string line; std::getline(lines, line);) {
        bool aboutSound = line.rfind("no sound", 0) == 0 || line.find(".wav: ") != std::string::npos ||
                          line.find(".ogg: ") != std::string::npos;
        EXPECT_TRUE(aboutSound) << line;
    }
}

} // namespace

// Each of the eight start-up pictures not a BMP at all (a PNG under the BMP's name, an
// empty file): refused, naming the picture.
TEST(ProcessBadPictures, EachUnreadablePictureIsNamed) {
    for (const char *picture : startupPictures) {
        for (bool png : {true, false}) {
            DataCopy data;
            data.write(picture, png ? data.read("icon.png") : "");
            expectRefused(std::string(picture) + (png ? " is a PNG" : " empty"), data.run(FailureTimeoutMs),
                          picture);
        }
    }
}

// A BMP whose header claims a bit depth SDL 1.2 cannot hold (4100 or 8193 bits: the
// loader keeps only the low byte and makes a paletted surface without a palette, which
// the conversion to the screen's format trips over): refused like any unreadable picture.
TEST(ProcessBadPictures, ImpossibleBitDepthIsNamed) {
    for (const char *picture : {"splash.bmp", "ingame_bad.bmp", "font_32.bmp"}) {
        for (int bits : {4100, 8193}) {
            DataCopy data;
            std::string bmp = data.read(picture);
            ASSERT_GT(bmp.size(), 30u);
            bmp[28] = char(bits & 0xFF);
            bmp[29] = char(bits >> 8);
            data.write(picture, bmp);
            expectRefused(std::string(picture) + " claiming " + std::to_string(bits) + " bits per pixel",
                          data.run(FailureTimeoutMs), picture);
        }
    }
}

// The font picture cut short in its header or in its pixels.
TEST(ProcessBadFont, TruncatedFontIsNamed) {
    for (size_t keep : {size_t(30), size_t(54), size_t(1000), size_t(0)}) {
        DataCopy data;
        std::string font = data.read("font_32.bmp");
        data.write("font_32.bmp", font.substr(0, keep ? keep : font.size() / 2));
        expectRefused("font cut to " + std::to_string(keep ? keep : font.size() / 2) + " bytes",
                      data.run(FailureTimeoutMs), "font_32.bmp");
    }
}

// Pieces the game can do without, and content that is odd but usable: it starts and keeps
// running. The cases run side by side, as each only waits for its time-out.
TEST(ProcessOptionalData, GameRunsWithout) {
    struct Case {
        std::string label;
        std::unique_ptr<DataCopy> data;
        int runForMs;
        std::vector<std::string> audio;
        bool soundCase;
        int soundLines;
        std::future<ProcessResult> run;
    };
    std::vector<Case> cases;
    auto add = [&](const std::string &label, int runForMs = RunsForMs, const std::string &audioDriver = "dummy",
                   bool soundCase = false, std::vector<std::string> audio = {}, int soundLines = 0) -> DataCopy & {
        audio.insert(audio.begin(), "SDL_AUDIODRIVER=" + audioDriver);
        cases.push_back({label, std::make_unique<DataCopy>(), runForMs, audio, soundCase, soundLines, {}});
        return *cases.back().data;
    };
    {
        DataCopy &data = add("every music and effect file missing", RunsForMs, "dummy", true);
        for (const char *file : audioFiles)
            data.remove(file);
    }
    add("no audio device (SDL_AUDIODRIVER=no-such-driver)", RunsForMs, "no-such-driver", true);
    // As on a machine without a sound card: ALSA's complaints stay out, the game's one
    // "no sound" line says it.
    add("ALSA without the device (AUDIODEV=plimo_no_such_pcm)", RunsForMs, "alsa", true,
        {"AUDIODEV=plimo_no_such_pcm"}, 1);
    {
        DataCopy &data = add("plimo.xml of 10 MB, the texts and a long comment");
        std::string comment = "<!-- ";
        while (comment.size() < 10 * 1024 * 1024)
            comment += "padding that a translator left behind, line after line\n";
        data.write("plimo.xml", data.read("plimo.xml") + comment + " -->\n");
    }
    // The first language's picture is drawn on the language choice, after the two-second
    // splash; missing or unreadable, it is left out and the game goes on.
    const int pastTheSplashMs = 4500;
    add("the first language's picture missing", pastTheSplashMs).remove("lang_en.bmp");
    {
        DataCopy &data = add("the first language's picture a PNG", pastTheSplashMs);
        data.write("lang_en.bmp", data.read("icon.png"));
    }
    // Pictures whose headers once reached SDL's loader: cut at 22 bytes (values it never
    // read), a height of INT_MIN (an overflow placing it), 16383 x 16383 pixels claimed by
    // 54 bytes (1 GiB allocated on every frame on sdl12-compat). Left out like the PNG.
    for (const char *fault : {"header_cut_at_22.bmp", "height_int_min.bmp", "claims_16383_square.bmp"}) {
        DataCopy &data = add(std::string("the first language's picture ") + fault, pastTheSplashMs);
        data.write("lang_en.bmp", readFile(sourceDir() + "/tests/data/faults/" + fault));
    }
    // An effect claiming 1 Hz crashed SDL 1.2's conversion at start-up; now it is silent.
    add("correct.wav claiming 1 Hz", RunsForMs, "dummy", true)
        .write("correct.wav", readFile(sourceDir() + "/tests/data/faults/rate_1_hz.wav"));

    for (Case &c : cases)
        c.run = std::async(std::launch::async, [&c] { return c.data->run(c.runForMs, c.audio); });
    for (Case &c : cases)
        expectRuns(c.label, c.run.get(), c.soundCase, c.soundLines);
    // The copies were made one inside another's working directory; undo them in reverse.
    while (!cases.empty())
        cases.pop_back();
}

// A terminal closed under the game (HUP) ends it as TERM does, through the quit event
// that the close button sends: status 0, nothing on standard error.
TEST(ProcessSignals, HangUpEndsTheGameAsTerminateDoes) {
    DataCopy term, hangUp;
    auto terminated = std::async(std::launch::async, [&term] { return term.runSignalled("TERM", RunsForMs); });
    for (const ProcessResult &r : {hangUp.runSignalled("HUP", RunsForMs), terminated.get()}) {
        EXPECT_FALSE(r.timedOut) << "hung";
        EXPECT_EQ(0, r.exitStatus) << r.err;
        EXPECT_EQ("", r.err);
    }
}

// Standard error into a pipe whose reader has gone (plimo 2>&1 | true, a closed log
// viewer) while the game has a line to say (no sound device): the line fails quietly
// and the game runs on until TERM ends it as ever (status 0), not SIGPIPE (141).
TEST(ProcessSignals, APipeWithoutReaderDoesNotEndTheGame) {
    DataCopy data;
    ProcessResult r = runProcess(
        "/bin/bash",
        {"-c", "timeout --preserve-status -s TERM " + std::to_string(RunsForMs / 1000.0) +
                   " \"$0\" window 2>&1 | true; echo \"status ${PIPESTATUS[0]}\"",
         plimoBinary()},
        data.path("."), {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=plimo-no-such-driver", quietLeakOptions()},
        FailureTimeoutMs);
    EXPECT_FALSE(r.timedOut) << "hung";
    EXPECT_EQ("status 0\n", r.out) << r.err;
}

// The game keeps its stack small: started with a stack of 64 KB it still reads its files
// and names the one at fault. (A sanitizer's own frames need more, so not under one.)
TEST(ProcessSmallStack, SixtyFourKilobytesAreEnough) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer's frames do not fit 64 KB";
#endif
    DataCopy data;
    std::string font = data.read("font_32.bmp");
    data.write("font_32.bmp", font.substr(0, font.size() / 2));
    ProcessResult r = runProcess("/bin/bash", {"-c", "ulimit -s 64 && exec \"$0\" window", plimoBinary()},
                                 data.path(""), {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy", quietLeakOptions()},
                                 FailureTimeoutMs);
    expectRefused("a stack of 64 KB", r, "font_32.bmp");
}
