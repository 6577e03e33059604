// Settings files and the option words at their edges: file lines to settings or to the
// exact refusal, their order, --no- words, the XDG folders, and the manual page's list.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <unistd.h>

#include "ground/settings.h"
#include "shell/options.h"
#include "shell/settings_files.h"
#include "support.h"

namespace {

// The settings as one line: each setting that is on, lists as written.
std::string summary() {
    const Settings &t = settings;
    std::string s;
    auto add = [&](bool on, const std::string &name) { s += on ? " " + name : ""; };
    auto list = [](const ChosenList &l) {
        std::string text;
        for (int i = 0; i < l.count; i++)
            text += (i ? "," : "=") + std::to_string(l.numbers[i]);
        return text;
    };
    add(t.gentlePace, "gentle"), add(t.showAnswers, "show"), add(t.repeatMissed, "repeat");
    add(t.practiceList, "list"), add(t.roundMinutes, "round=" + std::to_string(t.roundMinutes));
    add(t.tables.count, "tables" + list(t.tables)), add(t.addends.count, "addends" + list(t.addends));
    add(t.remember, "remember"), add(t.fullscreen, "fullscreen"), add(t.window, "window");
    add(t.help || t.progress || t.forget, "acts");
    return s.empty() ? s : s.substr(1);
}

// Sets (or, for null, unsets) environment variables, and puts them back afterwards.
struct Environment {
    std::vector<std::pair<std::string, const char *>> saved;
    void set(const char *name, const char *value) {
        const char *was = getenv(name);
        saved.emplace_back(name, was ? strdup(was) : nullptr);
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~Environment() {
        for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
            it->second ? setenv(it->first.c_str(), it->second, 1) : unsetenv(it->first.c_str());
            free(const_cast<char *>(it->second));
        }
    }
};

const std::string SystemFile = "/etc/xdg/plimo/settings";

TEST(SettingsFiles, LinesBecomeSettingsOrOneLineNamingFileAndLine) {
    const std::string longLine(201, 'x');
    struct {
        std::string text;
        std::string settings; // when read
        std::string fault;    // when refused
    } const cases[] = {
        {"  # the second class\n\n\t--tables=7  # sevens\r\n--tables=8", "tables=7,8", ""},
        {"\xEF\xBB\xBF--remember\n", "remember", ""},
        {"--fullscreen\n--round=30\n", "round=30 fullscreen", ""},
        {"--practice\n--no-gentle\n--no-round\n", "show repeat list", ""},
        {"--tables=7,8\n--tables=8,9\n--no-addends\n", "tables=7,8,9", ""},
        {"--gentle\n\n--gentel\n--remember\n", "",
         SystemFile + ":3: --gentel: unknown option (plimo --help lists the options)"},
        {"window\n", "", SystemFile + ":1: window: not a setting (plimo --help lists the options, one a line in a settings file)"},
        {"gentle\n", "", SystemFile + ":1: gentle: unknown option; did you mean --gentle? (plimo --help lists the options)"},
        {"-no-remember\n", "", SystemFile + ":1: -no-remember: unknown option; did you mean --no-remember? (plimo --help lists the options)"},
        {"# ok\n--progress", "", SystemFile + ":2: --progress: acts and ends, so it belongs on the command line, not in a settings file"},
        {"--forget\n", "", SystemFile + ":1: --forget: acts and ends, so it belongs on the command line, not in a settings file"},
        {"--gentle --remember\n", "", SystemFile + ":1: --gentle --remember: one setting a line, without blanks inside it"},
        {"--no-gentle=1\n", "", SystemFile + ":1: --no-gentle=1: takes no value (plimo --help lists the options)"},
        {"--no-help\n", "", SystemFile + ":1: --no-help: unknown option (plimo --help lists the options)"},
        {"--tables=0\n", "", SystemFile + ":1: --tables=0: no division can be asked with these tables (a divisor cannot be 0); choose a table from 1 to 19 as well"},
        {std::string("--gen\0tle\n", 10), "", SystemFile + ":1: a NUL byte: this is no text file of setting words"},
        {longLine, "", SystemFile + ":1: a line of 201 characters: a settings file holds one setting a line, such as --tables=2,5,10"},
    };
    for (const auto &c : cases) {
        settings = Settings{};
        std::string fault;
        bool read = readSettingsText(SystemFile, c.text, &fault);
        EXPECT_EQ(read, c.fault.empty()) << c.text;
        EXPECT_EQ(fault, c.fault) << c.text;
        if (read) {
            EXPECT_EQ(summary(), c.settings) << c.text;
        }
    }
    settings = Settings{};
}

// Words in order, as the files and then the command line give them: lists add (a number
// counted once), a later value overrides, --no- turns off; only the command line asks for
// a window.
TEST(SettingsFiles, LaterWordsAddToListsOrOverrideAndNoWordsTurnOff) {
    struct Word {
        WordOrigin origin;
        const char *word;
        OptionResult result;
    };
    const WordOrigin F = FromSettingsFile, C = FromCommandLine;
    struct {
        std::vector<Word> words;
        const char *settings;
    } const cases[] = {
        {{{C, "--tables=7", OptionApplied}, {C, "--tables=8", OptionApplied}}, "tables=7,8 window"},
        {{{F, "--tables=7,2", OptionApplied}, {C, "--tables=2,5", OptionApplied}}, "tables=7,2,5 window"},
        {{{F, "--tables=7", OptionApplied}, {C, "--tables=8,8", BadOptionValue}}, "tables=7"},
        {{{F, "--tables=0", BadOptionValue}, {F, "--tables=7", OptionApplied}, {F, "--tables=0", OptionApplied}},
         "tables=7,0"},
        {{{F, "--tables=7", OptionApplied}, {F, "--no-tables", OptionApplied}, {C, "--tables=8", OptionApplied}},
         "tables=8 window"},
        {{{F, "--addends=9", OptionApplied}, {F, "--addends=3,9", OptionApplied}}, "addends=9,3"},
        {{{F, "--round=5", OptionApplied}, {C, "--practice", OptionApplied}}, "gentle show repeat list round=5 window"},
        {{{F, "--practice", OptionApplied}, {C, "--round=3", OptionApplied}}, "gentle show repeat list round=3 window"},
        {{{F, "--round=5", OptionApplied}, {F, "--round=20", OptionApplied}}, "round=20"},
        {{{F, "--round=5", OptionApplied}, {F, "--practice", OptionApplied}, {F, "--no-practice", OptionApplied}}, ""},
        {{{F, "--remember", OptionApplied}, {F, "--gentle", OptionApplied}, {C, "--no-remember", OptionApplied}},
         "gentle window"},
        {{{F, "--practice", OptionApplied}, {F, "--no-show-answers", OptionApplied}, {F, "--no-repeat-missed", OptionApplied},
          {C, "--no-practice-list", OptionApplied}},
         "gentle round=10 window"},
        {{{F, "--fullscreen", OptionApplied}, {F, "--gentle", OptionApplied}}, "gentle fullscreen"},
        {{{F, "--fullscreen", OptionApplied}, {C, "--no-fullscreen", OptionApplied}}, "window"},
        {{{C, "--fullscreen", OptionApplied}, {C, "--help", OptionApplied}}, "fullscreen acts"},
        {{{F, "--help", CommandLineOnly}, {C, "--no-progress", UnknownOption}, {C, "--no-gentel", UnknownOption}}, ""},
        {{{F, "-gentle", UnknownOption}, {C, "-w", NotAnOption}}, "window"},
    };
    for (const auto &c : cases) {
        settings = Settings{};
        std::string trace;
        for (const Word &w : c.words) {
            trace += std::string(w.origin == F ? " file:" : " line:") + w.word;
            char why[256] = "";
            EXPECT_EQ(readOptionFrom(w.origin, w.word, why, sizeof why), w.result) << trace << ": " << why;
        }
        EXPECT_EQ(summary(), c.settings) << trace;
    }
    settings = Settings{};
}

TEST(SettingsFiles, FoldersFollowTheXdgRulesFirstFolderReadLast) {
    struct {
        const char *dirs, *configHome, *home;
        std::vector<std::string> paths;
    } const cases[] = {
        {nullptr, nullptr, "/home/ann", {SystemFile, "/home/ann/.config/plimo/settings"}},
        {"", "", "/home/ann/", {SystemFile, "/home/ann/.config/plimo/settings"}},
        {"/a:/b/:relative::/c", "/x", "/home/ann", {"/c/plimo/settings", "/b/plimo/settings", "/a/plimo/settings", "/x/plimo/settings"}},
        {nullptr, "config", "/h", {SystemFile, "/h/.config/plimo/settings"}},
        {nullptr, nullptr, nullptr, {SystemFile}},
        {"/x:/y", "/x", nullptr, {"/y/plimo/settings", "/x/plimo/settings"}},
        {"/", nullptr, "relative", {"/plimo/settings"}},
    };
    for (const auto &c : cases) {
        Environment env;
        env.set("XDG_CONFIG_DIRS", c.dirs);
        env.set("XDG_CONFIG_HOME", c.configHome);
        env.set("HOME", c.home);
        EXPECT_EQ(settingsFilePaths(), c.paths) << (c.dirs ? c.dirs : "(unset)");
    }
}

// Files as they stand on a disk: the first folder of XDG_CONFIG_DIRS has the last word
// among the computer's files, the user's file comes after them, and a file that is not
// there is fine; one that cannot be read is named, without waiting on a FIFO.
TEST(SettingsFiles, FilesOnDiskInOrderAndTheUnreadableNamed) {
    ScratchDir dir;
    ASSERT_EQ(system("mkdir -p a/plimo b/plimo home/.config/plimo"), 0);
    dir.write("a/plimo/settings", "--round=5\n--tables=7\n--remember\n");
    dir.write("b/plimo/settings", "--round=20\n--gentle\n");
    dir.write("home/.config/plimo/settings", "--tables=8\n--no-remember\n");
    Environment env;
    env.set("XDG_CONFIG_DIRS", (dir.path() + "/a:" + dir.path() + "/b:" + dir.path() + "/none").c_str());
    env.set("XDG_CONFIG_HOME", nullptr);
    env.set("HOME", (dir.path() + "/home").c_str());
    settings = Settings{};
    std::vector<SettingsFileSeen> seen = readSettingsFiles();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].state, SettingsFileAbsent);
    EXPECT_EQ(seen[1].path + seen[2].path, dir.path() + "/b/plimo/settings" + dir.path() + "/a/plimo/settings");
    for (int i : {1, 2, 3})
        EXPECT_EQ(seen[i].state, SettingsFileRead) << seen[i].path << ": " << seen[i].fault;
    EXPECT_EQ(summary(), "gentle round=5 tables=7,8");

    const std::string path = dir.path() + "/home/.config/plimo/settings";
    struct {
        const char *make; // shell commands that make the file $f
        std::string fault;
    } const cases[] = {
        {"mkdir $f", path + ": a folder, not a settings file"},
        {"mkfifo $f", path + ": not a regular file"},
        {"ln -s $f $f", path + ": cannot be read: Too many levels of symbolic links"},
        {"head -c 65537 /dev/zero | tr '\\0' '#' > $f", path + ": larger than 65536 bytes: a settings file holds a few setting words"},
        {"head -c 65536 /dev/zero | tr '\\0' '#' > $f", ""},
    };
    for (const auto &c : cases) {
        ASSERT_EQ(system(("f='" + path + "'; rm -rf \"$f\"; " + std::string(c.make)).c_str()), 0) << c.make;
        SettingsFileSeen file = readSettingsFile(path);
        EXPECT_EQ(file.state, c.fault.empty() ? SettingsFileRead : SettingsFileRefused) << c.make;
        EXPECT_EQ(file.fault, c.fault) << c.make;
    }
    settings = Settings{};
}

