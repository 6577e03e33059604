// The progress record from the program's side: each game kept when it ends
// (--remember), and the two actions that end before any window, --progress (print the
// grids) and --forget (delete the record).
#pragma once

#include <string>

// Today's date on this device, "YYYY-MM-DD" (local time).
std::string todayDate();

// A game has ended (the GameOver screen is entered): with --remember, its facts are
// merged into the record. A damaged record kept aside, or a record that cannot be
// written, is one line on standard error; the game goes on either way.
void keepFinishedGame();

// Writes line and a newline to standard error in one write, however long (a path of
// 4096 bytes and the reason after it stay whole).
void reportRecordLine(const std::string &line);

// At start, with --remember: removes the temporary files of writes whose program is gone
// (a game killed while it wrote), when no other game holds the record's lock and the
// record's folders are the player's own. Never touches a running game's files. Nothing is
// said: a fault is told when the game is kept.
void tidyProgressRecord();

// --progress: prints the record at progressRecordPath() as grids on standard output.
// Returns the exit status: 0 (also when there is no record yet), 1 when the record is
// damaged or unreadable (said on standard error) or standard output fails.
int showProgress();

// --forget: says what it deletes on standard output, then deletes the record, the
// damaged records kept aside beside it, any temporary file a killed write left and the
// record's lock, then the game's own folders of the record when nothing else is in them.
// Returns the exit status: 0, or 1 when something could not be deleted (said on
// standard error).
int forgetProgress();
