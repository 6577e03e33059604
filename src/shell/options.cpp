// The command line and the settings files: one table of options (shell/options.def) and
// the reading of a word.
#include "shell/options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ground/settings.h"
#include "practice/chosen_facts.h"
#include "shell/command_name.h"
#include "record/players.h"

namespace {

enum class OptionId {
#define OPTION(id, word, value, label, help) id,
#include "shell/options.def"
#undef OPTION
};

constexpr OptionValue valueOf(const char *name) {
    return name[0] == '\0'  ? OptionSwitch
           : name[0] == 'M' ? OptionMinutes
           : name[0] == 'N' ? (name[4] == '\0' ? OptionName : OptionNames)
                            : OptionList;
}

// The words that do their work and end the program instead of choosing a setting (and
// --yes, which only such a word reads: a file must not make --forget silent).
constexpr bool actsAndEnds(OptionId id) {
    return id == OptionId::Help || id == OptionId::Progress || id == OptionId::Forget || id == OptionId::Yes ||
           id == OptionId::ClassProgress;
}

// The numbers of a LIST value, in the order written, each 0 to MaxListNumber.
constexpr int MaxListNumber = ChosenNumberMax;
struct NumberList {
    int count = 0;
    int numbers[MaxChosenNumbers] = {};
};

// Reads "2,5,10": numbers 0 to MaxListNumber, separated by single commas, none twice.
bool parseList(const char *text, NumberList *list) {
    const char *p = text;
    while (true) {
        if (*p < '0' || *p > '9')
            return false;
        int n = 0;
        while (*p >= '0' && *p <= '9' && n <= MaxListNumber)
            n = n * 10 + (*p++ - '0');
        if (n > MaxListNumber || (*p >= '0' && *p <= '9'))
            return false;
        for (int i = 0; i < list->count; i++)
            if (list->numbers[i] == n)
                return false;
        list->numbers[list->count++] = n;
        if (*p == '\0')
            return true;
        if (*p++ != ',')
            return false;
    }
}

// Reads a whole number of minutes, RoundMinutesMin to RoundMinutesMax.
bool parseMinutes(const char *text, int *minutes) {
    char *end = nullptr;
    if (*text < '0' || *text > '9')
        return false;
    long n = strtol(text, &end, 10);
    if (*end != '\0' || n < RoundMinutesMin || n > RoundMinutesMax)
        return false;
    *minutes = static_cast<int>(n);
    return true;
}

// The numbers of chosen (the list earlier words made) followed by those of more that it
// does not hold yet: a list given again adds to the list, each number once.
NumberList joined(const ChosenList &chosen, const NumberList &more) {
    NumberList list;
    for (int i = 0; i < chosen.count; i++)
        list.numbers[list.count++] = chosen.numbers[i];
    for (int i = 0; i < more.count; i++) {
        bool held = false;
        for (int j = 0; j < list.count; j++)
            held = held || list.numbers[j] == more.numbers[i];
        // Numbers are 0 to MaxListNumber, each once: the list never outgrows its room.
        if (!held && list.count < MaxChosenNumbers)
            list.numbers[list.count++] = more.numbers[i];
    }
    return list;
}

// Turns off what the option id turns on: a "--no-" word, which undoes a setting an
// earlier file or word gave. --no-practice turns off all its settings, the round too.
void turnOff(OptionId id) {
    switch (id) {
    case OptionId::Gentle:
        settings.gentlePace = false;
        break;
    case OptionId::ShowAnswers:
        settings.showAnswers = false;
        break;
    case OptionId::Round:
        settings.roundMinutes = 0;
        break;
    case OptionId::RepeatMissed:
        settings.repeatMissed = false;
        break;
    case OptionId::PracticeList:
        settings.practiceList = false;
        break;
    case OptionId::ClearView:
        settings.clearView = false;
        break;
    case OptionId::Practice:
        settings.gentlePace = settings.showAnswers = settings.repeatMissed = settings.practiceList = false;
        settings.clearView = false;
        settings.roundMinutes = 0;
        break;
    case OptionId::Tables:
        settings.tables = ChosenList{};
        break;
    case OptionId::Addends:
        settings.addends = ChosenList{};
        break;
    case OptionId::Remember:
        settings.remember = false;
        break;
    case OptionId::Fullscreen:
        settings.fullscreen = false;
        break;
    case OptionId::Player:
        settings.player[0] = '\0';
        break;
    case OptionId::Class:
        settings.classList = ClassList{};
        break;
    case OptionId::Progress:
    case OptionId::ClassProgress:
    case OptionId::Forget:
    case OptionId::Yes:
    case OptionId::Help:
        break; // no "--no-" word: they act and end
    }
}

// Turns on what the option id names; minutes holds its value, when it takes one.
void apply(OptionId id, int minutes) {
    switch (id) {
    case OptionId::Gentle:
        settings.gentlePace = true;
        break;
    case OptionId::ShowAnswers:
        settings.showAnswers = true;
        break;
    case OptionId::Round:
        settings.roundMinutes = minutes;
        break;
    case OptionId::RepeatMissed:
        settings.repeatMissed = true;
        break;
    case OptionId::PracticeList:
        settings.practiceList = true;
        break;
    case OptionId::ClearView:
        settings.clearView = true;
        break;
    case OptionId::Practice:
        settings.gentlePace = settings.showAnswers = settings.repeatMissed = settings.practiceList = true;
        settings.clearView = true;
        // A round of its own length, unless one is given (before or after).
        if (settings.roundMinutes == 0)
            settings.roundMinutes = PracticeRoundMinutes;
        break;
    case OptionId::Tables:
    case OptionId::Addends:
        break; // read with their lists, in chooseList
    case OptionId::Remember:
        settings.remember = true;
        break;
    case OptionId::Progress:
        settings.progress = true;
        break;
    case OptionId::ClassProgress:
        settings.classProgress = true;
        break;
    case OptionId::Forget:
        settings.forget = true;
        break;
    case OptionId::Yes:
        settings.assumeYes = true;
        break;
    case OptionId::Fullscreen:
        settings.fullscreen = true;
        break;
    case OptionId::Help:
        settings.help = true;
        break;
    case OptionId::Player:
        break; // read with its name, in takeNames
    case OptionId::Class:
        // Each child of a class keeps a record.
        settings.remember = true;
        break;
    }
}

// Adds the numbers of a chosen-facts option to its list; false, with the reason in why and
// the list as it was, when the whole list leaves a mode without a problem to ask.
bool chooseList(OptionId id, const NumberList &more, const char *word, char *why, size_t size) {
    if (id == OptionId::Tables) {
        NumberList list = joined(settings.tables, more);
        return chooseTables(list.numbers, list.count, word, why, size);
    }
    if (id == OptionId::Addends) {
        NumberList list = joined(settings.addends, more);
        return chooseAddends(list.numbers, list.count, word, why, size);
    }
    return true;
}

// A name from the command line as a fault line shows it: at most 32 bytes (then "...",
// cut between characters), and of the rest only printable ASCII and the printable
// characters of ISO-8859-1 in UTF-8, every other byte as '?' (the reason names the
// character), so that no name can cut the line or steer the terminal.
std::string shownName(const char *text, size_t length) {
    constexpr size_t Most = 32;
    size_t shown = length;
    if (length > Most) {
        shown = Most;
        while (shown > 0 && (static_cast<unsigned char>(text[shown]) & 0xC0) == 0x80)
            shown--;
    }
    std::string name;
    for (size_t i = 0; i < shown; i++) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        unsigned char next = i + 1 < shown ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (c >= 0x20 && c < 0x7F) {
            name += static_cast<char>(c);
        } else if ((c == 0xC2 && next >= 0xA0 && next <= 0xBF) || (c == 0xC3 && next >= 0x80 && next <= 0xBF)) {
            name += text[i];
            name += text[++i];
        } else {
            name += '?';
        }
    }
    return shown < length ? name + "..." : name;
}

