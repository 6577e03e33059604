// The content file: screen lookup, the language list and its stepping, the item walk,
// parsing, and the start-up check as the real game reports it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/content.h"
#include "ground/game_state.h"
#include "support.h"

namespace {

// A language whose screens are given literally.
std::string languageWith(const std::string &name, const std::string &screens,
                         const std::string &element = "language") {
    return "<" + element + " langpick=\"pick-" + name + "\" image=\"lang_" + name + ".bmp\" name=\"" +
           name + "\">\n" + screens + "</" + element + ">\n";
}

std::string allScreensBut(const std::string &left) {
    std::string s;
    for (const ContentScreen &screen : contentScreens)
        if (left != screen.name)
            s += screenXml(screen.name, screen.itemsNeeded);
    return s;
}

const char *languageName(const TiXmlElement *e) { return e ? e->Attribute("name") : "(null)"; }

class ContentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        startSdlForTests();
        resetGame();
    }
    // Writes plimo.xml and loads it as the game does, through the start-up check.
    void loadChecked(const std::string &xml) {
        dir.write("plimo.xml", xml);
        loadContent();
    }
    // Loads a file the start-up check would refuse, to look at the lookups themselves.
    void loadUnchecked(const std::string &xml) {
        dir.write("plimo.xml", xml);
        ContentDocument.LoadFile(TIXML_ENCODING_UNKNOWN);
        ASSERT_FALSE(ContentDocument.Error()) << ContentDocument.ErrorDesc();
        game.currentLanguage = firstLanguage();
    }
    std::vector<std::string> languageList() {
        std::vector<std::string> names;
        for (TiXmlElement *e = firstLanguage(); e; e = e->NextSiblingElement())
            names.push_back(languageName(e));
        return names;
    }
    ScratchDir dir;
};

TEST(ContentCompare, FoldsAsciiLettersToLowerCaseOnly) {
    EXPECT_EQ(asciiCaseCompare("main", "MAIN"), 0);
    EXPECT_EQ(asciiCaseCompare("GameOver", "gameover"), 0);
    EXPECT_LT(asciiCaseCompare("mai", "main"), 0);
    EXPECT_GT(asciiCaseCompare("main", "Mai"), 0);
    EXPECT_GT(asciiCaseCompare("b", "A"), 0);
    // Folding to lower case puts '[' (0x5B) before the letters; folding up would not.
    EXPECT_LT(asciiCaseCompare("[", "A"), 0);
    EXPECT_GT(asciiCaseCompare("a", "_"), 0);
    // Latin-1 capitals are not letters to this compare.
    EXPECT_NE(asciiCaseCompare("\xC9t\xE9", "\xE9t\xE9"), 0);
    EXPECT_EQ(asciiCaseCompare("", ""), 0);
}

TEST_F(ContentTest, ScreenNamesMatchWhateverTheirCase) {
    std::string screens = screenXml("MAIN", 9) + screenXml("Credits", 10) +
                          screenXml("dIfFiCuLtY", 6) + screenXml("help", 1) + screenXml("GameOver", 4);
    loadChecked(languageWith("English", screens));
    EXPECT_STREQ(screenItemText("main", 1), "MAIN-1");
    EXPECT_STREQ(screenItemText("difficulty", 6), "dIfFiCuLtY-6");
    EXPECT_STREQ(screenItemText("gameover", 4), "GameOver-4");
    EXPECT_STREQ(findScreen("Main")->Attribute("name"), "MAIN");
}

TEST_F(ContentTest, FirstOfTwoEqualNamesWins) {
    std::string screens = allScreensBut("help") +
                          "<screen name=\"help\"><item text=\"first\"/></screen>\n"
                          "<screen name=\"HELP\"><item text=\"second\"/></screen>\n";
    loadChecked(languageWith("English", screens));
    EXPECT_STREQ(screenItemText("help", 1), "first");
}

