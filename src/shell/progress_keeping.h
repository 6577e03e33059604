// The progress record from the program's side: each game kept when it ends
// (--remember), and the two actions that end before any window, --progress (print the
// grids) and --forget (delete the record).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "record/progress_record.h"

// Today's date on this device, "YYYY-MM-DD" (local time).
std::string todayDate();

// The record of the player whose record is kept, printed and forgotten (settings.player,
// named by --player or chosen on "Who is playing?"): playerRecordPath(name), or
// progressRecordPath() without a name.
std::string keptRecordPath();

// A game starts (any game but the sign quiz, with --remember or not): it gets a fresh id,
// so that however often it is kept (at its end, and again when a signal ends the program
// right then) it counts once, in this record and in a class's merged view.
void startKeptGame();

// A game has ended, for any reason (the round's end, Escape, the window closed, a
// signal: call from the main loop, never from a signal handler): with --remember, its
// facts are merged into the player's record under the id startKeptGame gave (a fresh one
// if none). outcomes as the game tallied them, each with its askings (see FactOutcome: an
// asking neither answered nor warned is not counted); playedMs the ms of play, pauses and
// stalls left out. Nothing is kept for the sign quiz or when no asking counts. A damaged
// record kept aside, or a record that cannot be written, is one line on standard error;
// the game goes on either way. True when the game is in the record (now or before).
bool keepGameOutcomes(const std::vector<FactOutcome> &outcomes, int64_t playedMs);

// A game has ended (GameOver entered, or the program ends in its middle): keepGameOutcomes
// with the game's fact record, each fact with its askings, and the time it was played.
void keepFinishedGame();

// Writes line and a newline to standard error in one write, however long (a path of
// 4096 bytes and the reason after it stay whole).
void reportRecordLine(const std::string &line);

// At start, with --remember: removes the temporary files of writes whose program is gone
// (a game killed while it wrote), when no other game holds the record's lock and the
// record's folders are the player's own. Never touches a running game's files. Nothing is
// said: a fault is told when the game is kept.
void tidyProgressRecord();

// --progress: prints the record at keptRecordPath() as grids on standard output.
// Returns the exit status: 0 (also when there is no record yet), 1 when the record is
// damaged or unreadable (said on standard error) or standard output fails.
int showProgress();

// --forget: says what it deletes on standard output and, without --yes, asks first: the
// answer is read from answers (the terminal; null when there is none, and nothing is
// then deleted, said on standard error); only "y" or "yes" deletes. Then deletes the record, the
// damaged records kept aside beside it, any temporary file a killed write left and the
// record's lock, then the game's own folders of the record when nothing else is in them.
// Returns the exit status: 0, or 1 when something could not be deleted (said on
// standard error).
int forgetProgress(FILE *answers);