// Reads --player's NAME or --class's NAMES (value: the text after "=", null when there
// is none) into the settings. False with the reason in why, naming the option and the
// name at fault; the settings are then left as they were.
bool takeNames(OptionId id, const char *value, char *why, size_t size) {
    std::string canonical, fault;
    if (id == OptionId::Player) {
        if (!value) {
            snprintf(why, size, "--player: needs a name, as in --player=Ana");
            return false;
        }
        if (!checkPlayerName(value, &canonical, &fault)) {
            snprintf(why, size, "--player=%s: %s", shownName(value, strlen(value)).c_str(), fault.c_str());
            return false;
        }
        snprintf(settings.player, sizeof settings.player, "%s", canonical.c_str());
        return true;
    }
    if (!value) {
        snprintf(why, size, "--class: needs names, as in --class=Ana,Ben,Cleo");
        return false;
    }
    ClassList read;
    std::string keys[ClassListMax];
    const char *piece = value;
    for (int n = 1;; n++) {
        size_t length = strcspn(piece, ",");
        if (n > ClassListMax) {
            int given = n;
            for (const char *p = piece; *p; p++)
                given += *p == ',';
            snprintf(why, size, "--class: more than %d names (%d given)", ClassListMax, given);
            return false;
        }
        std::string name(piece, length);
        if (!checkPlayerName(name.c_str(), &canonical, &fault)) {
            snprintf(why, size, "--class: name %d (\"%s\"): %s", n, shownName(piece, length).c_str(), fault.c_str());
            return false;
        }
        keys[n - 1] = playerKey(canonical);
        for (int earlier = 0; earlier < n - 1; earlier++) {
            if (keys[earlier] == keys[n - 1]) {
                snprintf(why, size, "--class: names %d (\"%s\") and %d (\"%s\") are one child", earlier + 1,
                         read.names[earlier], n, shownName(piece, length).c_str());
                return false;
            }
        }
        snprintf(read.names[n - 1], sizeof read.names[n - 1], "%s", canonical.c_str());
        read.count = n;
        if (piece[length] == '\0')
            break;
        piece += length + 1;
    }
    settings.classList = read;
    return true;
}

} // namespace

