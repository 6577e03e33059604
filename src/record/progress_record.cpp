// The progress record: one CSV file of every fact met, merged with each game.
#include "record/progress_record.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unordered_map>
#include <unordered_set>

#include "ground/atomic_file.h"


const char *const ProgressHeader = "fact,asked,right first try,wrong,too slow,median ms,last played";

namespace {

constexpr int FieldCount = 7;

// A field as CSV writes it: quoted when it holds a comma, a quote or a line break.
std::string csvField(const std::string &text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

// Splits text into records of fields as CSV does (quotes, doubled quotes, line breaks
// inside quotes; LF or CRLF ends a record). False on an unterminated quote.
bool splitCsv(const std::string &text, std::vector<std::vector<std::string>> *records) {
    std::vector<std::string> record(1);
    bool quoted = false, any = false;
    for (size_t i = 0; i < text.size(); i++) {
        char c = text[i];
        any = true;
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                record.back() += '"', i++;
            else if (c == '"')
                quoted = false;
            else
                record.back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            record.emplace_back();
        } else if (c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            if (c == '\r')
                i++;
            records->push_back(record);
            record.assign(1, std::string());
            any = false;
        } else {
            record.back() += c;
        }
    }
    if (quoted)
        return false;
    if (any)
        records->push_back(record);
    return true;
}

// A count as the record writes it: digits only, at most ProgressCountMax.
bool readCount(const std::string &text, int64_t *value) {
    if (text.empty() || text.size() > 15 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *value = strtoll(text.c_str(), nullptr, 10);
    return *value <= ProgressCountMax;
}

// A count grown by more, held at ProgressCountMax (the reader's bound) rather than
// written past it; what the game adds is never below 0.
int64_t addCount(int64_t count, int64_t more) {
    return std::min(ProgressCountMax, count + std::max<int64_t>(0, std::min<int64_t>(more, ProgressCountMax)));
}

bool readDate(const std::string &text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < '0' || text[i] > '9')
            return false;
    int month = atoi(text.substr(5, 2).c_str()), day = atoi(text.substr(8, 2).c_str());
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

// The median of values (the lower middle one of an even count).
int64_t medianOf(std::vector<std::pair<int64_t, int64_t>> weighted) {
    std::sort(weighted.begin(), weighted.end());
    int64_t total = 0;
    for (const auto &w : weighted)
        total += w.second;
    int64_t half = (total + 1) / 2, seen = 0;
    for (const auto &w : weighted) {
        seen += w.second;
        if (seen >= half)
            return w.first;
    }
    return -1;
}

bool exists(const std::string &path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

} // namespace

std::string progressRecordPath() {
    const char *data = getenv("XDG_DATA_HOME");
    if (data && data[0] == '/')
        return std::string(data) + "/plimo/progress.csv";
    const char *home = getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.local/share/plimo/progress.csv";
    return "";
}

bool splitFact(const std::string &fact, int *a, char *op, int *b) {
    char sign = 0;
    int used = 0;
    if (sscanf(fact.c_str(), "%d %c %d%n", a, &sign, b, &used) != 3 || used != static_cast<int>(fact.size()))
        return false;
    if (!strchr("+-*/", sign))
        return false;
    // Only the game's own spelling: "7 * 8", one space either side of the sign.
    char again[40];
    snprintf(again, sizeof again, "%d %c %d", *a, sign, *b);
    if (fact != again)
        return false;
    *op = sign;
    return true;
}

std::string formatProgressRecord(const std::vector<ProgressRow> &rows) {
    std::string text = std::string(ProgressHeader) + "\n";
    for (const ProgressRow &row : rows) {
        text += csvField(row.fact) + "," + std::to_string(row.asked) + "," + std::to_string(row.rightFirstTry) + "," +
                std::to_string(row.wrong) + "," + std::to_string(row.tooSlow) + "," +
                (row.medianMs < 0 ? std::string() : std::to_string(row.medianMs)) + "," + csvField(row.lastPlayed) +
                "\n";
    }
    return text;
}

bool parseProgressRecord(const std::string &text, std::vector<ProgressRow> *rows, std::string *why) {
    std::vector<std::vector<std::string>> records;
    rows->clear();
    if (!splitCsv(text, &records)) {
        *why = "a quoted field is never closed";
        return false;
    }
    if (records.empty()) {
        *why = "the file is empty";
        return false;
    }
    std::string header;
    for (size_t i = 0; i < records[0].size(); i++)
        header += (i ? "," : "") + records[0][i];
    if (header != ProgressHeader) {
        *why = "line 1 is not the header \"" + std::string(ProgressHeader) + "\"";
        return false;
    }
    std::unordered_set<std::string> seen; // the facts so far, for the check of a fact twice
    for (size_t line = 1; line < records.size(); line++) {
        const std::vector<std::string> &f = records[line];
        std::string where = "line " + std::to_string(line + 1);
        if (f.size() == 1 && f[0].empty())
            continue; // an empty line, as an editor may leave at the end
        if (f.size() != FieldCount) {
            *why = where + " has " + std::to_string(f.size()) + " fields, not " + std::to_string(FieldCount);
            return false;
        }
        ProgressRow row;
        row.fact = f[0];
        int a, b;
        char op;
        if (!splitFact(row.fact, &a, &op, &b)) {
            *why = where + ": \"" + row.fact + "\" is no fact such as 7 * 8";
            return false;
        }
        if (!readCount(f[1], &row.asked) || !readCount(f[2], &row.rightFirstTry) || !readCount(f[3], &row.wrong) ||
            !readCount(f[4], &row.tooSlow) || (!f[5].empty() && !readCount(f[5], &row.medianMs))) {
            *why = where + ": a count is not a whole number";
            return false;
        }
        if (row.rightFirstTry > row.asked || row.wrong > row.asked || row.tooSlow > row.asked) {
            *why = where + ": more answers than times asked";
            return false;
        }
        if (!readDate(f[6])) {
            *why = where + ": \"" + f[6] + "\" is no date such as 2024-03-18";
            return false;
        }
        row.lastPlayed = f[6];
        if (!seen.insert(row.fact).second) {
            *why = where + ": \"" + row.fact + "\" is there twice";
            return false;
        }
        rows->push_back(row);
    }
    return true;
}

void mergeOutcomes(std::vector<ProgressRow> *rows, const std::vector<FactOutcome> &outcomes, const std::string &date) {
    std::unordered_map<std::string, size_t> at; // each fact's row
    for (size_t i = 0; i < rows->size(); i++)
        at[(*rows)[i].fact] = i;
    for (const FactOutcome &outcome : outcomes) {
        if (outcome.asked <= 0)
            continue;
        auto found = at.find(outcome.fact);
        if (found == at.end()) {
            found = at.emplace(outcome.fact, rows->size()).first;
            rows->emplace_back();
            rows->back().fact = outcome.fact;
        }
        ProgressRow *row = &(*rows)[found->second];
        std::vector<std::pair<int64_t, int64_t>> weighted;
        if (row->medianMs >= 0)
            weighted.push_back({row->medianMs, std::max<int64_t>(row->rightFirstTry, 1)});
        for (int32_t ms : outcome.rightAnswerMs)
            weighted.push_back({std::max(0, ms), 1});
        if (!weighted.empty())
            row->medianMs = std::min(medianOf(weighted), ProgressCountMax);
        row->asked = addCount(row->asked, outcome.asked);
        row->rightFirstTry = addCount(row->rightFirstTry, outcome.rightFirstTry);
        row->wrong = addCount(row->wrong, outcome.wrong);
        row->tooSlow = addCount(row->tooSlow, outcome.tooSlow);
        // Never more answers than askings, whatever the caller counted.
        row->rightFirstTry = std::min(row->rightFirstTry, row->asked);
        row->wrong = std::min(row->wrong, row->asked);
        row->tooSlow = std::min(row->tooSlow, row->asked);
        row->lastPlayed = date;
    }
}

namespace {

// keepGameInRecord's work once the lock is held.
bool mergeUnderLock(const std::string &path, const std::vector<FactOutcome> &outcomes, const std::string &date,
                    std::string *message) {
    std::vector<ProgressRow> rows;
    std::string why;
    switch (readProgressRecord(path, &rows, &why)) {
    case RecordUnreadable:
        *message = why + "; this game is not kept";
        return false;
    case RecordDamaged: {
        // Never overwritten blindly: the damaged file is kept aside for a look.
        std::string aside = path + ".damaged-" + date;
        for (int n = 2; exists(aside); n++)
            aside = path + ".damaged-" + date + "-" + std::to_string(n);
        if (rename(path.c_str(), aside.c_str()) != 0) {
            *message = "the progress record " + path + " is damaged (" + why + ") and cannot be moved aside: " +
                       strerror(errno) + "; this game is not kept";
            return false;
        }
        *message = "the progress record " + path + " was damaged (" + why + "); it is kept as " + aside +
                   " and a new record is started";
        rows.clear();
        break;
    }
    case RecordAbsent:
    case RecordRead:
        break;
    }
    mergeOutcomes(&rows, outcomes, date);
    std::string text = formatProgressRecord(rows);
    if (static_cast<long>(text.size()) > ProgressRecordMaxBytes) {
        *message += (message->empty() ? "" : "; ") + std::string("the progress record would grow past ") +
                    std::to_string(ProgressRecordMaxBytes) + " bytes; this game is not kept";
        return false;
    }
    if (!writeFileAtomically(path, text, &why)) {
        *message += (message->empty() ? "" : "; ") + why + "; this game is not kept, the record before it is";
        return false;
    }
    return true;
}

} // namespace

RecordState readProgressRecord(const std::string &path, std::vector<ProgressRow> *rows, std::string *why) {
    std::string text;
    rows->clear();
    switch (readWholeFile(path, ProgressRecordMaxBytes, &text, why)) {
    case FileMissing:
        return RecordAbsent;
    case FileUnreadable:
        return RecordUnreadable;
    case FileTooLarge:
        *why = "it holds more than " + std::to_string(ProgressRecordMaxBytes) + " bytes";
        return RecordDamaged;
    case FileReadWhole:
        break;
    }
    return parseProgressRecord(text, rows, why) ? RecordRead : RecordDamaged;
}

std::vector<std::string> recordFolders(const std::string &path) {
    std::vector<std::string> folders;
    std::string folder = path;
    for (int depth = 0; depth < 3; depth++) {
        size_t slash = folder.rfind('/');
        if (slash == std::string::npos || slash == 0)
            break;
        folder = folder.substr(0, slash);
        folders.insert(folders.begin(), folder);
        if (folder.size() >= 6 && folder.compare(folder.size() - 6, 6, "/plimo") == 0)
            return folders;
    }
    if (folders.size() > 1)
        folders.erase(folders.begin(), folders.end() - 1);
    return folders;
}

bool prepareRecordFolders(const std::string &path, std::string *why) {
    std::vector<std::string> folders = recordFolders(path);
    if (folders.empty())
        return true;
    // The folders above the game's own are the player's data folders, made as any program
    // makes them; the game's own are checked one by one before anything goes into them.
    size_t slash = folders.front().rfind('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(folders.front().substr(0, slash), why))
        return false;
    for (const std::string &folder : folders) {
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            *why = "cannot make the folder " + folder + ": " + strerror(errno);
            return false;
        }
        if (!checkFolderTrusted(folder, why))
            return false;
    }
    return true;
}

bool keepGameInRecord(const std::string &path, const std::vector<FactOutcome> &outcomes, const std::string &date,
                      std::string *message) {
    message->clear();
    if (path.empty()) {
        *message = "cannot keep the progress record: neither XDG_DATA_HOME nor HOME names a folder";
        return false;
    }
    std::string why;
    if (!prepareRecordFolders(path, &why)) {
        *message = why + "; this game is not kept";
        return false;
    }
    // One game at a time from reading to renaming: two games ending together both reach
    // the record, each merged into what the other wrote.
    int lock = takeLockBeside(path, LockWaitMs, &why);
    if (lock < 0) {
        *message = why + "; this game is not kept";
        return false;
    }
    // No writer of this record is in the middle of a write now: what a killed one left
    // behind can go.
    removeStaleTemporaries(path);
    bool kept = mergeUnderLock(path, outcomes, date, message);
    releaseLock(lock);
    return kept;
}

FactState factState(const ProgressRow &row) {
    if (row.asked <= 0)
        return FactNotPlayed;
    if (2 * row.rightFirstTry < row.asked)
        return FactStuck;
    if (5 * row.rightFirstTry >= 4 * row.asked && row.medianMs >= 0 && row.medianMs <= FluentMedianMs)
        return FactFluent;
    return FactSlow;
}
