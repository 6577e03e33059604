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

// The longest a right answer may take to count as fluent (ms), from when the fact was
// to be answered; an answer after the red warning is never fluent.
constexpr int32_t FluentAnswerMs = 3000;
// Kept of each fact: its last askings, at most this many.
constexpr int LastAskingsKept = 3;
// Kept of a record's games (their ids, days and lengths): at most this many, the oldest
// let go first when more are written (a record read with more is damaged).
constexpr int ProgressGamesMax = 10000;

// One time a fact was put to the child in a game (it became the one to answer), as the
// game saw it by the game's end.
struct FactAsking {
    bool answeredRight = false; // answered right before it left the field or the game ended
    bool answeredWrong = false; // a wrong answer was typed for it (before or without a right one)
    bool warned = false;        // it reached the red warning near the left edge
    int32_t ms = -1;            // ms from when it was to be answered to the right answer; -1 when not answered right
};

// What an asking counts as in the record, as one letter.
enum AskingResult : char {
    AskingNotCounted = 0,  // not answered and never warned: the game ended under it; not the child's
    AskingFluent = 'f',    // right with no wrong answer first, within FluentAnswerMs and before the warning
    AskingSlow = 's',      // right with no wrong answer first, but slower or after the warning
    AskingWrong = 'w',     // answered wrong (whether or not right after)
    AskingTooSlow = 't',   // reached the warning and was never answered right
};
AskingResult askingResult(const FactAsking &asking);

// One fact's outcome in one game, as the game tallied it.
struct FactOutcome {
    std::string fact;                   // the problem as the game writes it: "7 * 8"
    int32_t asked = 0;                  // times it became the leading problem
    int32_t rightFirstTry = 0;          // times answered right with no wrong answer before
    int32_t wrong = 0;                  // times answered wrong at least once
    int32_t tooSlow = 0;                // times it came near the left edge (the red warning)
    std::vector<int32_t> rightAnswerMs; // ms from leading to the right answer, one per right answer
    // Each asking in the game's order. When given, the counts above are not read: they
    // are taken from the askings (askings not counted left out), and the last askings
    // that the marks read are kept. Without it only the counts are kept.
    std::vector<FactAsking> askings;
};

// One asking as the record keeps it.
struct KeptAsking {
    std::string date;   // the day of its game, "YYYY-MM-DD"
    std::string gameId; // its game's id
    int32_t number = 1; // it was the fact's n-th asking in that game (1, 2, ...)
    AskingResult result = AskingFluent;
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
    std::vector<KeptAsking> lastAskings; // oldest first, at most LastAskingsKept; none in records of before
};

// One game kept: its id, its day and how long it was played.
struct KeptGame {
    std::string id;      // 1 to 32 lowercase hex digits, unique to the game (newGameId)
    std::string date;    // "YYYY-MM-DD"
    int64_t seconds = 0; // seconds played
};

// A whole record: whose it is, its facts and its games.
struct ProgressRecord {
    std::string player;             // the player's name as first given; empty when no player was named
    std::vector<ProgressRow> rows;  // in the order first played
    std::vector<KeptGame> games;    // in the order kept
};

// A fresh game id: 16 hex digits nobody can guess, so that games of two devices never
// share one.
std::string newGameId();

// The record's first line in the format of before (version 1: facts only), which is read
// as it is and written anew in the current format.
extern const char *const ProgressHeader;
// The current format's first line starts so, followed by ",version 2,player," and the
// player's name (a CSV field); then the facts' header line; then, after the line
// ProgressGamesHeader, one line per game (id, date, seconds played).
extern const char *const ProgressRecordTitle;
constexpr int ProgressRecordVersion = 2;
extern const char *const ProgressFactsHeader;
extern const char *const ProgressGamesHeader;

// Where the record is kept: $XDG_DATA_HOME/plimo/progress.csv, or
// $HOME/.local/share/plimo/progress.csv when XDG_DATA_HOME is unset or empty (or not an
// absolute path). Empty when neither gives a place.
std::string progressRecordPath();

// The record as CSV in the current format: its title line, the facts in the order given
// (each one's last askings as "DATE ID N RESULT" joined by ';'), then its games.
std::string formatProgressRecord(const ProgressRecord &record);

// Reads a record's CSV text, of either format. False, with what is wrong and on which line
// in why, when the text is no record this game wrote: a missing or other first line, a
// newer version, a line without its fields, a count that is no whole number or is greater
// than the times asked or than ProgressCountMax, a fact that is no "a op b", a fact twice,
// a date that is no YYYY-MM-DD, more than LastAskingsKept askings or one unreadable, a
// game twice or more than ProgressGamesMax games. Fields may be quoted as CSV allows;
// lines may end in CRLF. Time linear in the text's length.
bool parseProgressRecord(const std::string &text, ProgressRecord *record, std::string *why);
// The same for whoever needs the facts only.
bool parseProgressRecord(const std::string &text, std::vector<ProgressRow> *rows, std::string *why);