const OptionRow optionRows[] = {
#define OPTION(id, word, value, label, help) {word, valueOf(value), label, help, actsAndEnds(OptionId::id)},
#include "shell/options.def"
#undef OPTION
};
const int optionRowCount = static_cast<int>(sizeof optionRows / sizeof optionRows[0]);

// Where a refusal sends the player.
// "plimo --help lists the options", with the command that started the game.
static const char *listsTheOptions() {
    static std::string text;
    text = std::string(commandName()) + " --help lists the options";
    return text.c_str();
}

// The row whose word is name (of length length) ("--gentle"), or -1.
static int rowNamed(const char *name, size_t length) {
    for (int i = 0; i < optionRowCount; i++)
        if (strlen(optionRows[i].word) == length && strncmp(name, optionRows[i].word, length) == 0)
            return i;
    return -1;
}

// The row whose "--no-" word is name (of length length), or -1: "--no-gentle" names the
// row of "--gentle".
static int rowTurnedOff(const char *name, size_t length) {
    size_t prefix = strlen(OffPrefix);
    if (length <= prefix || strncmp(name, OffPrefix, prefix) != 0)
        return -1;
    for (int i = 0; i < optionRowCount; i++) {
        const char *bare = optionRows[i].word + 2;
        size_t bareLength = length - prefix;
        if (!optionRows[i].actsAndEnds && strlen(bare) == bareLength && strncmp(name + prefix, bare, bareLength) == 0)
            return i;
    }
    return -1;
}

// The option word meant by a word with dashes too few ("-remember" and "remember" both
// mean --remember, "-no-gentle" means --no-gentle), or "" when it names none.
static std::string wordMeant(const char *word) {
    const char *name = word[0] == '-' ? word + 1 : word;
    if (name[0] == '-' || name[0] == '\0')
        return "";
    std::string meant = std::string("--") + name;
    size_t length = strcspn(meant.c_str(), "=");
    if (rowNamed(meant.c_str(), length) < 0 && rowTurnedOff(meant.c_str(), length) < 0)
        return "";
    return meant.substr(0, length);
}

OptionResult readOption(const char *word, char *why, size_t size) {
    return readOptionFrom(FromCommandLine, word, why, size);
}

