// Bad data files, each tried on the real game as a process in a copy of the data folder:
// the game either refuses to start with one line naming the culprit and status 1, or
// keeps running (silently, where a piece is optional); it never crashes or hangs.
#include <gtest/gtest.h>

#include <SDL.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/game_state.h"
#include "content/content.h"
#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/surface.h"
#include "menu/menu.h"
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

    ProcessResult run(int timeoutMs, const std::string &audioDriver = "dummy") const {
        return runProcess(plimoBinary(), {"window"}, dir.path(),
                          {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=" + audioDriver, quietLeakOptions()},
                          timeoutMs);
    }

  private:
    ScratchDir dir;
};

// What one case did, for the record in the test log.
void report(const std::string &label, const ProcessResult &r) {
    std::string err = r.err;
    if (!err.empty() && err.back() == '\n')
        err.pop_back();
    std::cout << "[bad data] " << label << ": "
              << (r.timedOut ? std::string("still running, killed") : "status " + std::to_string(r.exitStatus))
              << (err.empty() ? std::string() : " | " + err.substr(0, 160)) << "\n";
}

// Refused: status 1 at once, nothing on standard output, exactly one line on standard
// error that starts with the culprit's file name and gives a reason after it.
void expectRefused(const std::string &label, const ProcessResult &r, const std::string &culprit) {
    SCOPED_TRACE(label);
    report(label, r);
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
// unless the case is about sound, nothing on standard error either.
void expectRuns(const std::string &label, const ProcessResult &r, bool soundCase = false) {
    SCOPED_TRACE(label);
    report(label, r);
    EXPECT_TRUE(r.timedOut) << "ended with status " << r.exitStatus << ", stderr: " << r.err;
    EXPECT_EQ("", r.out);
    if (!soundCase) {
        EXPECT_EQ("", r.err);
        return;
    }
    // The audio may say what stays silent, a line per missing piece, and nothing else.
    std::istringstream lines(r.err);
    for (std::string line; std::getline(lines, line);) {
        bool aboutSound = line.rfind("no sound", 0) == 0 || line.find(".wav: ") != std::string::npos ||
                          line.find(".ogg: ") != std::string::npos;
        EXPECT_TRUE(aboutSound) << line;
    }
}

// --- surgery on the real content file, by its layout: one language element per language,
// screens as <screen name="..."> children, items as <item text="..."/>.

size_t languageStart(const std::string &xml, int number) { // number counts from 1
    size_t at = 0;
    for (int i = 0; i < number; i++) {
        at = xml.find("<language ", i == 0 ? 0 : at + 1);
        if (at == std::string::npos)
            ADD_FAILURE() << "the content file has fewer than " << number << " languages";
    }
    return at;
}

// [begin, end) of a screen element of the given language, closing tag included.
std::pair<size_t, size_t> screenSpan(const std::string &xml, int language, const std::string &name) {
    size_t begin = xml.find("<screen name=\"" + name + "\"", languageStart(xml, language));
    size_t end = xml.find("</screen>", begin);
    EXPECT_NE(std::string::npos, begin) << name;
    EXPECT_NE(std::string::npos, end) << name;
    return {begin, end + 9};
}

// [begin, end) of item number (from 1) of a screen of a language.
std::pair<size_t, size_t> itemSpan(const std::string &xml, int language, const std::string &screen, int number) {
    size_t at = screenSpan(xml, language, screen).first;
    for (int i = 0; i < number; i++)
        at = xml.find("<item ", at + 1);
    size_t end = xml.find("/>", at);
    EXPECT_NE(std::string::npos, end);
    return {at, end + 2};
}

// The content file's language count, as the menus walk it.
int languageCount(const std::string &xml) {
    int n = 0;
    for (size_t at = xml.find("<language "); at != std::string::npos; at = xml.find("<language ", at + 1))
        n++;
    return n;
}

} // namespace

