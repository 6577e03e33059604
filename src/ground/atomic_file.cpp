// Files the game keeps between runs, written whole or not at all.
#include "ground/atomic_file.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

long faultLimit = -1;
bool faultKills = false;

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

bool writeFileAtomically(const std::string &path, const std::string &bytes, std::string *why) {
    std::string temporary = path + ".tmp-" + std::to_string(getpid());
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
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
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
        unlink(temporary.c_str());
        *why = failure("cannot replace", path, error);
        return false;
    }
    // The rename itself reaches the disk with its folder.
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        fsync(folderFd);
        close(folderFd);
    }
    return true;
}

bool readWholeFile(const std::string &path, std::string *bytes, std::string *why) {
    why->clear();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno != ENOENT)
            *why = failure("cannot read", path, errno);
        return false;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        *why = "cannot read " + path + ": not a plain file";
        return false;
    }
    bytes->clear();
    char buffer[65536];
    while (true) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *why = failure("cannot read", path, errno);
            close(fd);
            return false;
        }
        if (n == 0)
            break;
        bytes->append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    return true;
}

void setAtomicWriteFault(long limit, bool kill) {
    faultLimit = limit;
    faultKills = kill;
}
