// The command line: one table of options (shell/options.def) and the reading of a word.
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
};

// Every option, in --help order.
extern const OptionRow optionRows[];
extern const int optionRowCount;


// What readOption made of a word.
enum OptionResult {
    OptionApplied,  // an option: its setting is on
    NotAnOption,    // a word not starting with "--": a request for a window, as always
    UnknownOption,  // starts with "--" but is no option (a misspelling): refuse to start
    BadOptionValue, // an option whose value is missing, extra or out of range
};

// Applies one command-line word: turns on the setting(s) an option names and records in
// commandLine what it asks of the program. On UnknownOption or BadOptionValue the reason,
// naming the word, is written into why (size bytes, always terminated).
OptionResult readOption(const char *word, char *why, size_t size);

// The options, one per line with what each does, as --help prints them.
const char *optionsHelp();
