// The command line and the settings files: one table of options (shell/options.def) and
// the reading of a word.
#pragma once

#include <cstddef>

// What an option takes after "=": nothing (a switch), minutes, a list of numbers, a
// child's name or a list of names.
enum OptionValue {
    OptionSwitch,
    OptionMinutes,
    OptionList,
    OptionName,
    OptionNames,
};

// One option as the table writes it.
struct OptionRow {
    const char *word;      // "--gentle"
    OptionValue value;     // what follows "=", if anything
    const char *pageLabel; // the page's switch text; "" when the page does not offer it
    const char *help;      // its --help line
    bool actsAndEnds;      // --help, --progress, --forget: does its work and ends the program,
                           // so it is a command-line word only, with no "--no-" word
};

// Every option, in --help order.
extern const OptionRow optionRows[];
extern const int optionRowCount;

// The word that turns a setting off: "--no-" and the option's word without its dashes.
// Every option has one but those that act and end.
constexpr const char *OffPrefix = "--no-";

// Where a word was written. A settings file holds settings only: its words never ask for
// a window, and the words that act and end are refused there.
enum WordOrigin {
    FromCommandLine,
    FromSettingsFile,
};

// What readOption made of a word.
enum OptionResult {
    OptionApplied,   // an option: its setting is on (or, for a "--no-" word, off)
    NotAnOption,     // a command-line word not starting with "--": a request for a window, as always
    UnknownOption,   // starts with "--" but is no option (a misspelling), or any such word in a file
    BadOptionValue,  // an option whose value is missing, extra or out of range
    CommandLineOnly, // a word that acts and ends, written in a settings file
};

// Applies one word to settings: an option turns on the setting(s) it names (a switch on,
// a round's minutes set, a list's numbers added to those earlier words chose, a number
// already there counted once), a "--no-" word turns them off again (a list emptied), and
// a command-line word other than --help and --fullscreen asks for a window. On
// UnknownOption, BadOptionValue or CommandLineOnly nothing changes and the reason, naming
// the word, is written into why (size bytes, always terminated).
OptionResult readOptionFrom(WordOrigin origin, const char *word, char *why, size_t size);
// The same for a word of the command line.
OptionResult readOption(const char *word, char *why, size_t size);

// The options, one per line with what each does, as --help prints them.
const char *optionsHelp();
