// Data files: plain names in the working directory, regular files opened without blocking.
#include "ground/data_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif
#ifndef O_NONBLOCK
#define O_NONBLOCK 0
#endif

bool plainDataFileName(const char *name) {
    if (!name || !*name)
        return false;
    if (strchr(name, '/') || strchr(name, '\\') || strstr(name, ".."))
        return false;
    // "." is the folder itself.
    return strcmp(name, ".") != 0;
}

int openDataFile(const char *name, DataFileIdentity *identity, std::string *why) {
    // Without O_NONBLOCK, opening a FIFO waits for a writer and the frame loop with it.
    int fd = open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *why = strerror(errno);
        return -1;
    }
    struct stat info;
    if (fstat(fd, &info) != 0) {
        *why = strerror(errno);
        close(fd);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        *why = "not a regular file";
        close(fd);
        return -1;
    }
    identity->device = info.st_dev;
    identity->inode = info.st_ino;
    identity->size = info.st_size;
    identity->modifiedSeconds = info.st_mtim.tv_sec;
    identity->modifiedNanoseconds = info.st_mtim.tv_nsec;
    return fd;
}

bool readOpenDataFile(int fd, size_t maxBytes, std::vector<unsigned char> *bytes, std::string *why) {
    bytes->clear();
    // Read in place, grown a chunk at a time: no chunk-sized buffer on the stack, which
    // the game keeps small (it starts with a stack of 64 KB).
    const size_t Chunk = 65536;
    while (bytes->size() < maxBytes) {
        size_t want = std::min(Chunk, maxBytes - bytes->size());
        size_t had = bytes->size();
        bytes->resize(had + want);
        ssize_t n = read(fd, bytes->data() + had, want);
        bytes->resize(had + static_cast<size_t>(n > 0 ? n : 0));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *why = strerror(errno);
            return false;
        }
        if (n == 0)
            break;
    }
    return true;
}

bool readDataFile(const char *name, size_t maxBytes, std::vector<unsigned char> *bytes, std::string *why) {
    DataFileIdentity identity;
    int fd = openDataFile(name, &identity, why);
    if (fd < 0)
        return false;
    if (static_cast<unsigned long long>(identity.size) > maxBytes) {
        *why = "larger than " + std::to_string(maxBytes) + " bytes";
        close(fd);
        return false;
    }
    bool read = readOpenDataFile(fd, maxBytes, bytes, why);
    close(fd);
    return read;
}
