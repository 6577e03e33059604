// Files the game keeps between runs, written whole or not at all: a temporary file
// beside the target, flushed to the disk, then renamed over it.
#pragma once

#include <cstddef>
#include <string>

// Creates the folder path and every missing folder above it (mode 0700: what is kept
// there is the player's own). False with the reason in why when one cannot be made.
bool makeFolders(const std::string &path, std::string *why);

// Replaces the file path by bytes: written to "<path>.tmp-<pid>" in the same folder,
// fsync'ed, renamed over path, and the folder fsync'ed. Whatever happens on the way (a
// full disk, a kill, a crash), path holds either its old bytes or the new ones. False
// with the reason (naming the file) in why; the temporary file is then removed.
bool writeFileAtomically(const std::string &path, const std::string &bytes, std::string *why);

// Reads the whole regular file path into bytes. False when it is missing (why empty) or
// cannot be read (why says so).
bool readWholeFile(const std::string &path, std::string *bytes, std::string *why);

// Test seam: the next writes of writeFileAtomically stop after limit bytes of the
// temporary file, either failing as a full disk does (ENOSPC) or, with kill, ending the
// process with SIGKILL there. A negative limit turns the fault off.
void setAtomicWriteFault(long limit, bool kill);