// The real program: a misspelt word in the computer's or the user's file stops it before
// any window (the named video driver does not exist), status 2, with one line naming the
// file and line; --help says which files it read; --progress still does its work.
TEST(SettingsFiles, TheProgramStopsOnAFaultyFileAndHelpNamesTheFiles) {
    ScratchDir dir;
    ASSERT_EQ(system("mkdir -p xdg/plimo home/.config/plimo"), 0);
    const std::string systemFile = dir.path() + "/xdg/plimo/settings", userFile = dir.path() + "/home/.config/plimo/settings";
    const std::vector<std::string> env = {"SDL_VIDEODRIVER=no-such-driver", "SDL_AUDIODRIVER=dummy", "XDG_CONFIG_HOME=",
                                          "XDG_CONFIG_DIRS=" + dir.path() + "/xdg", "HOME=" + dir.path() + "/home",
                                          "XDG_DATA_HOME=" + dir.path() + "/data"};
    const std::string misspelt = ": --gentel: unknown option (plimo --help lists the options)\n";
    struct {
        std::string systemText, userText;
        std::vector<std::string> args;
        int status;
        std::string err;
    } const cases[] = {
        {"# school\n--gentle\n--gentel\n", "", {}, 2, systemFile + ":3" + misspelt},
        {"--gentle\n", "--gentel\n", {"window"}, 2, userFile + ":1" + misspelt},
        {"--gentel\n", "", {"--progress"}, 0, systemFile + ":1" + misspelt},
        {"--gentel\n", "", {"--tables=7,7"}, 2,
         systemFile + ":1" + misspelt + "--tables=7,7: needs numbers from 0 to 19, each once, as in --tables=2,5,10\n"},
    };
    for (const auto &c : cases) {
        dir.write("xdg/plimo/settings", c.systemText);
        dir.write("home/.config/plimo/settings", c.userText);
        ProcessResult r = runProcess(plimoBinary(), c.args, dir.path(), env, 20000);
        EXPECT_EQ(r.exitStatus, c.status) << c.systemText;
        EXPECT_EQ(r.err, c.err) << c.systemText;
    }
    unlink(userFile.c_str());
    dir.write("xdg/plimo/settings", "--tables=7\n");
    ProcessResult help = runProcess(plimoBinary(), {"--help"}, dir.path(), env, 20000);
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("  read: " + systemFile + "\n  not there: " + userFile + "\n"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--tables=7 --tables=8 practises 7 and 8"), std::string::npos) << help.out;
    dir.write("xdg/plimo/settings", "--no-gentle\n--tables=0\n");
    help = runProcess(plimoBinary(), {"--help"}, dir.path(), env, 20000);
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("  refused: " + systemFile + ":2: --tables=0: no division"), std::string::npos) << help.out;
}

