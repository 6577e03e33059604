// The teacher's view of a class (plimo --class-progress [FILE...]): every child's record,
// from this device or from files saved on others, merged by name; a line per child and
// the facts most children are stuck on; and the class's table for a spreadsheet.
#pragma once

#include <string>
#include <vector>

#include "record/progress_grid.h"
#include "record/progress_record.h"

// The class table's first line (a row per child and fact follows, the name first).
extern const char *const ClassCsvHeader;

// A cell for a spreadsheet: one beginning with = + - @ tab or carriage return (or with an
// apostrophe followed by what would need one) gets an apostrophe before it, so that a
// spreadsheet takes it as text and never as a formula. cellFromSpreadsheet undoes exactly
// that: cellFromSpreadsheet(spreadsheetCell(t)) == t for every t.
std::string spreadsheetCell(const std::string &text);
std::string cellFromSpreadsheet(const std::string &cell);

// The class table of players, for a spreadsheet: ClassCsvHeader, then per player (in the
// order given) a row per fact: name, fact, mark, then the fact's fields as the record keeps
// them; every cell through spreadsheetCell, then as CSV quotes it.
std::string classCsv(const std::vector<ProgressRecord> &players);

// Reads a class table back into one record per name (facts only: the table keeps no
// games), in the order first met. False with what is wrong and where in why.
bool parseClassCsv(const std::string &text, std::vector<ProgressRecord> *players, std::string *why);

// Adds the records read from text (a record, or a class table) to players, merging by
// name (compared as playerKey does; a record with no name is the device's own child) with
// mergeRecordInto, so that a game found in two files counts once. False with why (naming
// nothing: the caller names the file) when text is neither.
bool addToClass(const std::string &text, std::vector<ProgressRecord> *players, std::string *why);

// The text --class-progress prints for players: a heading, one line per child (name,
// games, minutes, last day played, and per operation how many facts are fluent, right
// but slow, sometimes wrong and stuck), then per operation the facts most children are
// stuck on (at most five, with the children's names). source names where the records came
// from.
// Its words are words's (englishGridWords() by default); the columns widen to their words.
std::string classProgressText(const std::vector<ProgressRecord> &players, const std::string &source,
                              const GridWords &words = englishGridWords());

// --class-progress: with no files, the records of this device (the one of no name and
// every player's); with files, those files (records or class tables) merged by name.
// Prints classProgressText on standard output. Returns the exit status: 0, also with no
// record at all; 1 when a file given cannot be read or is no record (one line each on
// standard error, the others still shown) or standard output fails.
int showClassProgress(const std::vector<std::string> &files);

// Writes the class table of the same records to standard output (the desktop's "save
// class as CSV"); the status as showClassProgress's.
int printClassCsv(const std::vector<std::string> &files);
