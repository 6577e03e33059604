// Settings files and the option words at their edges: file lines to settings or to the
// exact refusal, their order, --no- words, the XDG folders, and the manual page's list.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "ground/settings.h"
#include "shell/options.h"
#include "shell/settings_files.h"
#include "support.h"

namespace {

// The settings as one line: each setting that is on, lists as written.
std::string summary() {
    std::string s;
    auto list = [&](const char *name, const ChosenList &l) {
        if (l.count == 0)
            return;
        s += std::string(" ") + name + "=";
        for (int i = 0; i < l.count; i++)
            s += (i ? "," : "") + std::to_string(l.numbers[i]);
    };
    const Settings &t = settings;
    s += t.gentlePace ? " gentle" : "";
    s += t.showAnswers ? " show" : "";
    s += t.repeatMissed ? " repeat" : "";
    s += t.practiceList ? " list" : "";
    s += t.roundMinutes ? " round=" + std::to_string(t.roundMinutes) : "";
    list("tables", t.tables);
    list("addends", t.addends);
    s += t.remember ? " remember" : "";
    s += t.fullscreen ? " fullscreen" : "";
    s += t.window ? " window" : "";
    s += t.help || t.progress || t.forget ? " acts" : "";
    return s.empty() ? "" : s.substr(1);
}

// Sets (or, for null, unsets) the environment variables the folders come from, and puts
// them back afterwards.
struct Environment {
    std::vector<std::pair<std::string, std::string>> saved;
    std::vector<std::string> unset;
    void set(const char *name, const char *value) {
        const char *was = getenv(name);
        if (was)
            saved.emplace_back(name, was);
        else
            unset.push_back(name);
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~Environment() {
        for (auto it = saved.rbegin(); it != saved.rend(); ++it)
            setenv(it->first.c_str(), it->second.c_str(), 1);
        for (const std::string &name : unset)
            unsetenv(name.c_str());
    }
};

const std::string SystemFile = "/etc/xdg/plimo/settings";

TEST(SettingsFiles, LinesBecomeSettingsOrOneLineNamingFileAndLine) {
    const std::string longLine(201, 'x');
    struct {
        const char *text;
        std::string settings; // when read
        std::string fault;    // when refused
    } const cases[] = {
        {"--gentle\n", "gentle", ""},
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
        {"--help\n", "", SystemFile + ":1: --help: acts and ends, so it belongs on the command line, not in a settings file"},
        {"# ok\n--progress", "", SystemFile + ":2: --progress: acts and ends, so it belongs on the command line, not in a settings file"},
        {"--forget\n", "", SystemFile + ":1: --forget: acts and ends, so it belongs on the command line, not in a settings file"},
        {"--gentle --remember\n", "", SystemFile + ":1: --gentle --remember: one setting a line, without blanks inside it"},
        {"--round=31\n", "", SystemFile + ":1: --round=31: needs a whole number of minutes from 1 to 30, as in --round=10"},
        {"--tables=7,7\n", "", SystemFile + ":1: --tables=7,7: needs numbers from 0 to 19, each once, as in --tables=2,5,10"},
        {"--no-gentle=1\n", "", SystemFile + ":1: --no-gentle=1: takes no value (plimo --help lists the options)"},
        {"--no-help\n", "", SystemFile + ":1: --no-help: unknown option (plimo --help lists the options)"},
        {"--tables=0\n", "", SystemFile + ":1: --tables=0: no division can be asked with these tables (a divisor cannot be 0); choose a table from 1 to 19 as well"},
        {longLine.c_str(), "", SystemFile + ":1: a line of 201 characters: a settings file holds one setting a line, such as --tables=2,5,10"},
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
    // A NUL byte inside a word.
    settings = Settings{};
    std::string fault;
    EXPECT_FALSE(readSettingsText(SystemFile, std::string("--gen\0tle\n", 10), &fault));
    EXPECT_EQ(fault, SystemFile + ":1: a NUL byte: this is no text file of setting words");
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
        {{{F, "--show-answers", OptionApplied}, {F, "--no-show-answers", OptionApplied}}, ""},
        {{{F, "--repeat-missed", OptionApplied}, {F, "--no-repeat-missed", OptionApplied}}, ""},
        {{{F, "--practice-list", OptionApplied}, {F, "--no-practice-list", OptionApplied}}, ""},
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
    const std::string a = dir.path() + "/a", b = dir.path() + "/b", user = dir.path() + "/home/.config";
    for (const std::string &folder : {a, b, dir.path() + "/home", user})
        ASSERT_EQ(mkdir(folder.c_str(), 0755), 0) << folder;
    for (const std::string &folder : {a, b, user})
        ASSERT_EQ(mkdir((folder + "/plimo").c_str(), 0755), 0) << folder;
    std::ofstream(a + "/plimo/settings") << "--round=5\n--tables=7\n--remember\n";
    std::ofstream(b + "/plimo/settings") << "--round=20\n--gentle\n";
    std::ofstream(user + "/plimo/settings") << "--tables=8\n--no-remember\n";
    Environment env;
    env.set("XDG_CONFIG_DIRS", (a + ":" + b + ":" + dir.path() + "/none").c_str());
    env.set("XDG_CONFIG_HOME", nullptr);
    env.set("HOME", (dir.path() + "/home").c_str());
    settings = Settings{};
    std::vector<SettingsFileSeen> seen = readSettingsFiles();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].state, SettingsFileAbsent);
    EXPECT_EQ(seen[1].path, b + "/plimo/settings");
    EXPECT_EQ(seen[2].path, a + "/plimo/settings");
    for (int i : {1, 2, 3})
        EXPECT_EQ(seen[i].state, SettingsFileRead) << seen[i].path << ": " << seen[i].fault;
    EXPECT_EQ(summary(), "gentle round=5 tables=7,8");