// The manual page names every option and every --no- word, and no word that is neither
// (but the misspelling it shows); it gives the ranges the game reads.
TEST(SettingsFiles, TheManualPageListsExactlyTheOptions) {
    std::ifstream file(sourceDir() + "/packaging/plimo.6");
    std::string page((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(page.empty());
    // The page's words with their hyphens unescaped; each "--" and the letters and
    // hyphens after it.
    std::string plain;
    for (size_t i = 0; i < page.size(); i++)
        if (page.compare(i, 2, "\\-") != 0)
            plain += page[i];
    std::set<std::string> named;
    for (size_t at = plain.find("--"); at != std::string::npos; at = plain.find("--", at + 2)) {
        size_t end = plain.find_first_not_of("abcdefghijklmnopqrstuvwxyz-", at + 2);
        if (end > at + 2)
            named.insert(plain.substr(at, end - at));
    }
    std::set<std::string> words = {"--no-", "--gentel"};
    for (int i = 0; i < optionRowCount; i++) {
        words.insert(optionRows[i].word);
        if (!optionRows[i].actsAndEnds)
            words.insert(std::string(OffPrefix) + (optionRows[i].word + 2));
    }
    EXPECT_EQ(named, words);
    char range[64];
    snprintf(range, sizeof range, "a round of %d to %d minutes", RoundMinutesMin, RoundMinutesMax);
    EXPECT_NE(plain.find(range), std::string::npos) << range;
    snprintf(range, sizeof range, "numbers from 0 to %d separated by commas", ChosenNumberMax);
    EXPECT_NE(plain.find(range), std::string::npos) << range;
}

} // namespace
