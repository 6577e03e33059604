// The progress record: one CSV file of every fact met, merged with each game.
#include "record/progress_record.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

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
// inside quotes; LF or CRLF ends a record). A quoted field that begins with an apostrophe
// loses it: a CSV written for a spreadsheet marks so the cells it would take as formulas
// ("'-1 + 2"), and reads back as the record was. False on an unterminated quote.
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
            if (record.back().empty() && i + 1 < text.size() && text[i + 1] == '\'')
                i++;
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

// A count as the record writes it: digits only, at most 15 of them.
bool readCount(const std::string &text, int64_t *value) {
    if (text.empty() || text.size() > 15 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *value = strtoll(text.c_str(), nullptr, 10);
    return true;
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
        for (const ProgressRow &earlier : *rows) {
            if (earlier.fact == row.fact) {
                *why = where + ": \"" + row.fact + "\" is there twice";
                return false;
            }
        }
        rows->push_back(row);
    }
    return true;
}

void mergeOutcomes(std::vector<ProgressRow> *rows, const std::vector<FactOutcome> &outcomes, const std::string &date) {
    for (const FactOutcome &outcome : outcomes) {
        if (outcome.asked <= 0)
            continue;
        auto row = std::find_if(rows->begin(), rows->end(),
                                [&](const ProgressRow &r) { return r.fact == outcome.fact; });
        if (row == rows->end()) {
            rows->emplace_back();
            row = rows->end() - 1;
            row->fact = outcome.fact;
        }
        std::vector<std::pair<int64_t, int64_t>> weighted;
        if (row->medianMs >= 0)
            weighted.push_back({row->medianMs, std::max<int64_t>(row->rightFirstTry, 1)});
        for (int32_t ms : outcome.rightAnswerMs)
            weighted.push_back({ms, 1});
        if (!weighted.empty())
            row->medianMs = medianOf(weighted);
        row->asked += outcome.asked;
        row->rightFirstTry += outcome.rightFirstTry;
        row->wrong += outcome.wrong;
        row->tooSlow += outcome.tooSlow;
        row->lastPlayed = date;
    }
}

RecordState readProgressRecord(const std::string &path, std::vector<ProgressRow> *rows, std::string *why) {
    std::string text;
    rows->clear();
    if (!readWholeFile(path, &text, why))
        return why->empty() ? RecordAbsent : RecordUnreadable;
    return parseProgressRecord(text, rows, why) ? RecordRead : RecordDamaged;
}

bool keepGameInRecord(const std::string &path, const std::vector<FactOutcome> &outcomes, const std::string &date,
                      std::string *message) {
    message->clear();
    if (path.empty()) {
        *message = "cannot keep the progress record: neither XDG_DATA_HOME nor HOME names a folder";
        return false;
    }
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
    size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(path.substr(0, slash), &why)) {
        *message += (message->empty() ? "" : "; ") + why + "; this game is not kept";
        return false;
    }
    mergeOutcomes(&rows, outcomes, date);
    if (!writeFileAtomically(path, formatProgressRecord(rows), &why)) {
        *message += (message->empty() ? "" : "; ") + why + "; this game is not kept, the record before it is";
        return false;
    }
    return true;
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
