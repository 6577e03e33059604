// The progress record (--remember): every fact a child has met, kept across days in one
// CSV file on the child's own device, merged with each game when it ends, and how well
// each fact is known.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The most bytes a record may hold (the desktop's file, the page's stored value): room
// for a class of 40 children who have met every fact; anything larger is refused at
// once and kept aside as damaged, before it is read.
constexpr long ProgressRecordMaxBytes = 1L << 20;

// The largest count (and median ms) a record holds: 15 digits. The reader refuses more;
// merging holds a count there rather than passing it, so that whatever the game writes it
// can read back.
constexpr int64_t ProgressCountMax = 999999999999999LL;

// One fact's outcome in one game, as the game tallied it.
struct FactOutcome {
    std::string fact;                   // the problem as the game writes it: "7 * 8"
    int32_t asked = 0;                  // times it became the leading problem
    int32_t rightFirstTry = 0;          // times answered right with no wrong answer before
    int32_t wrong = 0;                  // times answered wrong at least once
    int32_t tooSlow = 0;                // times it came near the left edge (the red warning)
    std::vector<int32_t> rightAnswerMs; // ms from leading to the right answer, one per right answer
};

// One row of the record: one fact over every game kept.
struct ProgressRow {
    std::string fact;
    int64_t asked = 0;
    int64_t rightFirstTry = 0;
    int64_t wrong = 0;
    int64_t tooSlow = 0;
    int64_t medianMs = -1;  // median ms of the right answers; -1 before any right answer
    std::string lastPlayed; // "YYYY-MM-DD"
};

// The record's first line.
extern const char *const ProgressHeader;

// Where the record is kept: $XDG_DATA_HOME/plimo/progress.csv, or
// $HOME/.local/share/plimo/progress.csv when XDG_DATA_HOME is unset or empty (or not an
// absolute path). Empty when neither gives a place.
std::string progressRecordPath();

// The record as CSV: the header, then one line per row in the order given.
std::string formatProgressRecord(const std::vector<ProgressRow> &rows);

// Reads a record's CSV text into rows (in file order). False, with what is wrong and on
// which line in why, when the text is no record this game wrote: a missing or other
// header, a line without its seven fields, a count that is no whole number or is
// greater than the times asked or than ProgressCountMax, a fact that is no "a op b", a
// fact twice, a date that is no YYYY-MM-DD. Fields may be quoted as CSV allows; lines may
// end in CRLF. Time linear in the text's length.
bool parseProgressRecord(const std::string &text, std::vector<ProgressRow> *rows, std::string *why);

// Adds one game's outcomes to rows, dated date ("YYYY-MM-DD"); facts new to the record
// are appended in the order played. Facts not asked (asked 0) are left out. The median
// of the right answers is kept over every game: the earlier answers count as that many
// answers (one per right answer at the first try) at the earlier median.
void mergeOutcomes(std::vector<ProgressRow> *rows, const std::vector<FactOutcome> &outcomes, const std::string &date);

// What reading the record at path found.
enum RecordState {
    RecordAbsent,     // no file yet
    RecordRead,       // rows hold it
    RecordDamaged,    // the file is there but is no record (why says what is wrong)
    RecordUnreadable, // the file cannot be read (why says why)
};
// A record larger than ProgressRecordMaxBytes is damaged, told from its size alone.
RecordState readProgressRecord(const std::string &path, std::vector<ProgressRow> *rows, std::string *why);

// The game's own folders of the record at path, outermost first: every folder from the
// one named "plimo" down to the record's (at most three), or, when none is so named,
// only the record's folder.
std::vector<std::string> recordFolders(const std::string &path);

// Makes the folders of the record at path as needed (the data folders above the game's
// own as any program does; the game's own one by one, mode 0700) and checks each of the
// game's own with checkFolderTrusted before anything goes into it. False with one line in
// why: nothing is then made inside a folder that failed.
bool prepareRecordFolders(const std::string &path, std::string *why);

// Merges one game into the record at path, dated date: makes and checks its folders
// (prepareRecordFolders), takes the record's lock (takeLockBeside, LockWaitMs), removes
// what killed writers left, reads the record inside the lock, keeps a damaged one aside
// as "<path>.damaged-<date>" (then -2, -3, ... when taken) and starts afresh, adds the
// game and writes the record atomically. Returns false when the game could not be kept
// (the old record is then untouched; so is an untrusted folder). message receives what
// the player should know (a damaged record kept aside, or why nothing was written), one
// line, never cut; empty when all went well.
bool keepGameInRecord(const std::string &path, const std::vector<FactOutcome> &outcomes, const std::string &date,
                      std::string *message);

// How well a fact is known, as the grid shows it.
enum FactState {
    FactNotPlayed, // never asked
    FactFluent,    // right at the first try at least 4 times in 5, median answer within 3 s
    FactSlow,      // right at the first try at least half the times, but not fluent
    FactStuck,     // right at the first try fewer than half the times
};
// The thresholds of fluent and stuck.
constexpr int64_t FluentMedianMs = 3000;
FactState factState(const ProgressRow &row);

// A fact of the record read back: "a op b" with op one of + - * /. False for anything else.
bool splitFact(const std::string &fact, int *a, char *op, int *b);