TEST_F(ContentTest, AnyElementAfterTheFirstScreenIsACandidate) {
    std::string screens = "<panel name=\"help\"><item text=\"before the first screen\"/></panel>\n" +
                          allScreensBut("help") +
                          "<panel name=\"help\"><item text=\"after it\"/></panel>\n";
    loadChecked(languageWith("English", screens));
    EXPECT_STREQ(screenItemText("help", 1), "after it");
}

TEST_F(ContentTest, LookupStopsAtTheLastSibling) {
    std::string screens = screenXml("main", 9) + "<screen><item text=\"nameless\"/></screen>\n" +
                          screenXml("credits", 10);
    loadUnchecked(languageWith("English", screens));
    ASSERT_NE(findScreen("main"), nullptr);
    EXPECT_EQ(findScreen("options"), nullptr);
    // A search that passes a nameless candidate has no answer.
    EXPECT_EQ(findScreen("credits"), nullptr);
    EXPECT_STREQ(screenItemText("options", 1), "");

    game.currentLanguage = nullptr;
    EXPECT_EQ(findScreen("main"), nullptr);
}

TEST_F(ContentTest, LanguageListStartsAtFirstLanguageAndTakesEveryLaterElement) {
    std::string xml = "<intro/>\n" + languageXml("A") + "<!-- between -->\n" +
                      languageXml("B", nullptr, "dialect") + languageXml("C");
    loadChecked(xml);
    EXPECT_EQ(languageList(), (std::vector<std::string>{"A", "B", "C"}));
    ASSERT_STREQ(languageName(game.currentLanguage), "A");

    std::vector<std::string> forward, backward;
    for (int i = 0; i < 4; i++) {
        nextLanguage();
        forward.push_back(languageName(game.currentLanguage));
    }
    EXPECT_EQ(forward, (std::vector<std::string>{"B", "C", "A", "B"}));
    game.currentLanguage = firstLanguage();
    for (int i = 0; i < 4; i++) {
        previousLanguage();
        backward.push_back(languageName(game.currentLanguage));
    }
    EXPECT_EQ(backward, (std::vector<std::string>{"C", "B", "A", "C"}));
}

TEST_F(ContentTest, OneLanguageStaysSelected) {
    loadChecked("<?xml version=\"1.0\"?>\n<intro name=\"never\"/>\n" + languageXml("Solo"));
    TiXmlElement *solo = game.currentLanguage;
    ASSERT_STREQ(languageName(solo), "Solo");
    nextLanguage();
    EXPECT_EQ(game.currentLanguage, solo);
    previousLanguage();
    EXPECT_EQ(game.currentLanguage, solo);
}

TEST_F(ContentTest, ItemWalkTakesAnyElementAfterTheFirstItem) {
    std::string help = "<screen name=\"help\">\n"
                       "  <note text=\"before the first item\"/>\n"
                       "  <item text=\"one\"/>\n"
                       "  <note text=\"two\"/>\n"
                       "  <item text=\"\"/>\n"
                       "  <item text=\"four\"/>\n"
                       "</screen>\n";
    loadChecked(languageWith("English", allScreensBut("help") + help));
    EXPECT_STREQ(screenItemText("help", 1), "one");
    EXPECT_STREQ(screenItemText("help", 2), "two");
    EXPECT_STREQ(screenItemText("help", 3), "");
    EXPECT_STREQ(screenItemText("help", 4), "four");
    EXPECT_STREQ(screenItemText("help", 5), "");
}

TEST_F(ContentTest, DeclarationCommentsAndSeveralTopLevelElementsParse) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                      "<!-- Plimo texts -->\n" +
                      replaced(languageXml("English"), "name=\"English\"", "name=\"Fran\xE7" "ais\"") +
                      "<!-- second -->\n" + languageXml("Deutsch") + "<!-- end -->\n";
    loadChecked(xml);
    EXPECT_FALSE(ContentDocument.Error());
    EXPECT_EQ(languageList().size(), 2u);
    // A Latin-1 byte arrives as that one byte, ready for the font.
    EXPECT_STREQ(languageName(game.currentLanguage), "Fran\xE7" "ais");
}