// Each of the eight start-up pictures, missing or not a BMP at all (a PNG under the
// BMP's name, an empty file): refused, naming the picture.
TEST(ProcessBadPictures, EachMissingOrUnreadablePictureIsNamed) {
    for (const char *picture : startupPictures) {
        {
            DataCopy data;
            data.remove(picture);
            expectRefused(std::string(picture) + " missing", data.run(FailureTimeoutMs), picture);
        }
        {
            DataCopy data;
            data.write(picture, data.read("icon.png"));
            expectRefused(std::string(picture) + " is a PNG", data.run(FailureTimeoutMs), picture);
        }
        {
            DataCopy data;
            data.write(picture, "");
            expectRefused(std::string(picture) + " empty", data.run(FailureTimeoutMs), picture);
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

// The font picture that cannot serve as a font: no width, less than one cell high,
// or cut short in its header or in its pixels.
TEST(ProcessBadFont, UnusableFontIsNamed) {
    auto zeroWidth = [](int, int) -> uint32_t { return 0xFFFFFF; };
    {
        DataCopy data;
        writeBmp(data.path("font_32.bmp"), 0, 32, zeroWidth);
        expectRefused("font 0 pixels wide", data.run(FailureTimeoutMs), "font_32.bmp");
    }
    {
        DataCopy data;
        writeBmp(data.path("font_32.bmp"), 32, 31, zeroWidth);
        ProcessResult r = data.run(FailureTimeoutMs);
        expectRefused("font 31 rows high", r, "font_32.bmp");
        EXPECT_NE(std::string::npos, r.err.find("less than one cell high")) << r.err;
    }
    for (size_t keep : {size_t(30), size_t(54), size_t(1000)}) {
        DataCopy data;
        data.write("font_32.bmp", data.read("font_32.bmp").substr(0, keep));
        expectRefused("font cut to " + std::to_string(keep) + " bytes", data.run(FailureTimeoutMs),
                      "font_32.bmp");
    }
    {
        DataCopy data;
        std::string font = data.read("font_32.bmp");
        data.write("font_32.bmp", font.substr(0, font.size() / 2));
        expectRefused("font cut in half", data.run(FailureTimeoutMs), "font_32.bmp");
    }
}

// Content files the menus could not use: refused at start-up, naming plimo.xml and
// what is wrong with it.
TEST(ProcessBadContent, UnusableContentFileIsNamed) {
    struct Case {
        const char *label;
        std::string (*edit)(std::string);
        const char *reason; // a part of the line
    } cases[] = {
        {"empty", [](std::string) { return std::string(); }, "cannot read"},
        {"not XML", [](std::string) { return std::string("Plimo texts: <<< & not { XML\n"); }, "cannot read"},
        {"cut in the middle of an element",
         [](std::string xml) { return xml.substr(0, xml.size() / 2); }, "cannot read"},
        {"without a language",
         [](std::string) {
             return std::string("<?xml version=\"1.0\"?>\n<texts><item text=\"Hello\"/></texts>\n");
         },
         "no language element"},
        {"second language without its image",
         [](std::string xml) {
             size_t at = languageStart(xml, 2);
             size_t image = xml.find(" image=\"", at);
             return xml.erase(image, xml.find('"', image + 8) + 1 - image);
         },
         "no image attribute"},
        {"last language without its langpick",
         [](std::string xml) {
             size_t at = languageStart(xml, languageCount(xml));
             size_t pick = xml.find(" langpick=\"", at);
             return xml.erase(pick, xml.find('"', pick + 11) + 1 - pick);
         },
         "no langpick attribute"},
        {"third language without its help screen",
         [](std::string xml) {
             auto span = screenSpan(xml, 3, "help");
             return xml.erase(span.first, span.second - span.first);
         },
         "screen \"help\" not found"},
        {"difficulty screen one item short",
         [](std::string xml) {
             auto span = itemSpan(xml, 1, "difficulty", 6);
             return xml.erase(span.first, span.second - span.first);
         },
         "has 5 items, 6 needed"},
        {"a main menu item without text",
         [](std::string xml) {
             auto span = itemSpan(xml, 2, "main", 4);
             size_t text = xml.find("text=", span.first);
             return xml.replace(text, 5, "label=");
         },
         "item 4 has no text attribute"},
        {"10 MB of noise",
         [](std::string) {
             std::string noise(10 * 1024 * 1024, '\0');
             unsigned v = 12345;
             for (char &c : noise) {
                 v = v * 1103515245u + 12345u;
                 c = char(v >> 24);
             }
             return noise;
         },
         "tags, at most 16384 allowed"},
        {"10 MB of elements without a language",
         [](std::string) {
             std::string xml = "<texts>\n";
             while (xml.size() < 10 * 1024 * 1024)
                 xml += "  <item text=\"a line of text that is not in any language\"/>\n";
             return xml + "</texts>\n";
         },
         "tags, at most 16384 allowed"},
    };
    for (const Case &c : cases) {
        DataCopy data;
        data.write("plimo.xml", c.edit(data.read("plimo.xml")));
        ProcessResult r = data.run(FailureTimeoutMs);
        expectRefused(std::string("plimo.xml ") + c.label, r, "plimo.xml");
        EXPECT_NE(std::string::npos, r.err.find(c.reason)) << c.label << ": " << r.err;
    }
    {
        DataCopy data;
        data.remove("plimo.xml");
        expectRefused("plimo.xml missing", data.run(FailureTimeoutMs), "plimo.xml");
    }
}

// Elements nested 100000 deep: the parser must not recurse the stack away. Refused with
// the usual line (nothing in it can serve), never a crash; also when a stray '<' stands
// before the nesting, which the parser reads past but a depth count might stop at.
TEST(ProcessBadContent, DeepNestingIsRefusedWithoutCrashing) {
    const int depth = 100000;
    std::string nest;
    nest.reserve(depth * 7);
    for (int i = 0; i < depth; i++)
        nest += "<a>";
    for (int i = 0; i < depth; i++)
        nest += "</a>";
    struct Case {
        const char *label;
        std::string (*place)(std::string xml, const std::string &nest);
    } cases[] = {
        {"alone", [](std::string, const std::string &nest) { return nest; }},
        {"inside the first language",
         [](std::string xml, const std::string &nest) {
             size_t at = languageStart(xml, 1);
             return xml.insert(xml.find('>', at) + 1, nest);
         }},
        {"behind a stray '<' in the first language",
         [](std::string xml, const std::string &nest) {
             size_t at = languageStart(xml, 1);
             return xml.insert(xml.find('>', at) + 1, "<" + nest);
         }},
        {"behind a doubled '<'", [](std::string, const std::string &nest) { return "<<" + nest; }},
        // A quoted '>' ends the declaration for a count that skips to the first '>', and
        // what follows opens a comment to the end of the file: the parser reads the quote
        // whole and the nesting after the declaration as elements.
        {"after a declaration whose quoted value holds \"><!--\"",
         [](std::string, const std::string &nest) {
             return "<?xml version=\"><!--\"?>" + nest + "<!-- -->";
         }},
        // The parser takes every isspace() byte for a blank, vertical tab and form feed too.
        {"written <a\\v> and <a\\f>",
         [](std::string, const std::string &nest) {
             std::string tabbed = nest;
             for (size_t at = 0; (at = tabbed.find("<a>", at)) != std::string::npos; at += 4)
                 tabbed.insert(at + 2, 1, at % 2 ? '\v' : '\f');
             return tabbed;
         }},
    };
    for (const Case &c : cases) {
        DataCopy data;
        data.write("plimo.xml", c.place(data.read("plimo.xml"), nest));
        expectRefused(std::string("plimo.xml nested 100000 deep ") + c.label, data.run(FailureTimeoutMs),
                      "plimo.xml");
    }
}

// Pieces the game can do without, and content that is odd but usable: it starts and keeps
// running. The cases run side by side, as each only waits for its time-out.
TEST(ProcessOptionalData, GameRunsWithout) {
    struct Case {
        std::string label;
        std::unique_ptr<DataCopy> data;
        int runForMs;
        std::string audioDriver;
        bool soundCase;
        std::future<ProcessResult> run;
    };
    std::vector<Case> cases;
    auto add = [&](const std::string &label, int runForMs = RunsForMs, const std::string &audioDriver = "dummy",
                   bool soundCase = false) -> DataCopy & {
        cases.push_back({label, std::make_unique<DataCopy>(), runForMs, audioDriver, soundCase, {}});
        return *cases.back().data;
    };
    {
        DataCopy &data = add("every music and effect file missing", RunsForMs, "dummy", true);
        for (const char *file : audioFiles)
            data.remove(file);
    }
    add("no audio device (SDL_AUDIODRIVER=no-such-driver)", RunsForMs, "no-such-driver", true);
    {
        DataCopy &data = add("a score label of 300 characters");
        std::string xml = data.read("plimo.xml");
        auto span = itemSpan(xml, 1, "gameover", 2);
        xml.replace(span.first, span.second - span.first, "<item text=\"" + std::string(300, 'S') + "\"/>");
        data.write("plimo.xml", xml);
    }
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

    for (Case &c : cases)
        c.run = std::async(std::launch::async, [&c] { return c.data->run(c.runForMs, c.audioDriver); });
    for (Case &c : cases)
        expectRuns(c.label, c.run.get(), c.soundCase);
    // The copies were made one inside another's working directory; undo them in reverse.
    while (!cases.empty())
        cases.pop_back();
}

// The 300-character score label on the real font and content: the line is cut to its
// 199 characters, so a label that fills them leaves no room for the score. Control bytes
// draw nothing and advance nothing, which keeps the cut visible on the screen: "Score"
// shows, the score after the padding does not.
TEST(ProcessOptionalData, OverlongScoreLabelIsCutOnTheRealFont) {
    startSdlForTests();
    resetGame();
    DataCopy data; // the working directory from here on
    std::string xml = data.read("plimo.xml");
    auto span = itemSpan(xml, 1, "gameover", 2);
    std::string label = "Score" + std::string(295, '\x01');
    xml.replace(span.first, span.second - span.first, "<item text=\"" + label + "\"/>");
    data.write("plimo.xml", xml);

    loadImages();
    checkFontImage();
    ASSERT_TRUE(measureFont());
    loadContent();

    game.currentScreen = GameOver;
    game.screenEnteredAt = 0;
    auto drawWithScore = [](int score) {
        game.score = score;
        SDL_FillRect(screenSurface, nullptr, 0x204060);
        drawMenuScreen();
        std::vector<uint32_t> row;
        for (int y = 180; y < 212; y++)
            for (int x = 0; x < 640; x++)
                row.push_back(pixelAt(screenSurface, x, y));
        return row;
    };
    std::vector<uint32_t> with12345 = drawWithScore(12345);
    std::vector<uint32_t> withMinus9 = drawWithScore(-9);
    EXPECT_TRUE(with12345 == withMinus9) << "the score was drawn after a label that fills the line";
    size_t inked = 0;
    for (uint32_t p : with12345)
        inked += (p & 0xFFFFFF) != 0x204060;
    EXPECT_GT(inked, 100u) << "the label itself was not drawn";

    // The same label one character shorter than the line would have left room for the
    // score's first digit, which then shows: the comparison above can tell.
    std::string shorter = "Score" + std::string(192, '\x01');
    xml = data.read("plimo.xml");
    size_t at = xml.find(label);
    xml.replace(at, label.size(), shorter);
    data.write("plimo.xml", xml);
    loadContent();
    EXPECT_FALSE(drawWithScore(12345) == drawWithScore(-9));
    resetGame();
}
