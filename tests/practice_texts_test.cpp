// The practice screen's words: every language has them, a language without them borrows
// them, placeholders are filled safely, and the terminal gets its language and its set.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "content/content.h"
#include "content/practice_texts.h"
#include "content/terminal_text.h"
#include "ground/game_state.h"
#include "support.h"

namespace {

// Sets the three locale variables (null: unset) and puts them back afterwards.
class LocaleVariables {
  public:
    LocaleVariables(const char *all, const char *messages, const char *lang) {
        const char *values[3] = {all, messages, lang};
        for (int i = 0; i < 3; i++) {
            const char *old = getenv(Names[i]);
            saved[i] = old ? old : "";
            wasSet[i] = old != nullptr;
            if (values[i])
                setenv(Names[i], values[i], 1);
            else
                unsetenv(Names[i]);
        }
    }
    ~LocaleVariables() {
        for (int i = 0; i < 3; i++) {
            if (wasSet[i])
                setenv(Names[i], saved[i].c_str(), 1);
            else
                unsetenv(Names[i]);
        }
    }

  private:
    static constexpr const char *Names[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::string saved[3];
    bool wasSet[3];
};

void loadGameContent() {
    ASSERT_EQ("", loadContentFile(ContentDocument, (sourceDir() + "/data/plimo.xml").c_str()));
    ASSERT_FALSE(ContentDocument.Error()) << ContentDocument.ErrorDesc();
    game.currentLanguage = firstLanguage();
}

std::string readFile(const std::string &path) {
    std::string bytes;
    FILE *in = fopen(path.c_str(), "rb");
    if (!in)
        return bytes;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, in)) > 0;)
        bytes.append(buffer, n);
    fclose(in);
    return bytes;
}

int occurrences(const std::string &text, const std::string &part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        count++;
    return count;
}

class PracticeTexts : public ::testing::Test {
  protected:
    void SetUp() override { resetGame(); }
    void TearDown() override {
        ContentDocument.Clear();
        game.currentLanguage = nullptr;
    }
};

TEST_F(PracticeTexts, EveryLanguageHasEveryItem) {
    loadGameContent();
    const std::vector<std::string> codes = {"en", "de", "fr", "es", "it", "nl", "pt", "sv", "da", "no", "fi", "ca"};
    std::vector<std::string> seen;
    for (TiXmlElement *language = firstLanguage(); language; language = language->NextSiblingElement()) {
        const char *code = language->Attribute("code");
        seen.push_back(code ? code : "(none)");
        SCOPED_TRACE(seen.back());
        for (int id = 0; id < PracticeTextCount; id++)
            EXPECT_NE(nullptr, practiceTextOf(language, PracticeTextId(id))) << practiceTextItems[id].name;
        const char *summary = practiceTextOf(language, RoundSummary);
        ASSERT_NE(nullptr, summary);
        for (const char *placeholder : {"{1}", "{2}", "{3}", "{4}"})
            EXPECT_EQ(1, occurrences(summary, placeholder)) << summary;
    }
    EXPECT_EQ(codes, seen);
    // The built-in English is the file's, word for word.
    for (int id = 0; id < PracticeTextCount; id++)
        EXPECT_STREQ(practiceTextItems[id].english, practiceTextOf(firstLanguage(), PracticeTextId(id)));
    ASSERT_TRUE(selectLanguageByCode("de"));
    EXPECT_EQ("12 gel\xF6st, 3 verpasst, 9 beim ersten Mal, 4.5 s",
              fillText(practiceText(RoundSummary), {"12", "3", "9", "4.5"}));
    EXPECT_STREQ("Wer spielt?", practiceText(ClassTitle));
}