// The CSV pieces the record is made of, for other files made of the same (a class's
// table). csvField quotes a field holding a comma, a quote or a line break; splitCsv
// splits text into lines of fields as CSV does (quotes, doubled quotes, line breaks inside
// quotes; LF or CRLF ends a line), false on a quote never closed. formatFactFields writes
// a fact's eight fields as the record does; readFactLine reads them back from fields
// (fieldCount 8, or 7 for a record of before), false with why naming where.
std::string csvField(const std::string &text);
bool splitCsv(const std::string &text, std::vector<std::vector<std::string>> *records);
std::string formatFactFields(const ProgressRow &row);
bool readFactLine(const std::vector<std::string> &fields, size_t fieldCount, const std::string &where,
                  ProgressRow *row, std::string *why);

// Adds one game to record: game (its id, day and length) and its outcomes. A game whose
// id the record already holds is not added again (false; a game kept twice counts once).
// Facts new to the record are appended in the order played; facts not asked are left
// out. The median of the right answers is kept over every game: the earlier answers
// count as that many answers (one per right answer at the first try) at the earlier
// median. Counts are held at ProgressCountMax; the oldest games beyond ProgressGamesMax
// are let go.
bool mergeGame(ProgressRecord *record, const KeptGame &game, const std::vector<FactOutcome> &outcomes);

// Adds into what another record of the same player holds (another device's, a copy):
// its games not yet in into, and its facts: their last askings merged (the same asking of
// the same game once, the latest LastAskingsKept by day kept) and their counts added,
// unless every game of from is in into already (a copy: nothing is added). Counts of a
// record sharing only some games with into are added whole (the record keeps no counts
// per game). Returns the games added.
int mergeRecordInto(ProgressRecord *into, const ProgressRecord &from);

// What reading the record at path found.
enum RecordState {
    RecordAbsent,     // no file yet
    RecordRead,       // rows hold it
    RecordDamaged,    // the file is there but is no record (why says what is wrong)
    RecordUnreadable, // the file cannot be read (why says why)
    RecordNewer,      // a record of a newer version of the game: never overwritten (why says so)
};
// A record larger than ProgressRecordMaxBytes is damaged, told from its size alone.
RecordState readProgressRecord(const std::string &path, ProgressRecord *record, std::string *why);

// The game's own folders of the record at path, outermost first: every folder from the
// one named "plimo" down to the record's (at most three), or, when none is so named,
// only the record's folder.
std::vector<std::string> recordFolders(const std::string &path);

// Makes the folders of the record at path as needed (the data folders above the game's
// own as any program does; the game's own one by one, mode 0700) and checks each of the
// game's own with checkFolderTrusted before anything goes into it. False with one line in
// why: nothing is then made inside a folder that failed.
bool prepareRecordFolders(const std::string &path, std::string *why);

// Merges one game into the record at path (mergeGame), dated game.date: makes and checks its folders
// (prepareRecordFolders), takes the record's lock (takeLockBeside, LockWaitMs), removes
// what killed writers left, reads the record inside the lock, keeps a damaged one aside
// as "<path>.damaged-<date>" (then -2, -3, ... when taken) and starts afresh, adds the
// game and writes the record atomically. Returns false when the game could not be kept
// (the old record is then untouched; so is an untrusted folder). message receives what
// the player should know (a damaged record kept aside, or why nothing was written), one
// line, never cut; empty when all went well.
// The record is written anew in the current format, with player as its player's name when
// it has none yet (a record holds one child; its name is never changed by a game).
bool keepGameInRecord(const std::string &path, const std::string &player, const KeptGame &game,
                      const std::vector<FactOutcome> &outcomes, std::string *message);

// How well a fact is known, as the grid shows it.
enum FactState {
    FactNotPlayed, // never asked
    FactFluent,    // three askings or more; of the last three, two right and fluent, on two days or more
    FactRightSoFar,// right and quick in its last askings, but too few of them, or all on one day
    FactSlow,      // right in its last askings, but slower than fluent in more than one
    FactWrong,     // sometimes wrong: one of its last askings wrong or run out, but no more than half
    FactStuck,     // more than half of its last askings wrong or run out
};
// How well the fact of row is known: from its last askings; a fact from a record of
// before (counts only) is never fluent and is judged by its counts.
FactState factState(const ProgressRow &row);

// A fact of the record read back: "a op b" with op one of + - * /. False for anything else.
bool splitFact(const std::string &fact, int *a, char *op, int *b);


// Where the record of the player named name (canonical) is kept: the folder "players"
// beside progressRecordPath(), the file "<playerKey(name)>.csv". Empty when there is no
// place (see progressRecordPath).
std::string playerRecordPath(const std::string &name);

// Where every player's record is: the "players" folder. Empty when there is no place.
std::string playersFolder();
