// The content checker for translators, run as the real tool on small files and on the
// game's own content file.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "support.h"

namespace {

std::string checkerBinary() {
    std::string game = plimoBinary();
    return game.substr(0, game.rfind('/') + 1) + "plimo-check-content";
}

bool exists(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::vector<std::string> lines(const std::string &text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

// The 1-based line of text on which marker first stands.
int lineOf(const std::string &text, const std::string &marker) {
    size_t at = text.find(marker);
    EXPECT_NE(at, std::string::npos) << marker;
    int line = 1;
    for (size_t i = 0; i < at && i < text.size(); i++)
        line += text[i] == '\n';
    return line;
}

// The lines that are not warnings.
std::vector<std::string> faultLines(const std::string &text) {
    std::vector<std::string> result;
    for (const std::string &line : lines(text))
        if (line.find(": warning: ") == std::string::npos)
            result.push_back(line);
    return result;
}

// A fixture language with a code and the practice screen: every item's text "x" followed
// by its placeholders (41 texts of 89 bytes), then the items of extra.
std::string languageWithPractice(const std::string &name, const std::string &extra = "") {
    std::string xml = replaced(languageXml(name), "<language ", "<language code=\"" + name + "\" ");
    std::string screen = "  <screen name=\"practice\">\n";
    const std::vector<std::pair<std::string, std::string>> items = {
        {"summary", "x{1}{2}{3}{4}"}, {"markWrong", "x"}, {"markSlow", "x"}, {"listLegend", "x"},
        {"pauseHint", "x"}, {"classTitle", "x"}, {"classHint", "x"}, {"fluent", "x"},
        {"sometimesWrong", "x"}, {"rightButSlow", "x"}, {"stuck", "x"}, {"notYetAsked", "x"},
        {"games", "x"}, {"minutes", "x"}, {"lastPlayed", "x"}, {"fluentRule", "x{1}"},
        {"addition", "x"}, {"subtraction", "x"}, {"multiplication", "x"}, {"division", "x"},
        {"additionGrid", "x"}, {"subtractionGrid", "x"}, {"multiplicationGrid", "x"}, {"divisionGrid", "x"},
        {"progressHeading", "x{1}{2}"}, {"progressNone", "x{1}"}, {"legendIntro", "x"},
        {"beyondTwelve", "x"}, {"classStuck", "x"}, {"classNone", "x"}, {"rightSoFar", "x"},
        {"legendFluent", "x{1}"}, {"legendRightSoFar", "x"}, {"legendRightButSlow", "x"},
        {"legendSometimesWrong", "x"}, {"legendStuck", "x"}, {"legendNotYetPlayed", "x"},
        {"progressOf", "x{1}{2}{3}{4}{5}"}, {"classOf", "x{1}{2}"}, {"classMarks", "x"}, {"noneYet", "x"},
    };
    for (const auto &item : items)
        screen += "    <item name=\"" + item.first + "\" text=\"" + item.second + "\"/>\n";
    return replaced(xml, "</language>", screen + extra + "  </screen>\n</language>");
}

uint32_t blue(int, int) { return 0x2040C0; }

ProcessResult runChecker(const std::vector<std::string> &args, const std::string &cwd) {
    return runProcess(checkerBinary(), args, cwd, {"SDL_AUDIODRIVER=dummy"}, 20000);
}

class ContentChecker : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!exists(checkerBinary()))
            FAIL() << checkerBinary() << " is not built (build the plimo-check-content target)";
        writeFixtureFont(dir.path() + "/font_32.bmp");
        writeBmp(dir.path() + "/lang_English.bmp", 40, 30, blue);
    }
    ScratchDir dir;
};

