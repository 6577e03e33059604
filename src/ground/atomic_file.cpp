// Files the game keeps between runs, written whole or not at all, under a lock.
#include "ground/atomic_file.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace {

long faultLimit = -1;
bool faultKills = false;
int stallMs = 0;

std::string failure(const std::string &what, const std::string &path, int error) {
    return what + " " + path + ": " + strerror(error);
}

// Writes all of bytes to fd, honouring the test seam's fault.
bool writeAll(int fd, const std::string &bytes) {
    size_t done = 0;
    size_t allowed = bytes.size();
    if (faultLimit >= 0 && static_cast<size_t>(faultLimit) < allowed)
        allowed = static_cast<size_t>(faultLimit);
    while (done < allowed) {
        ssize_t n = write(fd, bytes.data() + done, allowed - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    if (done < bytes.size()) {
        if (faultKills)
            raise(SIGKILL);
        errno = ENOSPC;
        return false;
    }
    return true;
}

} // namespace

std::string unguessableHex() {
    unsigned char bytes[8] = {};
    if (getentropy(bytes, sizeof bytes) != 0) {
        static unsigned counter = 0;
        unsigned long long mix = static_cast<unsigned long long>(
            std::chrono::steady_clock::now().time_since_epoch().count());
        mix ^= static_cast<unsigned long long>(getpid()) << 40 ^ ++counter * 0x9E3779B97F4A7C15ull;
        memcpy(bytes, &mix, sizeof bytes);
    }
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char b : bytes)
        hex += digits[b >> 4], hex += digits[b & 15];
    return hex;
}

namespace {

std::string folderOf(const std::string &path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

bool makeFolders(const std::string &path, std::string *why) {
    for (size_t at = 1; at <= path.size(); at++) {
        if (at < path.size() && path[at] != '/')
            continue;
        std::string folder = path.substr(0, at);
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            *why = failure("cannot make the folder", folder, errno);
            return false;
        }
    }
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        *why = "cannot make the folder " + path + ": " + "something else is in its place";
        return false;
    }
    return true;
}

std::string folderTrustFault(const struct stat &info, uid_t player) {
    if (!S_ISDIR(info.st_mode))
        return "it is not a folder";
    if (info.st_uid != player)
        return "it belongs to another user (uid " + std::to_string(info.st_uid) + ")";
    if (info.st_mode & (S_IWGRP | S_IWOTH))
        return "others may write in it";
    return "";
}

bool checkFolderTrusted(const std::string &folder, std::string *why) {
#ifdef __EMSCRIPTEN__
    // The page's files live in its own memory, where no other user is; the page makes the
    // folders with the mode its file system gives (0777).
    (void)folder, (void)why;
    return true;
#endif
    struct stat info;
    if (lstat(folder.c_str(), &info) != 0) {
        *why = failure("cannot look at the folder", folder, errno);
        return false;
    }
    std::string fault;
    if (S_ISLNK(info.st_mode)) {
        if (info.st_uid != geteuid())
            fault = "it is a link made by another user (uid " + std::to_string(info.st_uid) + ")";
        else if (stat(folder.c_str(), &info) != 0)
            fault = "it is a link to nothing";
    }
    if (fault.empty())
        fault = folderTrustFault(info, geteuid());
    if (!fault.empty()) {
        *why = "the folder " + folder + " is not safe to keep the record in: " + fault;
        // The player's own folder opened to others (a restored backup, say): one command
        // closes it again.
        if (S_ISDIR(info.st_mode) && info.st_uid == geteuid() && fault.rfind("others", 0) == 0)
            *why += " (chmod go-w on it lets the game keep the record there)";
        return false;
    }
    return true;
}

bool writeFileAtomically(const std::string &path, const std::string &bytes, std::string *why) {
    // A fresh name each time, made only if nothing is there: a link or a FIFO planted
    // under a name is never opened, and nobody can plant one under a name not yet drawn.
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 8 && fd < 0; attempt++) {
        temporary = path + ".tmp-" + std::to_string(getpid()) + "-" + unguessableHex();
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        *why = failure("cannot write", temporary, errno);
        return false;
    }
    bool written = writeAll(fd, bytes) && fsync(fd) == 0;
    int error = errno;
    if (close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        unlink(temporary.c_str());
        *why = failure("cannot write", path, error);
        return false;
    }
    if (stallMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(stallMs));
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
        unlink(temporary.c_str());
        *why = failure("cannot replace", path, error);
        return false;
    }
    // The rename itself reaches the disk with its folder.
    int folderFd = open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        fsync(folderFd);
        close(folderFd);
    }
    return true;
}

FileRead readWholeFile(const std::string &path, long maxBytes, std::string *bytes, std::string *why) {
    why->clear();
    bytes->clear();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT)
            return FileMissing;
        *why = failure("cannot read", path, errno);
        return FileUnreadable;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        *why = "cannot read " + path + ": not a plain file";
        return FileUnreadable;
    }
    const std::string tooLarge = path + " holds more than " + std::to_string(maxBytes) + " bytes, more than a record may";
    if (info.st_size > maxBytes) {
        close(fd);
        *why = tooLarge;
        return FileTooLarge;
    }
    bytes->reserve(static_cast<size_t>(info.st_size));
    char buffer[16384];
    while (true) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *why = failure("cannot read", path, errno);
            close(fd);
            return FileUnreadable;
        }
        if (n == 0)
            break;
        if (static_cast<long>(bytes->size()) + n > maxBytes) {
            close(fd);
            bytes->clear();
            *why = tooLarge;
            return FileTooLarge;
        }
        bytes->append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    return FileReadWhole;
}

std::string lockPathOf(const std::string &path) { return path + ".lock"; }

int takeLockBeside(const std::string &path, int waitMs, std::string *why) {
    std::string lockPath = lockPathOf(path);
    int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) {
        *why = failure("cannot open the lock", lockPath, errno);
        return -1;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        *why = "cannot use the lock " + lockPath + ": not a plain file";
        return -1;
    }
    // Polled rather than blocked on, so that a holder that never lets go (a game stopped
    // with Ctrl+Z in the middle of its write) costs a bounded wait, never a hang.
    for (int waited = 0;; waited += 20) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0)
            return fd;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            *why = failure("cannot lock", lockPath, errno);
            break;
        }
        if (waited >= waitMs) {
            *why = "another game has held " + lockPath + " for " + std::to_string(waitMs / 1000) + " s";
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    close(fd);
    return -1;
}

void releaseLock(int lock) {
    if (lock >= 0)
        close(lock); // closing the last descriptor lets go of the flock
}

int removeStaleTemporaries(const std::string &path) {
    std::string folder = folderOf(path);
    std::string prefix = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1) + ".tmp-";
    int removed = 0;
    DIR *dir = opendir(folder.c_str());
    if (!dir)
        return 0;
    while (struct dirent *entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        // "<pid>" (the older names) or "<pid>-<random>".
        const char *digits = name.c_str() + prefix.size();
        char *end = nullptr;
        long pid = strtol(digits, &end, 10);
        if (end == digits || pid <= 0 || (*end != '\0' && *end != '-'))
            continue;
        if (kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
            continue; // its writer may still be running
        if (unlink((folder + "/" + name).c_str()) == 0)
            removed++;
    }
    closedir(dir);
    return removed;
}

void setAtomicWriteFault(long limit, bool kill) {
    faultLimit = limit;
    faultKills = kill;
}

void setAtomicWriteStall(int ms) { stallMs = ms; }
