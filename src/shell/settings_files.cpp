// Settings files: the setting words a school or a parent writes once, read before the
// command line.
#include "shell/settings_files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ground/data_file.h"
#include "shell/options.h"

#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif

// A line longer than this (bytes) holds no single setting; it is named, not quoted.
static const size_t LongestLine = 200;

#ifdef __EMSCRIPTEN__
std::vector<std::string> settingsFilePaths() { return {}; }
#else
// The file's place in a configuration folder.
static const char *const SettingsFileName = "/plimo/settings";

// folder without its trailing slashes ("/etc/xdg/" is "/etc/xdg"), "/" kept.
static std::string withoutTrailingSlashes(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

std::vector<std::string> settingsFilePaths() {
    std::vector<std::string> paths;
    const char *dirs = getenv("XDG_CONFIG_DIRS");
    std::string list = dirs && *dirs ? dirs : "/etc/xdg";
    // The first folder is the most important: read last, so that its words stand.
    std::vector<std::string> folders;
    size_t start = 0;
    while (start <= list.size()) {
        size_t colon = list.find(':', start);
        if (colon == std::string::npos)
            colon = list.size();
        std::string folder = list.substr(start, colon - start);
        if (!folder.empty() && folder[0] == '/')
            folders.insert(folders.begin(), withoutTrailingSlashes(folder));
        start = colon + 1;
    }
    const char *configHome = getenv("XDG_CONFIG_HOME");
    const char *home = getenv("HOME");
    if (configHome && configHome[0] == '/')
        folders.push_back(withoutTrailingSlashes(configHome));
    else if (home && home[0] == '/')
        folders.push_back(withoutTrailingSlashes(home) + "/.config");
    for (const std::string &folder : folders) {
        std::string path = (folder == "/" ? "" : folder) + SettingsFileName;
        // A file named twice is read at its more important place only.
        for (size_t i = 0; i < paths.size(); i++)
            if (paths[i] == path)
                paths.erase(paths.begin() + static_cast<long>(i));
        paths.push_back(path);
    }
    return paths;
}
#endif

bool readSettingsText(const std::string &path, const std::string &text, std::string *fault) {
    size_t at = 0;
    // A byte-order mark, as some editors on other systems write, is no part of a word.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        at = 3;
    const char *blanks = " \t\r\v\f";
    for (int number = 1; at < text.size(); number++) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        line = line.substr(0, line.find('#'));
        size_t first = line.find_first_not_of(blanks);
        if (first == std::string::npos)
            continue;
        line = line.substr(first, line.find_last_not_of(blanks) + 1 - first);
        std::string where = path + ":" + std::to_string(number) + ": ";
        if (line.find('\0') != std::string::npos) {
            *fault = where + "a NUL byte: this is no text file of setting words";
            return false;
        }
        if (line.size() > LongestLine) {
            *fault = where + "a line of " + std::to_string(line.size()) +
                     " characters: a settings file holds one setting a line, such as --tables=2,5,10";
            return false;
        }
        if (line.find_first_of(blanks) != std::string::npos) {
            *fault = where + line + ": one setting a line, without blanks inside it";
            return false;
        }
        char why[512];
        OptionResult result = readOptionFrom(FromSettingsFile, line.c_str(), why, sizeof why);
        if (result != OptionApplied) {
            *fault = where + why;
            return false;
        }
    }
    return true;
}

SettingsFileSeen readSettingsFile(const std::string &path) {
    SettingsFileSeen seen;
    seen.path = path;
    // Without O_NONBLOCK, opening a FIFO would wait for a writer before any window.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return seen;
        seen.state = SettingsFileRefused;
        seen.fault = path + ": cannot be read: " + strerror(errno);
        return seen;
    }
    seen.state = SettingsFileRefused;
    struct stat info;
    std::vector<unsigned char> bytes;
    std::string why;
    if (fstat(fd, &info) != 0)
        seen.fault = path + ": cannot be read: " + strerror(errno);
    else if (S_ISDIR(info.st_mode))
        seen.fault = path + ": a folder, not a settings file";
    else if (!S_ISREG(info.st_mode))
        seen.fault = path + ": not a regular file";
    else if (!readOpenDataFile(fd, SettingsFileMaxBytes + 1, &bytes, &why))
        seen.fault = path + ": cannot be read: " + why;
    else if (bytes.size() > SettingsFileMaxBytes)
        seen.fault = path + ": larger than " + std::to_string(SettingsFileMaxBytes) +
                     " bytes: a settings file holds a few setting words";
    close(fd);
    if (!seen.fault.empty())
        return seen;
    if (readSettingsText(path, std::string(bytes.begin(), bytes.end()), &seen.fault))
        seen.state = SettingsFileRead;
    return seen;
}

std::vector<SettingsFileSeen> readSettingsFiles() {
    std::vector<SettingsFileSeen> seen;
    for (const std::string &path : settingsFilePaths())
        seen.push_back(readSettingsFile(path));
    return seen;
}