// A good file gets one line naming what was checked: per fixture language its langpick
// ("pick-<name>", 12 bytes here) and name (7 bytes), the 30 items the menus need
// (main-1..9, credits-1..10, difficulty-1..6, help-1, gameover-1..4: 263 bytes) and the
// practice screen's 41 (89 bytes). An older file without the practice screen and the
// languages' codes is usable: warnings, status 0.
TEST_F(ContentChecker, CleanFileAndFontPass) {
    writeBmp(dir.path() + "/lang_Deutsch.bmp", 40, 30, blue);
    struct Case {
        std::string xml;
        const char *out;
    };
    const Case cases[] = {
        {languageWithPractice("English") + languageXml("Deutsch"),
         "plimo.xml:87: warning: language 2 (\"Deutsch\"): no code attribute: plimo --progress cannot print in "
         "this language\n"
         "plimo.xml:87: warning: language 2 (\"Deutsch\"): screen \"practice\" not found: its words come from "
         "another language or the game's English\n"
         "plimo.xml: no problems, 2 warnings: 2 languages, 105 texts of 653 bytes, every one drawable with "
         "font_32.bmp\n"},
        {languageWithPractice("English"),
         "plimo.xml: all well: 1 language, 73 texts of 371 bytes, every one drawable with font_32.bmp\n"},
        {languageWithPractice("English") + languageWithPractice("Deutsch"),
         "plimo.xml: all well: 2 languages, 146 texts of 742 bytes, every one drawable with font_32.bmp\n"},
    };
    for (const Case &c : cases) {
        dir.write("plimo.xml", "<?xml version=\"1.0\"?>\n" + c.xml);
        ProcessResult run = runChecker({}, dir.path());
        EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
        EXPECT_EQ(run.out, c.out);
    }

    // Given as paths from elsewhere, the pictures are still found beside the file.
    ProcessResult run = runChecker({dir.path() + "/plimo.xml", dir.path() + "/font_32.bmp"}, "/");
    EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
    EXPECT_EQ(run.out.rfind(dir.path() + "/plimo.xml: all well: 2 languages, ", 0), 0u) << run.out;
}

TEST_F(ContentChecker, ListsEveryProblemWithItsLine) {
    std::string english = languageXml("English");
    english = replaced(english, "<item text=\"main-4\"/>", "<item/>");
    english = replaced(english, "<item text=\"credits-2\"/>", "<item text=\"Caf\xE9 ~x\xE9\"/>");
    english = replaced(english, "<item text=\"gameover-2\"/>",
                       "<item text=\"" + std::string(190, 's') + "\"/>");
    std::string deutsch = languageXml("Deutsch");
    size_t help = deutsch.find("  <screen name=\"help\">");
    deutsch.erase(help, deutsch.find("</screen>", help) + 10 - help);
    std::string xml = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n" + english + deutsch;
    dir.write("bad.xml", xml);

    ProcessResult run = runChecker({"bad.xml", "font_32.bmp"}, dir.path());
    EXPECT_EQ(run.exitStatus, 1);
    std::string at = "bad.xml:";
    std::string de = std::to_string(lineOf(xml, "<language langpick=\"pick-Deutsch\""));
    std::string credits2 = std::to_string(lineOf(xml, "Caf"));
    std::vector<std::string> want = {
        at + std::to_string(lineOf(xml, "<item/>")) +
            ": language 1 (\"English\"): screen \"main\": item 4 has no text attribute",
        at + de + ": language 2 (\"Deutsch\"): screen \"help\" not found",
        at + credits2 +
            ": language 1 (\"English\"): screen \"credits\" item 2 \"Caf\\xE9 ~x\\xE9\": byte 0xE9 at 3 "
            "has no ink in font_32.bmp",
        at + credits2 +
            ": language 1 (\"English\"): screen \"credits\" item 2 \"Caf\\xE9 ~x\\xE9\": byte 0x7E at 5 "
            "has no ink in font_32.bmp",
        at + std::to_string(lineOf(xml, "sssss")) +
            ": language 1 (\"English\"): screen \"gameover\" item 2: score label of 190 bytes is cut "
            "short in the 199-character score line",
        at + de + ": language 2 (\"Deutsch\"): image \"lang_Deutsch.bmp\" cannot be loaded: ...",
    };
    std::vector<std::string> got = faultLines(run.out);
    ASSERT_EQ(got.size(), want.size()) << run.out;
    for (size_t i = 0; i + 1 < want.size(); i++)
        EXPECT_EQ(got[i], want[i]);
    std::string last = want.back().substr(0, want.back().size() - 3);
    EXPECT_EQ(got.back().compare(0, last.size(), last), 0) << got.back();
}

