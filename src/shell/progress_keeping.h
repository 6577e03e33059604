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

// --progress: prints the record at progressRecordPath() as grids on standard output.
// Returns the exit status: 0 (also when there is no record yet), 1 when the record is
// damaged or unreadable (said on standard error) or standard output fails.
int showProgress();

// --forget: says what it deletes on standard output, then deletes the record, the
// damaged records kept aside beside it and any temporary file a killed write left.
// Returns the exit status: 0, or 1 when something could not be deleted (said on
// standard error).
int forgetProgress();
