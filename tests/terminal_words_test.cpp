// The progress and class prints in the environment's language, from the working
// directory's content file, in the terminal's character set.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "record/progress_grid.h"
#include "shell/class_progress.h"
#include "shell/terminal_words.h"
#include "support.h"

namespace {

// Sets LC_ALL and LANG (null: unset) and unsets LC_MESSAGES and LC_CTYPE for one case;
// puts all four back afterwards.
class Environment {
  public:
    Environment(const char *all, const char *lang) {
        const char *values[4] = {all, nullptr, nullptr, lang};
        for (int i = 0; i < 4; i++) {
            const char *old = getenv(Names[i]);
            saved[i] = old ? old : "";
            wasSet[i] = old != nullptr;
            values[i] ? setenv(Names[i], values[i], 1) : unsetenv(Names[i]);
        }
    }
    ~Environment() {
        for (int i = 0; i < 4; i++)
            wasSet[i] ? setenv(Names[i], saved[i].c_str(), 1) : unsetenv(Names[i]);
    }

  private:
    static constexpr const char *Names[4] = {"LC_ALL", "LC_MESSAGES", "LC_CTYPE", "LANG"};
    std::string saved[4];
    bool wasSet[4] = {};
};

std::string contentFile() {
    std::string bytes;
    FILE *in = fopen((sourceDir() + "/data/plimo.xml").c_str(), "rb");
    char buffer[4096];
    for (size_t n; in && (n = fread(buffer, 1, sizeof buffer, in)) > 0;)
        bytes.append(buffer, n);
    if (in)
        fclose(in);
    return bytes;
}

} // namespace

TEST(TerminalWords, TheGridsAndClassViewSpeakTheEnvironmentsLanguage) {
    ScratchDir dir;
    dir.write("plimo.xml", contentFile());
    ProgressRow wrong{"7 * 8", 3, 1, 1, 0, 2500, "2026-03-02",
                      {{"2026-03-01", "a", 1, AskingWrong}, {"2026-03-02", "b", 1, AskingFluent},
                       {"2026-03-02", "b", 2, AskingFluent}}};
    ProgressRecord record{"Anna", {wrong}, {}};
    struct Case {
        const char *all, *lang;
        const char *heading;      // the first line
        const char *wrongLegend;  // the legend's line of "w"
        const char *emptyClass;   // the class view with nobody in it
        const char *noneStuck;    // its line for an operation nobody is stuck on
    } cases[] = {
        {nullptr, "de_DE.UTF-8",
         "Fortschritt von Anna gespeichert in p.csv: 1 Aufgaben gespielt in 0 Spielen, zuletzt am 2026-03-02.",
         "  w manchmal falsch: zuletzt mindestens einmal falsch oder zu langsam, aber h\xC3\xB6" "chstens die "
         "H\xC3\xA4lfte",
         "Fortschritt der Klasse aus here: 0 Kinder.\nNoch kein Fortschritt eines Kindes gespeichert.\n",
         "  Addition: keine"},
        {nullptr, "de_DE.ISO-8859-1",
         "Fortschritt von Anna gespeichert in p.csv: 1 Aufgaben gespielt in 0 Spielen, zuletzt am 2026-03-02.",
         "  w manchmal falsch: zuletzt mindestens einmal falsch oder zu langsam, aber h\xF6" "chstens die H\xE4lfte",
         "Fortschritt der Klasse aus here: 0 Kinder.\nNoch kein Fortschritt eines Kindes gespeichert.\n",
         "  Addition: keine"},
        // LC_ALL before LANG; the French colon keeps its space.
        {"fr_FR.UTF-8", "de_DE.UTF-8",
         "Progr\xC3\xA8s de Anna gard\xC3\xA9s dans p.csv : 1 calculs jou\xC3\xA9s en 0 parties, derni\xC3\xA8re le "
         "2026-03-02.",
         "  w parfois faux : les derni\xC3\xA8res fois, au moins une erreur ou un retard, mais pas plus de la moiti"
         "\xC3\xA9",
         "Progr\xC3\xA8s de la classe depuis here : 0 enfants.\nAucun progr\xC3\xA8s d'enfant gard\xC3\xA9 pour "
         "l'instant.\n",
         "  Addition: aucun"},
        // English as it always was: C, a language the file lacks, nothing set.
        {nullptr, "C", "Progress of Anna kept in p.csv: 1 fact played, last on 2026-03-02.",
         "  w sometimes wrong: of its last askings, at least one wrong or too slow, but no more than half",
         "Class progress from here: 0 children.\n"
         "No progress kept yet. Play with --remember (and --player=NAME for each child) to keep it.\n",
         "  Addition: none"},
        {nullptr, "ja_JP.UTF-8", "Progress of Anna kept in p.csv: 1 fact played, last on 2026-03-02.",
         "  w sometimes wrong: of its last askings, at least one wrong or too slow, but no more than half",
         "Class progress from here: 0 children.\n"
         "No progress kept yet. Play with --remember (and --player=NAME for each child) to keep it.\n",
         "  Addition: none"},
        {nullptr, nullptr, "Progress of Anna kept in p.csv: 1 fact played, last on 2026-03-02.",
         "  w sometimes wrong: of its last askings, at least one wrong or too slow, but no more than half",
         "Class progress from here: 0 children.\n"
         "No progress kept yet. Play with --remember (and --player=NAME for each child) to keep it.\n",
         "  Addition: none"},
    };
    for (const Case &c : cases) {
        Environment set(c.all, c.lang);
        prepareTerminalWords();
        GridWords words = terminalGridWords();
        std::string text = progressGridText(record, "p.csv", words);
        std::string where = std::string(c.all ? c.all : "-") + " " + (c.lang ? c.lang : "-");
        EXPECT_EQ(c.heading, text.substr(0, text.find('\n'))) << where;
        EXPECT_NE(text.find("\n" + std::string(c.wrongLegend) + "\n"), std::string::npos) << where << "\n" << text;
        EXPECT_EQ(c.emptyClass, classProgressText({}, "here", words)) << where;
        std::string one = classProgressText({record}, "here", words);
        EXPECT_NE(one.find("\n" + std::string(c.noneStuck) + "\n"), std::string::npos) << where << "\n" << one;
    }
}