// Language pictures are named and opened as the game names and opens them: a plain file
// name in the data folder (beside the content file), a regular file, a BMP no larger than
// the screen. A FIFO is reported without waiting for a writer.
TEST_F(ContentChecker, PicturesAreResolvedAsTheGameResolvesThem) {
    ASSERT_EQ(0, mkdir((dir.path() + "/data").c_str(), 0700));
    writeBmp(dir.path() + "/outer.bmp", 40, 30, blue);
    writeBmp(dir.path() + "/data/inner.bmp", 40, 30, blue);
    writeBmp(dir.path() + "/data/big.bmp", 700, 500, blue);
    ASSERT_EQ(0, mkfifo((dir.path() + "/data/fifo.bmp").c_str(), 0600));
    std::string xml = "<?xml version=\"1.0\"?>\n" + replaced(languageXml("A"), "lang_A.bmp", "../outer.bmp") +
                      replaced(languageXml("B"), "lang_B.bmp", dir.path() + "/data/inner.bmp") +
                      replaced(languageXml("C"), "lang_C.bmp", "big.bmp") +
                      replaced(languageXml("D"), "lang_D.bmp", "fifo.bmp") +
                      replaced(languageXml("E"), "lang_E.bmp", "inner.bmp");
    dir.write("data/plimo.xml", xml);
    ProcessResult run = runChecker({"data/plimo.xml", "font_32.bmp"}, dir.path());
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitStatus, 1);
    auto at = [&](const char *name) {
        return "data/plimo.xml:" + std::to_string(lineOf(xml, std::string("<language langpick=\"pick-") + name)) +
               ": language ";
    };
    std::vector<std::string> want = {
        at("A") + "1 (\"A\"): image \"../outer.bmp\" is not a plain file name in the data folder",
        at("B") + "2 (\"B\"): image \"" + dir.path() + "/data/inner.bmp\" is not a plain file name in the data folder",
        at("C") + "3 (\"C\"): image \"big.bmp\" cannot be loaded: the BMP header claims a picture larger than allowed",
        at("D") + "4 (\"D\"): image \"fifo.bmp\" cannot be loaded: not a regular file",
    };
    EXPECT_EQ(want, faultLines(run.out)) << run.out << run.err;
}

// The practice screen is read by item name: an item that is there must be usable (a text,
// its placeholders each once, every byte drawable); one that is missing, or one the game
// does not read, is only a warning.
TEST_F(ContentChecker, PracticeItemsAreUsableOrWarned) {
    std::string xml = languageWithPractice("English", "    <item name=\"extra\" text=\"x\"/>\n");
    xml = replaced(xml, "\"x{1}{2}{3}{4}\"", "\"{1} {2} {2} {4}\"");
    xml = replaced(xml, "<item name=\"markSlow\" text=\"x\"/>", "<item name=\"markSlow\"/>");
    xml = replaced(xml, "<item name=\"pauseHint\" text=\"x\"/>", "<item name=\"pauseHint\" text=\"a~\"/>");
    xml = replaced(xml, "<item name=\"games\" text=\"x\"/>", "");
    xml = replaced(xml, "\"x{1}{2}\"", "\"x{1}\"");
    xml = replaced(xml, "<item name=\"legendIntro\" text=\"x\"/>", "<item name=\"legendIntro\" text=\"x{1}\"/>");
    dir.write("plimo.xml", xml);
    ProcessResult run = runChecker({"plimo.xml", "font_32.bmp"}, dir.path());
    EXPECT_EQ(run.exitStatus, 1);
    auto at = [&](const std::string &marker) { return "plimo.xml:" + std::to_string(lineOf(xml, marker)) + ": "; };
    std::string screen = "language 1 (\"English\"): screen \"practice\"";
    std::vector<std::string> want = {
        at("{1} {2}") + screen + " item \"summary\" \"{1} {2} {2} {4}\": placeholders wrong, {1} to {4} wanted, each once",
        at("\"markSlow\"") + screen + " item \"markSlow\" has no text attribute",
        at("a~") + screen + " item \"pauseHint\" \"a~\": byte 0x7E at 1 has no ink in font_32.bmp",
        at("name=\"practice\"") + "warning: " + screen + " item \"games\" not found: it comes from another "
                                                        "language or the game's English",
        at("progressHeading") + screen + " item \"progressHeading\" \"x{1}\": placeholders wrong, {1} to {2} wanted, each once",
        at("legendIntro") + screen + " item \"legendIntro\" \"x{1}\": placeholders wrong, none wanted",
        at("\"extra\"") + "warning: " + screen + " item \"extra\" is not one the game reads",
    };
    EXPECT_EQ(want, lines(run.out)) << run.out;
}

