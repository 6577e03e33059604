// Settings files: the setting words a school or a parent writes once, read before the
// command line.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The largest settings file read (bytes): a few lines are all one needs, and a file far
// larger is no settings file.
constexpr size_t SettingsFileMaxBytes = 65536;

// The settings files in reading order, the least important first: plimo/settings in each
// folder of XDG_CONFIG_DIRS (colon-separated, /etc/xdg when unset or empty), from the last
// folder to the first, so that the first folder has the last word; then the user's, in
// XDG_CONFIG_HOME (~/.config when unset or empty). Folders that are not absolute are
// skipped, as the XDG rules say; a file named twice is read once, at its later place.
// None in the browser, which keeps no such folders.
std::vector<std::string> settingsFilePaths();

// What became of one settings file.
enum SettingsFileState {
    SettingsFileAbsent,  // no file there (nor its folder): nothing to read
    SettingsFileRead,    // every line read into settings
    SettingsFileRefused, // unreadable, too large, or a line that is no setting: see fault
};

struct SettingsFileSeen {
    std::string path;
    SettingsFileState state = SettingsFileAbsent;
    std::string fault; // the one-line reason when refused: "path: why" or "path:line: why"
};

// Reads the words of text, the content of the settings file path, into settings: one
// word a line, surrounding blanks trimmed, blank lines and everything from a '#' to the
// end of its line skipped. True when every line was a setting; else false at the first
// line that is not, with "path:line: why" in *fault, the lines before it applied.
bool readSettingsText(const std::string &path, const std::string &text, std::string *fault);

// Reads the settings file at path (opened without blocking, only as a regular file of at
// most SettingsFileMaxBytes) into settings, and says what became of it.
SettingsFileSeen readSettingsFile(const std::string &path);

// Reads every file of settingsFilePaths() in order, each to its end or its first fault,
// and says what became of each. The first fault, if any, is the one to report.
std::vector<SettingsFileSeen> readSettingsFiles();