    // Files that cannot be read, each named.
    const std::string path = user + "/plimo/settings";
    struct {
        const char *what;
        void (*make)(const std::string &path);
        std::string fault;
    } const cases[] = {
        {"a folder", [](const std::string &p) { mkdir(p.c_str(), 0755); }, path + ": a folder, not a settings file"},
        {"a FIFO", [](const std::string &p) { mkfifo(p.c_str(), 0644); }, path + ": not a regular file"},
        {"a loop of links", [](const std::string &p) { (void)!symlink(p.c_str(), p.c_str()); },
         path + ": cannot be read: Too many levels of symbolic links"},
        {"65537 bytes", [](const std::string &p) { std::ofstream(p) << std::string(65536, '#') << "\n"; },
         path + ": larger than 65536 bytes: a settings file holds a few setting words"},
        {"65536 bytes", [](const std::string &p) { std::ofstream(p) << std::string(65535, '#') << "\n"; }, ""},
    };
    for (const auto &c : cases) {
        unlink(path.c_str());
        rmdir(path.c_str());
        c.make(path);
        SettingsFileSeen file = readSettingsFile(path);
        EXPECT_EQ(file.state, c.fault.empty() ? SettingsFileRead : SettingsFileRefused) << c.what;
        EXPECT_EQ(file.fault, c.fault) << c.what;
    }
    settings = Settings{};
}

// The real program: a misspelt word in the computer's or the user's file stops it before
// any window (the named video driver does not exist), status 2, with one line naming the
// file and line; --help says which files it read; --progress still does its work.
TEST(SettingsFiles, TheProgramStopsOnAFaultyFileAndHelpNamesTheFiles) {
    ScratchDir dir;
    const std::string system = dir.path() + "/xdg", home = dir.path() + "/home";
    for (const std::string &folder : {system, system + "/plimo", home, home + "/.config", home + "/.config/plimo"})
        ASSERT_EQ(mkdir(folder.c_str(), 0755), 0) << folder;
    const std::string systemFile = system + "/plimo/settings", userFile = home + "/.config/plimo/settings";
    const std::vector<std::string> env = {"SDL_VIDEODRIVER=no-such-driver", "SDL_AUDIODRIVER=dummy",
                                          "XDG_CONFIG_DIRS=" + system, "HOME=" + home, "XDG_CONFIG_HOME=",
                                          "XDG_DATA_HOME=" + dir.path() + "/data"};
    struct {
        std::string systemText, userText;
        std::vector<std::string> args;
        int status;
        std::string err;
    } const cases[] = {
        {"# school\n--gentle\n--gentel\n", "", {}, 2,
         systemFile + ":3: --gentel: unknown option (plimo --help lists the options)\n"},
        {"--gentle\n", "--remmeber\n", {"window"}, 2,
         userFile + ":1: --remmeber: unknown option (plimo --help lists the options)\n"},
        {"--forget\n", "", {}, 2,
         systemFile + ":1: --forget: acts and ends, so it belongs on the command line, not in a settings file\n"},
        {"--gentel\n", "", {"--progress"}, 0, systemFile + ":1: --gentel: unknown option (plimo --help lists the options)\n"},
        {"--gentel\n", "", {"--gentle", "--tables=7,7"}, 2,
         systemFile + ":1: --gentel: unknown option (plimo --help lists the options)\n"
                      "--tables=7,7: needs numbers from 0 to 19, each once, as in --tables=2,5,10\n"},
    };
    for (const auto &c : cases) {
        std::ofstream(systemFile) << c.systemText;
        std::ofstream(userFile) << c.userText;
        ProcessResult r = runProcess(plimoBinary(), c.args, dir.path(), env, 20000);
        EXPECT_EQ(r.exitStatus, c.status) << c.systemText;
        EXPECT_EQ(r.err, c.err) << c.systemText;
    }
    unlink(userFile.c_str());
    std::ofstream(systemFile) << "--tables=7\n";
    ProcessResult help = runProcess(plimoBinary(), {"--help"}, dir.path(), env, 20000);
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("  read: " + systemFile + "\n  not there: " + userFile + "\n"), std::string::npos)
        << help.out;
    EXPECT_NE(help.out.find("--tables=7 --tables=8 practises 7 and 8"), std::string::npos) << help.out;
    std::ofstream(systemFile) << "--no-gentle\n--tables=0\n";
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