TEST_F(ContentChecker, FlagsTheSignsTheFontDrawsAsSchoolSigns) {
    // '*' and '/' are drawn as x and : for the problems, '<' and '>' as the cursor's
    // chevrons; each is named once per text.
    struct Case {
        const char *text;
        std::vector<std::string> flagged;
    } cases[] = {
        {"4 * 6", {"'*' at 2 shows as a multiplication cross"}},
        {"a/b/c", {"'/' at 1 shows as a division sign"}},
        {"*/", {"'*' at 0 shows as a multiplication cross", "'/' at 1 shows as a division sign"}},
        {"x - y + z", {}},
        // The cursor's chevrons stand taller than a line.
        {"a >> b", {"'>' at 2 shows as a cursor chevron"}},
        {"*>/", {"'*' at 0 shows as a multiplication cross", "'>' at 1 shows as a cursor chevron",
                 "'/' at 2 shows as a division sign"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        std::string xml = replaced(languageXml("English"), "<item text=\"credits-3\"/>",
                                   std::string("<item text=\"") + c.text + "\"/>");
        dir.write("plimo.xml", xml);
        ProcessResult run = runChecker({"plimo.xml", "font_32.bmp"}, dir.path());
        std::vector<std::string> got;
        for (const std::string &line : lines(run.out))
            if (line.find(" shows as ") != std::string::npos)
                got.push_back(line);
        ASSERT_EQ(got.size(), c.flagged.size()) << run.out;
        EXPECT_EQ(run.exitStatus, c.flagged.empty() ? 0 : 1);
        for (size_t i = 0; i < got.size(); i++)
            EXPECT_EQ(got[i], "plimo.xml:" + std::to_string(lineOf(xml, c.text)) +
                                  ": language 1 (\"English\"): screen \"credits\" item 3 \"" + c.text +
                                  "\": " + c.flagged[i]);
    }
}

TEST_F(ContentChecker, UnreadableFileOrFontFails) {
    ProcessResult run = runChecker({"nothere.xml"}, dir.path());
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out.rfind("nothere.xml: cannot read: ", 0), 0u) << run.out;

    dir.write("plimo.xml", languageXml("English"));
    run = runChecker({"plimo.xml", "nofont.bmp"}, dir.path());
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out.rfind("nofont.bmp: cannot load: ", 0), 0u) << run.out;
}

TEST(ContentCheckerData, GameContentFileIsClean) {
    std::string data = sourceDir() + "/data";
    if (!exists(data + "/plimo.xml"))
        GTEST_SKIP() << "data/plimo.xml is not there yet";
    ASSERT_TRUE(exists(checkerBinary())) << checkerBinary() << " is not built";
    ProcessResult run = runChecker({data + "/plimo.xml", data + "/font_32.bmp"}, data);
    EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
    EXPECT_EQ(lines(run.out).size(), 1u) << run.out;
    EXPECT_EQ(run.out.rfind(data + "/plimo.xml: all well: ", 0), 0u) << run.out;
}

} // namespace