OptionResult readOptionFrom(WordOrigin origin, const char *word, char *why, size_t size) {
    bool fromFile = origin == FromSettingsFile;
    if (strncmp(word, "--", 2) != 0) {
        std::string meant = word[0] == '-' || fromFile ? wordMeant(word) : "";
        if (!meant.empty()) {
            // On the command line it would only ask for a window, with the setting off.
            snprintf(why, size, "%s: unknown option; did you mean %s? (%s)", word, meant.c_str(),
                     listsTheOptions());
            return UnknownOption;
        }
        if (fromFile) {
            snprintf(why, size, "%s: not a setting (%s, one a line in a settings file)", word, listsTheOptions());
            return UnknownOption;
        }
        settings.window = true;
        return NotAnOption;
    }
    const char *equals = strchr(word, '=');
    size_t nameLength = equals ? static_cast<size_t>(equals - word) : strlen(word);
    int i = rowNamed(word, nameLength);
    bool off = false;
    if (i < 0) {
        i = rowTurnedOff(word, nameLength);
        off = i >= 0;
    }
    if (i < 0) {
        snprintf(why, size, "%s: unknown option (%s)", word, listsTheOptions());
        return UnknownOption;
    }
    const OptionRow &row = optionRows[i];
    OptionId id = static_cast<OptionId>(i);
    if (fromFile && row.actsAndEnds) {
        snprintf(why, size, "%s: acts and ends, so it belongs on the command line, not in a settings file", word);
        return CommandLineOnly;
    }
    int minutes = 0;
    NumberList list;
    // Names give their own reasons, in takeNames.
    bool good = row.value == OptionSwitch || off ? !equals
                : row.value == OptionMinutes     ? equals && parseMinutes(equals + 1, &minutes)
                : row.value == OptionList        ? equals && parseList(equals + 1, &list)
                                                 : true;
    if (!good) {
        if (row.value == OptionSwitch || off)
            snprintf(why, size, "%s: takes no value (%s)", word, listsTheOptions());
        else if (row.value == OptionMinutes)
            snprintf(why, size, "%s: needs a whole number of minutes from %d to %d, as in %s=10", word, RoundMinutesMin,
                     RoundMinutesMax, row.word);
        else
            snprintf(why, size, "%s: needs numbers from 0 to %d, each once, as in %s=2,5,10", word, MaxListNumber,
                     row.word);
        return BadOptionValue;
    }
    if (!off && row.value == OptionList && !chooseList(id, list, word, why, size))
        return BadOptionValue;
    if (!off && (row.value == OptionName || row.value == OptionNames) &&
        !takeNames(id, equals ? equals + 1 : nullptr, why, size))
        return BadOptionValue;
    // Only the command line chooses a window: a school's settings file leaves the screen
    // as the child's start asks. --no-fullscreen asks for one as any other word does.
    if (!fromFile && id != OptionId::Help && (id != OptionId::Fullscreen || off))
        settings.window = true;
    if (off)
        turnOff(id);
    else
        apply(id, minutes);
    return OptionApplied;
}

const char *optionsHelp() {
    // Each option's word (with its value's name), then its help wrapped at 79 columns
    // in a column of its own.
    static char text[4096];
    const int helpColumn = 22, width = 79;
    size_t used = 0;
    auto add = [&](const char *format, auto... args) {
        if (used < sizeof text)
            used += static_cast<size_t>(snprintf(text + used, sizeof text - used, format, args...));
    };
    for (int i = 0; i < optionRowCount; i++) {
        const OptionRow &row = optionRows[i];
        char word[32];
        snprintf(word, sizeof word, "%s%s", row.word,
                 row.value == OptionSwitch    ? ""
                 : row.value == OptionMinutes ? "=MINUTES"
                 : row.value == OptionName    ? "=NAME"
                 : row.value == OptionNames   ? "=NAMES"
                                              : "=LIST");
        add("  %-*s", helpColumn - 2, word);
        int column = helpColumn;
        if (static_cast<int>(strlen(word)) + 2 >= helpColumn) {
            add("\n%*s", helpColumn, "");
        }
        const char *p = row.help;
        while (*p) {
            const char *space = strchr(p, ' ');
            int length = space ? static_cast<int>(space - p) : static_cast<int>(strlen(p));
            if (column > helpColumn && column + 1 + length > width) {
                add("\n%*s", helpColumn, "");
                column = helpColumn;
            }
            if (column > helpColumn) {
                add("%s", " ");
                column++;
            }
            add("%.*s", length, p);
            column += length;
            p += length;
            while (*p == ' ')
                p++;
        }
        add("%s", "\n");
    }
    return text;
}