// A language without the screen, or without a usable item, takes the first language's
// that has it; with none, the game's English.
TEST_F(PracticeTexts, MissingWordsComeFromTheFirstLanguageThatHasThem) {
    auto language = [](const std::string &code, const std::string &practice) {
        std::string xml = replaced(languageXml(code), "<language ", "<language code=\"" + code + "\" ");
        return practice.empty() ? xml
                                : replaced(xml, "</language>",
                                           "<screen name=\"practice\">" + practice + "</screen></language>");
    };
    ScratchDir dir;
    dir.write("plimo.xml", language("a", "<item name=\"summary\" text=\"A {4}{3}{2}{1}\"/>") + language("b", "") +
                               language("c", "<item name=\"SUMMARY\" text=\"C {1}{2}{3}\"/>"
                                             "<item name=\"markWrong\" text=\"c-wrong\"/>"
                                             "<item name=\"pauseHint\"/>"));
    loadContent(); // the start-up check takes it
    struct Case {
        const char *current;
        PracticeTextId id;
        const char *text;
    } cases[] = {
        {"a", RoundSummary, "A {4}{3}{2}{1}"},
        {"b", RoundSummary, "A {4}{3}{2}{1}"},
        {"c", RoundSummary, "A {4}{3}{2}{1}"}, // c's lacks {4}
        {"b", ListMarkWrong, "c-wrong"},
        {"c", ListMarkWrong, "c-wrong"},
        {"c", PauseHint, "Press a key to go on"}, // c's has no text
        {"a", ClassTitle, "Who is playing?"},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(selectLanguageByCode(c.current));
        EXPECT_STREQ(c.text, practiceText(c.id)) << c.current << " " << practiceTextItems[c.id].name;
    }
    // An older file, without the screen anywhere, starts and plays in English.
    dir.write("plimo.xml", languageXml("Old"));
    loadContent();
    EXPECT_STREQ("Who is playing?", practiceText(ClassTitle));
    EXPECT_FALSE(selectLanguageByCode("en"));
    // With no file at all.
    ContentDocument.Clear();
    game.currentLanguage = nullptr;
    EXPECT_STREQ("slow", practiceText(ListMarkSlow));
    EXPECT_STREQ("", practiceText(PracticeTextCount));
}

