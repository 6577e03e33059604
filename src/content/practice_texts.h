// The practice screen of the content file: the words of the practice settings, the class
// and the progress grids, read by name in the current language, with their fallbacks, and
// the safe filling of their numbered placeholders.
#pragma once

#include <string>
#include <vector>

#include <tinyxml.h>

// The name of the screen that holds them, after the menus' five.
extern const char *const PracticeScreenName;

// The items, in the content file's order (makers/make_content.py keeps the same names
// and order). A new item goes last, here, in practiceTextItems and in every language of
// the maker.
enum PracticeTextId {
    RoundSummary,       // {1} answered, {2} missed, {3} right at the first try, {4} median seconds
    ListMarkWrong,      // the practice list's mark of a fact answered wrong
    ListMarkSlow,       // the practice list's mark of a fact not answered in time
    ListLegend,         // one line saying what the two marks mean
    PauseHint,          // "Press a key to go on"
    ClassTitle,         // "Who is playing?"
    ClassHint,          // how to choose a name: the arrows, then Return
    WordFluent,         // the progress marks' words
    WordSometimesWrong,
    WordRightButSlow,
    WordStuck,
    WordNotYetAsked,
    WordGames,          // the class view's columns
    WordMinutes,
    WordLastPlayed,
    FluentRule,         // what fluent means; {1} the fluency time in seconds
    NameAddition,       // the operations, as the main menu names them
    NameSubtraction,
    NameMultiplication,
    NameDivision,
    GridAddition,       // how each grid's rows and columns are read
    GridSubtraction,
    GridMultiplication,
    GridDivision,
    ProgressHeading,    // {1} the record's file, {2} how many facts were played
    ProgressNone,       // {1} the record's file, which is not there
    LegendIntro,        // the line above the marks' legend
    BeyondTwelve,       // the heading of the facts beyond the grids
    ClassStuck,         // the heading of the facts most children are stuck on
    ClassNone,          // the class view with no record at all
    WordRightSoFar,     // the mark of a fact right and quick, not yet asked enough to tell
    LegendFluent,       // the legend's line per mark, its word first; {1} the fluency seconds
    LegendRightSoFar,
    LegendRightButSlow,
    LegendSometimesWrong,
    LegendStuck,
    LegendNotYetPlayed,
    ProgressOf,         // {1} player, {2} record's file, {3} facts, {4} games, {5} last day
    ClassOf,            // {1} where the class's records came from, {2} how many children
    ClassMarks,         // what the class view's columns count
    NoneYet,            // after an operation no child is stuck on
    PracticeTextCount,
};

// One item: its name in the content file, the English it falls back on when no language
// of the file has it, and how many numbered placeholders {1}..{n} it holds, each once.
struct PracticeTextItem {
    const char *name;
    const char *english;
    int placeholders;
};
extern const PracticeTextItem practiceTextItems[PracticeTextCount];

// The text of item id in game.currentLanguage; when that language lacks the practice
// screen or a usable item (one with a text whose placeholders are {1}..{n} each once),
// the first language of the file that has one; when none has, the built-in English.
// Never null. The bytes are the content file's (ISO-8859-1, as the font draws them); the
// pointer lives as long as the loaded content, or forever for the English.
const char *practiceText(PracticeTextId id);

// The usable text of item id in language (an element of the language list), or null when
// the language lacks the screen, the item, its text or the right placeholders.
const char *practiceTextOf(TiXmlElement *language, PracticeTextId id);

// Whether text holds each of {1}..{count} exactly once and no other {number}.
bool placeholdersMatch(const char *text, int count);

// format with each placeholder {n} (n from 1, one or two digits) replaced by values[n-1];
// a placeholder repeated is filled each time. A placeholder without a value ({3} with two
// values, {0}) and every other brace stay as written, so that a fault shows; values are
// put in as they are and never read for placeholders themselves. A null format gives "".
std::string fillText(const char *format, const std::vector<std::string> &values);
