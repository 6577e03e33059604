// Data files named by the content file or the game: plain names in the working
// directory, opened only as regular files and without blocking.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// Whether name is a plain file name in the data folder: not empty, no '/' or '\',
// no "..", so that a content file can name nothing outside the folder.
bool plainDataFileName(const char *name);

// What tells one state of a file from another: when any of these changes, the file's
// content may have changed.
struct DataFileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    int64_t modifiedSeconds = 0;
    long modifiedNanoseconds = 0;
    bool operator==(const DataFileIdentity &o) const {
        return device == o.device && inode == o.inode && size == o.size &&
               modifiedSeconds == o.modifiedSeconds && modifiedNanoseconds == o.modifiedNanoseconds;
    }
    bool operator!=(const DataFileIdentity &o) const { return !(*this == o); }
};

// Opens name for reading without blocking (a FIFO or a device never holds the game up)
// and only when it is a regular file. Returns the descriptor (the caller closes it) and
// fills *identity; -1 with the reason in *why ("no such file", "not a regular file", ...).
int openDataFile(const char *name, DataFileIdentity *identity, std::string *why);

// Reads up to maxBytes from the start of the open descriptor fd into bytes (replacing
// what it held). False with the reason in *why on a read error.
bool readOpenDataFile(int fd, size_t maxBytes, std::vector<unsigned char> *bytes, std::string *why);

// openDataFile, then the whole file into bytes. False with the reason in *why when it
// cannot be opened, is not a regular file, holds more than maxBytes or cannot be read.
bool readDataFile(const char *name, size_t maxBytes, std::vector<unsigned char> *bytes, std::string *why);