TEST_F(ContentTest, CheckIgnoresExtrasAndLongScoreLabels) {
    std::string longLabel(300, 'x');
    std::string screens = screenXml("main", 12) + "<screen name=\"options\"/>\n" + screenXml("credits", 10) +
                          screenXml("difficulty", 6) + screenXml("help", 3) +
                          "<screen name=\"gameover\"><item text=\"t\"/><item text=\"" + longLabel +
                          "\"/><item text=\"a\"/><item text=\"b\"/></screen>\n";
    dir.write("plimo.xml", languageWith("English", screens));
    ContentDocument.LoadFile(TIXML_ENCODING_UNKNOWN);
    EXPECT_EQ(checkContent(ContentDocument, "plimo.xml"), "");
}

TEST_F(ContentTest, CheckReportsTheFirstFaultInDocumentOrder) {
    std::string xml = languageXml("English") +
                      replaced(replaced(languageXml("Deutsch"), " image=\"lang_Deutsch.bmp\"", ""),
                               "<item text=\"help-1\"/>", "<item/>");
    dir.write("content.xml", xml);
    TiXmlDocument document("content.xml");
    document.LoadFile(TIXML_ENCODING_UNKNOWN);
    EXPECT_EQ(checkContent(document, "content.xml"),
              "content.xml: language 2 (\"Deutsch\"): no image attribute");
    std::vector<ContentFault> faults = listContentFaults(document);
    ASSERT_EQ(faults.size(), 2u);
    EXPECT_EQ(faults[1].message, "language 2 (\"Deutsch\"): screen \"help\": item 1 has no text attribute");
}

// The real game, started on a content file that breaks one rule, ends with one line.
struct StartupFault {
    const char *label;
    std::string xml;      // written as plimo.xml unless the file is to be missing
    bool missing;
    std::string expected; // the whole line, or its start when it ends in "..."
    const char *also;     // a part the line must hold as well, or null
};

