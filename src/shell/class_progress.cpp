// The teacher's view of a class: the children's records merged by name, as text and as a
// table for a spreadsheet.
#include "shell/class_progress.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <map>

#include "ground/atomic_file.h"
#include "record/players.h"
#include "record/progress_grid.h"
#include "shell/progress_keeping.h"
#include "shell/terminal_words.h"

const char *const ClassCsvHeader =
    "player,fact,mark,asked,right first try,wrong,too slow,median ms,last played,last askings";

namespace {

constexpr size_t ClassCsvFields = 10;

// Whether a spreadsheet could take text as a formula, once the apostrophes before it are
// gone: its first other character is one of = + - @ tab CR.
bool formulaLike(const std::string &text, size_t from) {
    size_t at = text.find_first_not_of('\'', from);
    return at != std::string::npos && text[at] != '\0' && strchr("=+-@\t\r", text[at]) != nullptr;
}

// The operations in the grids' order, as the facts write their signs.
const char OperationSigns[GridCount] = {'*', '/', '+', '-'};

int operationOf(const std::string &fact) {
    int a, b;
    char op;
    if (!splitFact(fact, &a, &op, &b))
        return -1;
    for (int i = 0; i < GridCount; i++)
        if (OperationSigns[i] == op)
            return i;
    return -1;
}

// Characters of UTF-8 text (its bytes that start one).
size_t charactersOf(const std::string &text) {
    size_t count = 0;
    for (char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

std::string padded(const std::string &text, size_t width) {
    size_t length = charactersOf(text);
    return text + std::string(length < width ? width - length : 0, ' ');
}

std::string shownName(const ProgressRecord &player) { return player.player.empty() ? "(no name)" : player.player; }

// Adds one record to the class, merged into the record of the same name.
void addPlayer(std::vector<ProgressRecord> *players, const ProgressRecord &record) {
    std::string key = playerKey(record.player);
    for (ProgressRecord &player : *players) {
        if (playerKey(player.player) == key) {
            mergeRecordInto(&player, record);
            return;
        }
    }
    ProgressRecord fresh;
    fresh.player = record.player;
    mergeRecordInto(&fresh, record);
    players->push_back(fresh);
}

std::string lastDayOf(const ProgressRecord &player) {
    std::string last;
    for (const KeptGame &game : player.games)
        last = std::max(last, game.date);
    for (const ProgressRow &row : player.rows)
        last = std::max(last, row.lastPlayed);
    return last;
}

// Reads the records of this device (or of files), into players; faults go to standard
// error. Returns the exit status so far (0, or 1 after a fault).
int loadClass(const std::vector<std::string> &files, std::vector<ProgressRecord> *players, std::string *source) {
    int status = 0;
    std::vector<std::string> paths = files;
    if (files.empty()) {
        std::string own = progressRecordPath(), folder = playersFolder();
        if (own.empty()) {
            reportRecordLine("no progress record: neither XDG_DATA_HOME nor HOME names a folder");
            return 1;
        }
        *source = own.substr(0, own.rfind('/'));
        paths.push_back(own);
        std::vector<std::string> named;
        if (DIR *dir = opendir(folder.c_str())) {
            while (struct dirent *entry = readdir(dir)) {
                std::string name = entry->d_name;
                if (name.size() > 4 && name[0] != '.' && name.compare(name.size() - 4, 4, ".csv") == 0)
                    named.push_back(folder + "/" + name);
            }
            closedir(dir);
        }
        std::sort(named.begin(), named.end());
        paths.insert(paths.end(), named.begin(), named.end());
    } else {
        *source = std::to_string(files.size()) + (files.size() == 1 ? " file" : " files");
    }
    for (const std::string &path : paths) {
        std::string text, why;
        switch (readWholeFile(path, ProgressRecordMaxBytes, &text, &why)) {
        case FileMissing:
            if (!files.empty()) {
                reportRecordLine("cannot read " + path + ": no such file");
                status = 1;
            }
            continue;
        case FileTooLarge:
        case FileUnreadable:
            reportRecordLine(why);
            status = 1;
            continue;
        case FileReadWhole:
            break;
        }
        if (!addToClass(text, players, &why)) {
            reportRecordLine(path + " is no progress record: " + why);
            status = 1;
        }
    }
    return status;
}

} // namespace

std::string spreadsheetCell(const std::string &text) { return formulaLike(text, 0) ? "'" + text : text; }

std::string cellFromSpreadsheet(const std::string &cell) {
    return !cell.empty() && cell[0] == '\'' && formulaLike(cell, 1) ? cell.substr(1) : cell;
}

std::string classCsv(const std::vector<ProgressRecord> &players) {
    std::string text = std::string(ClassCsvHeader) + "\n";
    for (const ProgressRecord &player : players) {
        for (const ProgressRow &row : player.rows) {
            // The fact's own fields as the record writes them, each made safe on its own.
            std::vector<std::vector<std::string>> fields;
            splitCsv(formatFactFields(row), &fields);
            std::string line = csvField(spreadsheetCell(player.player)) + "," + csvField(spreadsheetCell(row.fact)) +
                               "," + std::string(1, markOf(factState(row)));
            for (size_t i = 1; !fields.empty() && i < fields[0].size(); i++)
                line += "," + csvField(spreadsheetCell(fields[0][i]));
            text += line + "\n";
        }
    }
    return text;
}

bool parseClassCsv(const std::string &text, std::vector<ProgressRecord> *players, std::string *why) {
    std::vector<std::vector<std::string>> lines;
    players->clear();
    if (!splitCsv(text, &lines)) {
        *why = "a quoted field is never closed";
        return false;
    }
    if (lines.empty() || lines[0].size() != ClassCsvFields) {
        *why = "line 1 is not the header \"" + std::string(ClassCsvHeader) + "\"";
        return false;
    }
    std::map<std::string, size_t> at; // each name's record, by key
    for (size_t n = 1; n < lines.size(); n++) {
        std::vector<std::string> f = lines[n];
        if (f.size() == 1 && f[0].empty())
            continue;
        std::string where = "line " + std::to_string(n + 1);
        if (f.size() != ClassCsvFields) {
            *why = where + " has " + std::to_string(f.size()) + " fields, not " + std::to_string(ClassCsvFields);
            return false;
        }
        for (std::string &cell : f)
            cell = cellFromSpreadsheet(cell);
        std::string name = f[0], nameWhy;
        if (!name.empty() && !checkPlayerName(f[0].c_str(), &name, &nameWhy)) {
            *why = where + ": the name is refused: " + nameWhy;
            return false;
        }
        // The fact's fields without the mark (the marks are the game's to judge again).
        std::vector<std::string> fact = {f[1]};
        fact.insert(fact.end(), f.begin() + 3, f.end());
        ProgressRow row;
        if (!readFactLine(fact, 8, where, &row, why))
            return false;
        std::string key = playerKey(name);
        auto found = at.find(key);
        if (found == at.end()) {
            found = at.emplace(key, players->size()).first;
            players->emplace_back();
            players->back().player = name;
        }
        ProgressRecord &player = (*players)[found->second];
        for (const ProgressRow &earlier : player.rows) {
            if (earlier.fact == row.fact) {
                *why = where + ": \"" + row.fact + "\" is there twice for one child";
                return false;
            }
        }
        player.rows.push_back(row);
    }
    return true;
}

bool addToClass(const std::string &text, std::vector<ProgressRecord> *players, std::string *why) {
    ProgressRecord record;
    if (parseProgressRecord(text, &record, why)) {
        addPlayer(players, record);
        return true;
    }
    std::string recordWhy = *why;
    std::vector<ProgressRecord> table;
    if (text.compare(0, strlen(ClassCsvHeader), ClassCsvHeader) == 0) {
        if (!parseClassCsv(text, &table, why))
            return false;
        for (const ProgressRecord &player : table)
            addPlayer(players, player);
        return true;
    }
    *why = recordWhy;
    return false;
}

std::string classProgressText(const std::vector<ProgressRecord> &players, const std::string &source,
                              const GridWords &words) {
    std::string text =
        words.classHeading.empty()
            ? "Class progress from " + source + ": " + countOf(players.size(), "child", "children") + ".\n"
            : filledIn(words.classHeading, {source, std::to_string(players.size())}) + "\n";
    if (players.empty())
        return text + words.classNone + "\n";
    text += words.classMarks + "\n\n";
    size_t width = 10;
    for (const ProgressRecord &player : players)
        width = std::max(width, charactersOf(shownName(player)));
    // Each column as wide as its numbers (5, 7, 11 characters) or its word, if wider.
    size_t gamesWidth = std::max<size_t>(5, charactersOf(words.games));
    size_t minutesWidth = std::max<size_t>(7, charactersOf(words.minutes));
    size_t dayWidth = std::max<size_t>(11, charactersOf(words.lastPlayed));
    size_t opWidth = 15;
    for (const std::string &name : words.operations)
        opWidth = std::max(opWidth, charactersOf(name));
    std::string heading = padded("", width) + "  " + padded(words.games, gamesWidth) + "  " +
                          padded(words.minutes, minutesWidth) + "  " + padded(words.lastPlayed, dayWidth) + " ";
    std::string marks = padded("", width) + std::string(gamesWidth + minutesWidth + dayWidth + 7, ' ');
    for (int op = 0; op < GridCount; op++) {
        heading += "  " + padded(words.operations[op], opWidth);
        marks += "   F   s   w   X " + std::string(opWidth - 15, ' ');
    }
    auto trimmed = [](std::string line) { return line.erase(line.find_last_not_of(' ') + 1); };
    text += trimmed(heading) + "\n" + trimmed(marks) + "\n";
    // stuck[op][fact]: the children stuck on it.
    std::map<std::string, std::vector<std::string>> stuck[GridCount];
    std::vector<std::string> order[GridCount];
    for (const ProgressRecord &player : players) {
        int64_t seconds = 0;
        for (const KeptGame &game : player.games)
            seconds += game.seconds;
        int counts[GridCount][4] = {};
        for (const ProgressRow &row : player.rows) {
            int op = operationOf(row.fact);
            if (op < 0)
                continue;
            FactState state = factState(row);
            int column = state == FactFluent ? 0 : state == FactSlow ? 1 : state == FactWrong ? 2 : state == FactStuck ? 3 : -1;
            if (column >= 0)
                counts[op][column]++;
            if (state == FactStuck) {
                if (stuck[op].find(row.fact) == stuck[op].end())
                    order[op].push_back(row.fact);
                stuck[op][row.fact].push_back(shownName(player));
            }
        }
        char line[96];
        snprintf(line, sizeof line, "  %*zu  %*lld  %-*s ", static_cast<int>(gamesWidth), player.games.size(),
                 static_cast<int>(minutesWidth), static_cast<long long>((seconds + 30) / 60),
                 static_cast<int>(dayWidth), lastDayOf(player).c_str());
        text += padded(shownName(player), width) + line;
        for (int op = 0; op < GridCount; op++) {
            snprintf(line, sizeof line, "  %3d %3d %3d %3d", counts[op][0], counts[op][1], counts[op][2], counts[op][3]);
            text += (op ? std::string(opWidth - 15, ' ') : std::string()) + line;
        }
        text += "\n";
    }
    text += "\n" + words.classStuck + "\n";
    for (int op = 0; op < GridCount; op++) {
        // Most children first; among as many, the fact met first.
        std::stable_sort(order[op].begin(), order[op].end(), [&](const std::string &a, const std::string &b) {
            return stuck[op][a].size() > stuck[op][b].size();
        });
        std::string name = words.operations[op];
        if (!name.empty() && name[0] >= 'a' && name[0] <= 'z')
            name[0] = static_cast<char>(name[0] - 'a' + 'A');
        text += "  " + name + ":";
        if (order[op].empty())
            text += " " + words.noneYet;
        for (size_t i = 0; i < order[op].size() && i < 5; i++) {
            const std::vector<std::string> &who = stuck[op][order[op][i]];
            text += (i ? "; " : " ") + order[op][i] + " (" + std::to_string(who.size()) + ":";
            for (size_t k = 0; k < who.size(); k++)
                text += (k ? ", " : " ") + who[k];
            text += ")";
        }
        text += "\n";
    }
    return text;
}

int showClassProgress(const std::vector<std::string> &files) {
    std::vector<ProgressRecord> players;
    std::string source;
    int status = loadClass(files, &players, &source);
    if (files.empty() && source.empty())
        return status;
    prepareTerminalWords();
    fputs(classProgressText(players, source, terminalGridWords()).c_str(), stdout);
    return fflush(stdout) == 0 && !ferror(stdout) ? status : 1;
}

int printClassCsv(const std::vector<std::string> &files) {
    std::vector<ProgressRecord> players;
    std::string source;
    int status = loadClass(files, &players, &source);
    fputs(classCsv(players).c_str(), stdout);
    return fflush(stdout) == 0 && !ferror(stdout) ? status : 1;
}
