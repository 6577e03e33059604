// The command line and the settings files: one table of options (shell/options.def) and
// the reading of a word.
#include "shell/options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ground/settings.h"
#include "practice/chosen_facts.h"

namespace {

enum class OptionId {
#define OPTION(id, word, value, label, help) id,
#include "shell/options.def"
#undef OPTION
};

constexpr OptionValue valueOf(const char *name) {
    return name[0] == '\0' ? OptionSwitch : name[0] == 'M' ? OptionMinutes : OptionList;
}

// The words that do their work and end the program instead of choosing a setting.
constexpr bool actsAndEnds(OptionId id) {
    return id == OptionId::Help || id == OptionId::Progress || id == OptionId::Forget;
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
    case OptionId::Practice:
        settings.gentlePace = settings.showAnswers = settings.repeatMissed = settings.practiceList = false;
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
    case OptionId::Progress:
    case OptionId::Forget:
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
    case OptionId::Practice:
        settings.gentlePace = settings.showAnswers = settings.repeatMissed = settings.practiceList = true;
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
    case OptionId::Forget:
        settings.forget = true;
        break;
    case OptionId::Fullscreen:
        settings.fullscreen = true;
        break;
    case OptionId::Help:
        settings.help = true;
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

} // namespace

const OptionRow optionRows[] = {
#define OPTION(id, word, value, label, help) {word, valueOf(value), label, help, actsAndEnds(OptionId::id)},
#include "shell/options.def"
#undef OPTION
};
const int optionRowCount = static_cast<int>(sizeof optionRows / sizeof optionRows[0]);

// Where a refusal sends the player.
static const char *const ListsTheOptions = "plimo --help lists the options";

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
                     ListsTheOptions);
            return UnknownOption;
        }
        if (fromFile) {
            snprintf(why, size, "%s: not a setting (%s, one a line in a settings file)", word, ListsTheOptions);
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
        snprintf(why, size, "%s: unknown option (%s)", word, ListsTheOptions);
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
    bool good = row.value == OptionSwitch || off ? !equals
                : row.value == OptionMinutes     ? equals && parseMinutes(equals + 1, &minutes)
                                                 : equals && parseList(equals + 1, &list);
    if (!good) {
        if (row.value == OptionSwitch || off)
            snprintf(why, size, "%s: takes no value (%s)", word, ListsTheOptions);
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
                 row.value == OptionSwitch ? "" : row.value == OptionMinutes ? "=MINUTES" : "=LIST");
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