std::vector<StartupFault> startupFaults() {
    std::string en = languageXml("English"), de = languageXml("Deutsch"), nest;
    for (int i = 0; i < 100000; i++)
        nest += "<a>";
    const std::string unreadable = "plimo.xml: cannot read: ...";
    return {
        {"missing file", "", true, unreadable, nullptr},
        {"empty file", "", false, unreadable, nullptr},
        {"not XML", "Plimo texts: <<< & not { XML\n", false, unreadable, nullptr},
        {"cut in half", en.substr(0, en.size() / 2), false, unreadable, nullptr},
        {"malformed", "<language langpick=\"a\" image=\"b\" name=\"c\">\n<screen name=\"main\">\n"
                      "<item text=\"x\"></screen>\n</language>\n", false, unreadable, "(line 3)"},
        // The parser would recurse once per level: refused before it runs.
        {"nested 100000 deep", nest, false, "plimo.xml: elements nested 100000 deep, at most 256 allowed",
         nullptr},
        {"no language", "<?xml version=\"1.0\"?>\n<other langpick=\"x\"/>\n", false,
         "plimo.xml: no language element", nullptr},
        {"no langpick", en + replaced(de, " langpick=\"pick-Deutsch\"", ""), false,
         "plimo.xml: language 2 (\"Deutsch\"): no langpick attribute", nullptr},
        {"no image", en + replaced(de, " image=\"lang_Deutsch.bmp\"", ""), false,
         "plimo.xml: language 2 (\"Deutsch\"): no image attribute", nullptr},
        {"no name", en + replaced(de, " name=\"Deutsch\"", ""), false,
         "plimo.xml: language 2 (no name): no name attribute", nullptr},
        {"other element in the list", en + de + "<note/>\n", false,
         "plimo.xml: language 3 (no name): no langpick attribute", nullptr},
        {"no screens", languageWith("English", "") + de, false,
         "plimo.xml: language 1 (\"English\"): screen \"main\" not found", nullptr},
        {"screen missing", languageWith("English", allScreensBut("help")) + de, false,
         "plimo.xml: language 1 (\"English\"): screen \"help\" not found", nullptr},
        {"nameless candidate",
         replaced(en, "  <screen name=\"credits\">", "<screen><item text=\"?\"/></screen><screen name=\"credits\">"),
         false, "plimo.xml: language 1 (\"English\"): screen \"credits\": the search for it meets an element "
                "without a name attribute", nullptr},
        {"too few items", en + replaced(replaced(de, "<item text=\"credits-9\"/>", ""), "<item text=\"credits-10\"/>", ""),
         false, "plimo.xml: language 2 (\"Deutsch\"): screen \"credits\" has 8 items, 10 needed", nullptr},
        {"item without text", replaced(en, "<item text=\"main-4\"/>", "<item/>") + de, false,
         "plimo.xml: language 1 (\"English\"): screen \"main\": item 4 has no text attribute", nullptr},
        // The picture is opened in the data folder by a plain name only.
        {"image outside the data folder", en + replaced(de, "lang_Deutsch.bmp", "../../../../etc/shadow"), false,
         "plimo.xml: language 2 (\"Deutsch\"): image \"../../../../etc/shadow\" is not a plain file name in the "
         "data folder", nullptr},
        {"image an absolute path", replaced(en, "lang_English.bmp", "/dev/zero") + de, false,
         "plimo.xml: language 1 (\"English\"): image \"/dev/zero\" is not a plain file name in the data folder",
         nullptr},
        {"image empty", replaced(en, "lang_English.bmp", "") + de, false,
         "plimo.xml: language 1 (\"English\"): image \"\" is not a plain file name in the data folder", nullptr},
        // A UTF-8 lead byte last, inside an attribute value, once took the parser past its
        // buffer (seen by valgrind); the message is the parser's, as it was.
        {"UTF-8 lead byte last", "<?xml version=\"1.0\"?><a b=\"\xD3", false,
         "plimo.xml: cannot read: Error parsing Element. (line 1)", nullptr},
        {"byte-order mark, UTF-8 lead byte last", "\xEF\xBB\xBF<a b=\"\xD3", false,
         "plimo.xml: cannot read: Error parsing Element. (line 1)", nullptr},
    };
}

const std::vector<std::string> dummyDrivers = {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"};

TEST(ContentStartup, EachFaultEndsTheGameWithOneLine) {
    for (const StartupFault &fault : startupFaults()) {
        SCOPED_TRACE(fault.label);
        ScratchDir dir;
        writeStartupPictures(dir.path());
        if (!fault.missing)
            dir.write("plimo.xml", fault.xml);
        ProcessResult run = runProcess(plimoBinary(), {"window"}, dir.path(), dummyDrivers, 20000);
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_EQ(run.out, "");
        ASSERT_FALSE(run.err.empty());
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
        std::string line = run.err.substr(0, run.err.size() - 1);
        const std::string &want = fault.expected;
        if (want.size() > 3 && want.compare(want.size() - 3, 3, "...") == 0) {
            std::string start = want.substr(0, want.size() - 3);
            EXPECT_EQ(line.compare(0, start.size(), start), 0) << line;
            EXPECT_GT(line.size(), start.size()) << "no reason given";
        } else {
            EXPECT_EQ(line, want);
        }
        if (fault.also) {
            EXPECT_NE(line.find(fault.also), std::string::npos) << line;
        }
    }
}

TEST(ContentStartup, GoodFileStartsTheGame) {
    ScratchDir dir;
    writeStartupPictures(dir.path());
    dir.write("plimo.xml", "<?xml version=\"1.0\"?>\n" + languageXml("English") + languageXml("Deutsch"));
    ProcessResult run = runProcess(plimoBinary(), {"window"}, dir.path(), dummyDrivers, 1500);
    EXPECT_TRUE(run.timedOut) << "exit " << run.exitStatus << ": " << run.err;
    // Only the missing sounds may be mentioned; nothing about the content.
    EXPECT_EQ(run.err.find("plimo.xml"), std::string::npos) << run.err;
}

} // namespace