TEST(FillText, FillsNumberedPlaceholdersOnly) {
    const std::vector<std::string> ten = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"};
    struct Case {
        const char *format;
        std::vector<std::string> values;
        const char *filled;
    } cases[] = {
        {"{1} answered, {2} missed", {"3", "1"}, "3 answered, 1 missed"},
        {"{2} before {1}", {"x", "y"}, "y before x"},
        {"{1} and {3}", {"a", "b"}, "a and {3}"},    // no value: stays, to be seen
        {"{1}+{1}={2}", {"x", "2x"}, "x+x=2x"},       // repeated
        {"{0}{1}", {"a"}, "{0}a"},                    // no such placeholder
        {"{1} {2}", {"{2}", "b"}, "{2} b"},           // a value is never read for placeholders
        {"{ {1 {}} 1} {x}", {"v"}, "{ {1 {}} 1} {x}"}, // braces that are no placeholder
        {"{10}", ten, "j"},
        {"{10}", {"a"}, "{10}"},
        {"{100}", ten, "{100}"},
        {"%s %n {1}", {"%d"}, "%s %n %d"},
        {"end {", {"a"}, "end {"},
        {"end {1", {"a"}, "end {1"},
        {"", {"a"}, ""},
        {"{1}", {""}, ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.filled, fillText(c.format, c.values)) << c.format;
    EXPECT_EQ("", fillText(nullptr, {"a"}));
}

TEST(FillText, PlaceholdersEachOnce) {
    struct Case {
        const char *text;
        int count;
        bool match;
    } cases[] = {
        {"{1}{2}", 2, true},  {"{2} {1}", 2, true},   {"{1}{1}", 2, false}, {"{1}", 2, false},
        {"{1}{2}{3}", 2, false}, {"{0}", 0, false},   {"plain", 0, true},   {"{1}", 0, false},
        {"{x} {", 0, true},   {"{01}", 1, true},     {"{11}", 1, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.match, placeholdersMatch(c.text, c.count)) << c.text;
}

TEST_F(PracticeTexts, TheEnvironmentChoosesTheTerminalsLanguage) {
    loadGameContent();
    struct Case {
        const char *all, *messages, *lang;
        const char *code;
    } cases[] = {
        {"de_DE.UTF-8", nullptr, nullptr, "de"},
        {nullptr, nullptr, "pt_BR", "pt"},
        {nullptr, nullptr, "C", "en"},
        {"", "fr", "de_DE", "fr"},
        {"POSIX", "fr", "de", "en"}, // the first one set decides
        {"", "", "", "en"},
        {nullptr, nullptr, nullptr, "en"},
        {nullptr, nullptr, "nb_NO.UTF-8", "no"},
        {nullptr, nullptr, "nn_NO", "no"},
        {nullptr, "sv_SE@euro", nullptr, "sv"},
        {nullptr, nullptr, "FI", "fi"},
        {nullptr, nullptr, "ca_ES.UTF-8@valencia", "ca"},
        {nullptr, nullptr, "ja_JP.UTF-8", "en"},
        {nullptr, nullptr, "C.UTF-8", "en"},
    };
    for (const Case &c : cases) {
        LocaleVariables set(c.all, c.messages, c.lang);
        EXPECT_EQ(c.code, languageFromEnvironment())
            << (c.all ? c.all : "-") << " " << (c.messages ? c.messages : "-") << " " << (c.lang ? c.lang : "-");
    }
    EXPECT_TRUE(selectLanguageByCode("DE"));
    EXPECT_STREQ("Deutsch", game.currentLanguage->Attribute("name"));
    EXPECT_FALSE(selectLanguageByCode("xx"));
    EXPECT_FALSE(selectLanguageByCode(nullptr));
    EXPECT_STREQ("Deutsch", game.currentLanguage->Attribute("name"));
}

TEST_F(PracticeTexts, TerminalLanguageFromTheWorkingDirectorysFile) {
    ScratchDir dir;
    {
        LocaleVariables set(nullptr, nullptr, "fr_FR.UTF-8");
        EXPECT_EQ("plimo.xml: cannot read: Failed to open file; the words are English", prepareTerminalLanguage());
        EXPECT_STREQ("Who is playing?", practiceText(ClassTitle));
    }
    dir.write("plimo.xml", readFile(sourceDir() + "/data/plimo.xml"));
    {
        LocaleVariables set(nullptr, nullptr, "fr_FR.UTF-8");
        EXPECT_EQ("", prepareTerminalLanguage());
        EXPECT_STREQ("Qui joue ?", practiceText(ClassTitle));
    }
    {
        LocaleVariables set(nullptr, nullptr, "ja_JP.UTF-8");
        EXPECT_EQ("", prepareTerminalLanguage());
        EXPECT_STREQ("Who is playing?", practiceText(ClassTitle));
    }
}

TEST(TerminalText, ConvertsToTheTerminalsSet) {
    struct Case {
        const char *text;
        const char *codeset;
        const char *shown;
    } cases[] = {
        {"Zur\xFC" "ck", "UTF-8", "Zur\xC3\xBC" "ck"},
        {"Zur\xFC" "ck", "utf8", "Zur\xC3\xBC" "ck"},
        {"Zur\xFC" "ck", "ANSI_X3.4-1968", "Zuruck"},
        {"Spa\xDF {1}", "ASCII", "Spass {1}"},
        {"\xBFQu\xE9?", "ASCII", "?Que?"},
        {"Plimo\xADteam", "UTF-8", "Plimo-team"}, // the font's word hyphen
        {"Plimo\xADteam", "ASCII", "Plimo-team"},
        {"Fran\xE7" "ais", "ISO-8859-1", "Fran\xE7" "ais"},
        {"\xA4 \xE9", "ISO-8859-15", "? \xE9"}, // no currency sign there: spelt out
        {"caf\xE9", "no-such-set", "cafe"},
        {"plain", "no-such-set", "plain"},
        {"", "UTF-8", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.shown, toTerminalText(c.text, c.codeset)) << c.text << " " << c.codeset;
}

TEST(TerminalText, TheEnvironmentsCodeset) {
    struct Case {
        const char *all;
        const char *codeset;
    } cases[] = {
        {"C", "ANSI_X3.4-1968"},
        {"C.UTF-8", "UTF-8"},
        {"xx_YY.UTF-8", "UTF-8"}, // a locale the system lacks still names its set
        {"xx_YY.ISO-8859-1@euro", "ISO-8859-1"},
        {"xx_YY", "ANSI_X3.4-1968"},
    };
    for (const Case &c : cases) {
        LocaleVariables set(c.all, nullptr, nullptr);
        EXPECT_EQ(c.codeset, terminalCodeset()) << c.all;
    }
}

} // namespace
