// Files the game keeps between runs, written whole or not at all: a temporary file
// beside the target, flushed to the disk, then renamed over it; the lock that lets two
// games on one device take turns; and the checks that keep a shared folder from being
// turned against the player.
#pragma once

#include <cstddef>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

// Creates the folder path and every missing folder above it (mode 0700: what is kept
// there is the player's own). False with the reason in why when one cannot be made.
bool makeFolders(const std::string &path, std::string *why);

// Why a folder with the status info (as lstat gives it) is no place for the player's
// files, player being the user running the game: not a folder, owned by another user,
// or writable by its group or by others (anyone there could plant a link or swap a
// file). Empty when it is fit.
std::string folderTrustFault(const struct stat &info, uid_t player);

// Checks folder itself (not what lies above it) with folderTrustFault, against the
// effective user. A symbolic link is followed only when the player owns the link, and
// what it leads to is checked the same way. False with one line naming the folder in why.
// Always true in the browser, whose files are the page's alone.
bool checkFolderTrusted(const std::string &folder, std::string *why);

// 16 hex digits nobody can guess: from the system's random source, or, where it has none,
// from the clock, the pid and a counter (never the same twice in one run).
std::string unguessableHex();

// Replaces the file path by bytes: written to "<path>.tmp-<pid>-<16 random hex digits>"
// in the same folder, created anew (never an existing name, never through a link, never
// waiting on a FIFO), fsync'ed, renamed over path, and the folder fsync'ed. Whatever
// happens on the way (a full disk, a kill, a crash), path holds either its old bytes or
// the new ones. False with the reason (naming the file) in why; the temporary file is
// then removed.
bool writeFileAtomically(const std::string &path, const std::string &bytes, std::string *why);

// What readWholeFile found.
enum FileRead {
    FileMissing,    // no file there (why empty)
    FileReadWhole,  // bytes hold the whole file
    FileTooLarge,   // the file holds more than maxBytes: nothing read (why says so)
    FileUnreadable, // not a plain file, or reading failed (why says why)
};
// Reads the whole regular file path into bytes, at most maxBytes of them: a larger file
// is refused from its size alone, before any byte is read (and one growing past the
// limit while read is refused at that point). A FIFO or device is refused without
// waiting on it.
FileRead readWholeFile(const std::string &path, long maxBytes, std::string *bytes, std::string *why);

// How long takeLockBeside waits at most for another game's lock (ms).
constexpr int LockWaitMs = 10000;

// Takes the advisory lock of path: an exclusive flock on "<path>.lock" beside it (made
// when missing, mode 0600, never through a link, never a FIFO). Waits up to waitMs for
// another holder (0: does not wait). Returns the lock's descriptor, to be given to
// releaseLock, or -1 with the reason in why (another holder past waitMs, or the file
// could not be made).
int takeLockBeside(const std::string &path, int waitMs, std::string *why);
void releaseLock(int lock);
// The lock file's name for path.
std::string lockPathOf(const std::string &path);

// Removes the temporary files of writeFileAtomically for path ("<path>.tmp-<pid>...")
// whose writer is gone (no process of that pid). Meant to run while holding path's lock,
// so that no writer of this game is in the middle of one; a file of a live pid is left.
// Returns how many were removed.
int removeStaleTemporaries(const std::string &path);

// Test seams. The next writes of writeFileAtomically stop after limit bytes of the
// temporary file, either failing as a full disk does (ENOSPC) or, with kill, ending the
// process with SIGKILL there; a negative limit turns the fault off. The stall holds each
// write that many ms before its rename, as a slow disk's sync does (0: none).
void setAtomicWriteFault(long limit, bool kill);
void setAtomicWriteStall(int ms);
