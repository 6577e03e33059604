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
#include "record/players.h"


const char *const ProgressHeader = "fact,asked,right first try,wrong,too slow,median ms,last played";
const char *const ProgressRecordTitle = "plimo progress record";
const char *const ProgressFactsHeader =
    "fact,asked,right first try,wrong,too slow,median ms,last played,last askings";
const char *const ProgressGamesHeader = "game,date,seconds played";

namespace {

constexpr int FieldCountBefore = 7, FieldCount = 8;
constexpr size_t PlayerFieldMax = 200; // bytes of a player's name as read (a name is far shorter)

} // namespace

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

namespace {

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

AskingResult askingResult(const FactAsking &asking) {
    if (asking.answeredWrong)
        return AskingWrong;
    if (asking.answeredRight)
        return !asking.warned && asking.ms >= 0 && asking.ms <= FluentAnswerMs ? AskingFluent : AskingSlow;
    return asking.warned ? AskingTooSlow : AskingNotCounted;
}

std::string newGameId() { return unguessableHex(); }

namespace {

std::string joinFields(const std::vector<std::string> &fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); i++)
        line += (i ? "," : "") + fields[i];
    return line;
}

bool readGameId(const std::string &text) {
    return !text.empty() && text.size() <= 32 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

std::string formatAskings(const std::vector<KeptAsking> &askings) {
    std::string text;
    for (const KeptAsking &a : askings)
        text += (text.empty() ? "" : ";") + a.date + " " + a.gameId + " " + std::to_string(a.number) + " " +
                static_cast<char>(a.result);
    return text;
}

// "DATE ID N R;..." back into askings. False for anything else.
bool readAskings(const std::string &text, std::vector<KeptAsking> *askings) {
    askings->clear();
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(';', at);
        std::string one = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? text.size() : end + 1;
        KeptAsking asking;
        size_t s1 = one.find(' '), s2 = one.find(' ', s1 + 1), s3 = one.find(' ', s2 + 1);
        if (s1 == std::string::npos || s2 == std::string::npos || s3 == std::string::npos || s3 + 2 != one.size())
            return false;
        asking.date = one.substr(0, s1);
        asking.gameId = one.substr(s1 + 1, s2 - s1 - 1);
        std::string number = one.substr(s2 + 1, s3 - s2 - 1);
        char result = one[s3 + 1];
        int64_t n = 0;
        if (!readDate(asking.date) || !readGameId(asking.gameId) || number.size() > 6 || !readCount(number, &n) ||
            n < 1 || !strchr("fswt", result) || askings->size() >= LastAskingsKept)
            return false;
        asking.number = static_cast<int32_t>(n);
        asking.result = static_cast<AskingResult>(result);
        askings->push_back(asking);
    }
    return true;
}

} // namespace

// The fact lines of either format (fields counts the format's fields).
bool readFactLine(const std::vector<std::string> &f, size_t fields, const std::string &where, ProgressRow *row,
                  std::string *why) {
    if (f.size() != fields) {
        *why = where + " has " + std::to_string(f.size()) + " fields, not " + std::to_string(fields);
        return false;
    }
    row->fact = f[0];
    int a, b;
    char op;
    if (!splitFact(row->fact, &a, &op, &b)) {
        *why = where + ": \"" + row->fact + "\" is no fact such as 7 * 8";
        return false;
    }
    if (!readCount(f[1], &row->asked) || !readCount(f[2], &row->rightFirstTry) || !readCount(f[3], &row->wrong) ||
        !readCount(f[4], &row->tooSlow) || (!f[5].empty() && !readCount(f[5], &row->medianMs))) {
        *why = where + ": a count is not a whole number of at most 15 digits";
        return false;
    }
    if (row->rightFirstTry > row->asked || row->wrong > row->asked || row->tooSlow > row->asked) {
        *why = where + ": more answers than times asked";
        return false;
    }
    if (!readDate(f[6])) {
        *why = where + ": \"" + f[6] + "\" is no date such as 2024-03-18";
        return false;
    }
    row->lastPlayed = f[6];
    if (fields == FieldCount && !readAskings(f[7], &row->lastAskings)) {
        *why = where + ": \"" + f[7] + "\" are no last askings such as \"2024-03-18 9f3a61c0e2b47d15 1 f\"";
        return false;
    }
    return true;
}

std::string formatFactFields(const ProgressRow &row) {
    return csvField(row.fact) + "," + std::to_string(row.asked) + "," + std::to_string(row.rightFirstTry) + "," +
           std::to_string(row.wrong) + "," + std::to_string(row.tooSlow) + "," +
           (row.medianMs < 0 ? std::string() : std::to_string(row.medianMs)) + "," + csvField(row.lastPlayed) + "," +
           formatAskings(row.lastAskings);
}

namespace {

int64_t rightAnswerCount(const ProgressRow &row) { return std::max<int64_t>(row.rightFirstTry, 1); }

// Folds one more median (of weight answers) into row's median.
void foldMedian(ProgressRow *row, const std::vector<std::pair<int64_t, int64_t>> &more) {
    std::vector<std::pair<int64_t, int64_t>> weighted = more;
    if (weighted.empty())
        return;
    if (row->medianMs >= 0)
        weighted.push_back({row->medianMs, rightAnswerCount(*row)});
    row->medianMs = std::min(medianOf(weighted), ProgressCountMax);
}

// The latest LastAskingsKept of askings, by day (stable: on one day, the order given).
void keepLatest(std::vector<KeptAsking> *askings) {
    std::stable_sort(askings->begin(), askings->end(),
                     [](const KeptAsking &a, const KeptAsking &b) { return a.date < b.date; });
    if (askings->size() > static_cast<size_t>(LastAskingsKept))
        askings->erase(askings->begin(), askings->end() - LastAskingsKept);
}

} // namespace

std::string formatProgressRecord(const ProgressRecord &record) {
    std::string text = std::string(ProgressRecordTitle) + ",version " + std::to_string(ProgressRecordVersion) +
                       ",player," + csvField(record.player) + "\n" + ProgressFactsHeader + "\n";
    for (const ProgressRow &row : record.rows)
        text += formatFactFields(row) + "\n";
    text += std::string(ProgressGamesHeader) + "\n";
    for (const KeptGame &game : record.games)
        text += game.id + "," + game.date + "," + std::to_string(game.seconds) + "\n";
    return text;
}

namespace {

// parseProgressRecord, telling a newer version's record apart (newer set).
bool parseRecordText(const std::string &text, ProgressRecord *record, std::string *why, bool *newer) {
    std::vector<std::vector<std::string>> records;
    *newer = false;
    *record = ProgressRecord();
    if (!splitCsv(text, &records)) {
        *why = "a quoted field is never closed";
        return false;
    }
    if (records.empty()) {
        *why = "the file is empty";
        return false;
    }
    // The first line: the format's title, or the facts' header of the format of before.
    size_t fields = FieldCount, line = 1;
    const std::vector<std::string> &first = records[0];
    if (joinFields(first) == ProgressHeader) {
        fields = FieldCountBefore;
    } else if (!first.empty() && first[0] == ProgressRecordTitle) {
        int version = 0;
        if (first.size() < 2 || sscanf(first[1].c_str(), "version %d", &version) != 1 || version < 1) {
            *why = "line 1 names no version";
            return false;
        }
        if (version > ProgressRecordVersion) {
            *newer = true;
            *why = "the record is of version " + std::to_string(version) + ", newer than this game reads (" +
                   std::to_string(ProgressRecordVersion) + ")";
            return false;
        }
        if (first.size() != 4 || first[2] != "player" || first[3].size() > PlayerFieldMax) {
            *why = "line 1 is not \"" + std::string(ProgressRecordTitle) + ",version 2,player,NAME\"";
            return false;
        }
        // The name is shown to a teacher and names a file: only a name a child may go by.
        std::string canonical, nameWhy;
        if (!first[3].empty() && !checkPlayerName(first[3].c_str(), &canonical, &nameWhy)) {
            *why = "line 1: the player's name is refused: " + nameWhy;
            return false;
        }
        record->player = first[3].empty() ? first[3] : canonical;
        if (records.size() < 2 || joinFields(records[1]) != ProgressFactsHeader) {
            *why = "line 2 is not the header \"" + std::string(ProgressFactsHeader) + "\"";
            return false;
        }
        line = 2;
    } else {
        *why = "line 1 is not the header \"" + std::string(ProgressHeader) + "\" nor \"" + ProgressRecordTitle +
               ",...\"";
        return false;
    }
    std::unordered_set<std::string> seen; // the facts so far, for the check of a fact twice
    bool inGames = false;
    std::unordered_set<std::string> games;
    for (; line < records.size(); line++) {
        const std::vector<std::string> &f = records[line];
        std::string where = "line " + std::to_string(line + 1);
        if (f.size() == 1 && f[0].empty())
            continue; // an empty line, as an editor may leave at the end
        if (fields == FieldCount && !inGames && joinFields(f) == ProgressGamesHeader) {
            inGames = true;
            continue;
        }
        if (inGames) {
            KeptGame game;
            if (f.size() != 3 || !readGameId(f[0]) || !readDate(f[1]) || !readCount(f[2], &game.seconds)) {
                *why = where + " is no game such as \"9f3a61c0e2b47d15,2024-03-18,95\"";
                return false;
            }
            game.id = f[0], game.date = f[1];
            if (!games.insert(game.id).second) {
                *why = where + ": the game " + game.id + " is there twice";
                return false;
            }
            if (record->games.size() >= static_cast<size_t>(ProgressGamesMax)) {
                *why = where + ": more than " + std::to_string(ProgressGamesMax) + " games";
                return false;
            }
            record->games.push_back(game);
            continue;
        }
        ProgressRow row;
        if (!readFactLine(f, fields, where, &row, why))
            return false;
        if (!seen.insert(row.fact).second) {
            *why = where + ": \"" + row.fact + "\" is there twice";
            return false;
        }
        record->rows.push_back(row);
    }
    return true;
}

} // namespace

bool parseProgressRecord(const std::string &text, ProgressRecord *record, std::string *why) {
    bool newer;
    return parseRecordText(text, record, why, &newer);
}

bool parseProgressRecord(const std::string &text, std::vector<ProgressRow> *rows, std::string *why) {
    ProgressRecord record;
    bool read = parseProgressRecord(text, &record, why);
    *rows = std::move(record.rows);
    return read;
}

bool mergeGame(ProgressRecord *record, const KeptGame &game, const std::vector<FactOutcome> &outcomes) {
    for (const KeptGame &kept : record->games)
        if (kept.id == game.id)
            return false;
    record->games.push_back(game);
    if (record->games.size() > static_cast<size_t>(ProgressGamesMax))
        record->games.erase(record->games.begin(), record->games.end() - ProgressGamesMax);
    std::vector<ProgressRow> *rows = &record->rows;
    std::unordered_map<std::string, size_t> at; // each fact's row
    for (size_t i = 0; i < rows->size(); i++)
        at[(*rows)[i].fact] = i;
    for (const FactOutcome &given : outcomes) {
        // With askings, the counts are the askings'.
        FactOutcome outcome = given;
        std::vector<KeptAsking> kept;
        if (!given.askings.empty()) {
            outcome = FactOutcome();
            outcome.fact = given.fact;
            int32_t number = 0;
            for (const FactAsking &asking : given.askings) {
                AskingResult result = askingResult(asking);
                if (result == AskingNotCounted)
                    continue;
                outcome.asked++;
                outcome.rightFirstTry += result == AskingFluent || result == AskingSlow;
                outcome.wrong += result == AskingWrong;
                outcome.tooSlow += asking.warned;
                if (asking.answeredRight && asking.ms >= 0)
                    outcome.rightAnswerMs.push_back(asking.ms);
                kept.push_back({game.date, game.id, ++number, result});
            }
        }
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
        for (int32_t ms : outcome.rightAnswerMs)
            weighted.push_back({std::max(0, ms), 1});
        foldMedian(row, weighted);
        row->asked = addCount(row->asked, outcome.asked);
        row->rightFirstTry = addCount(row->rightFirstTry, outcome.rightFirstTry);
        row->wrong = addCount(row->wrong, outcome.wrong);
        row->tooSlow = addCount(row->tooSlow, outcome.tooSlow);
        // Never more answers than askings, whatever the caller counted.
        row->rightFirstTry = std::min(row->rightFirstTry, row->asked);
        row->wrong = std::min(row->wrong, row->asked);
        row->tooSlow = std::min(row->tooSlow, row->asked);
        row->lastPlayed = std::max(row->lastPlayed, game.date);
        row->lastAskings.insert(row->lastAskings.end(), kept.begin(), kept.end());
        keepLatest(&row->lastAskings);
    }
    return true;
}

int mergeRecordInto(ProgressRecord *into, const ProgressRecord &from) {
    std::unordered_set<std::string> known;
    for (const KeptGame &game : into->games)
        known.insert(game.id);
    int added = 0;
    for (const KeptGame &game : from.games) {
        if (known.insert(game.id).second) {
            into->games.push_back(game);
            added++;
        }
    }
    if (added == 0 && !from.games.empty())
        return 0; // every game of from is counted already: a copy
    if (into->player.empty())
        into->player = from.player;
    std::unordered_map<std::string, size_t> at;
    for (size_t i = 0; i < into->rows.size(); i++)
        at[into->rows[i].fact] = i;
    for (const ProgressRow &other : from.rows) {
        auto found = at.find(other.fact);
        if (found == at.end()) {
            at.emplace(other.fact, into->rows.size());
            into->rows.push_back(other);
            continue;
        }
        ProgressRow *row = &into->rows[found->second];
        if (other.medianMs >= 0)
            foldMedian(row, {{other.medianMs, rightAnswerCount(other)}});
        row->asked = addCount(row->asked, other.asked);
        row->rightFirstTry = std::min(addCount(row->rightFirstTry, other.rightFirstTry), row->asked);
        row->wrong = std::min(addCount(row->wrong, other.wrong), row->asked);
        row->tooSlow = std::min(addCount(row->tooSlow, other.tooSlow), row->asked);
        row->lastPlayed = std::max(row->lastPlayed, other.lastPlayed);
        for (const KeptAsking &asking : other.lastAskings) {
            bool twice = false;
            for (const KeptAsking &mine : row->lastAskings)
                twice = twice || (mine.gameId == asking.gameId && mine.number == asking.number);
            if (!twice)
                row->lastAskings.push_back(asking);
        }
        keepLatest(&row->lastAskings);
    }
    return added;
}

namespace {

// keepGameInRecord's work once the lock is held.
bool mergeUnderLock(const std::string &path, const std::string &player, const KeptGame &game,
                    const std::vector<FactOutcome> &outcomes, std::string *message) {
    ProgressRecord record;
    const std::string &date = game.date;
    std::string why;
    switch (readProgressRecord(path, &record, &why)) {
    case RecordUnreadable:
        *message = why + "; this game is not kept";
        return false;
    case RecordNewer:
        *message = "the progress record " + path + " is left as it is: " + why + "; this game is not kept";
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
        record = ProgressRecord();
        break;
    }
    case RecordAbsent:
    case RecordRead:
        break;
    }
    if (record.player.empty())
        record.player = player;
    if (!mergeGame(&record, game, outcomes))
        return true; // kept already (the same game ending twice)
    std::string text = formatProgressRecord(record);
    // The games' lines only let a game found twice count once: the oldest go first
    // rather than the record growing past what a reader takes.
    while (static_cast<long>(text.size()) > ProgressRecordMaxBytes && record.games.size() > 1) {
        record.games.erase(record.games.begin(), record.games.begin() + std::max<size_t>(1, record.games.size() / 8));
        text = formatProgressRecord(record);
    }
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

RecordState readProgressRecord(const std::string &path, ProgressRecord *record, std::string *why) {
    std::string text;
    *record = ProgressRecord();
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
    bool newer = false;
    if (parseRecordText(text, record, why, &newer))
        return RecordRead;
    return newer ? RecordNewer : RecordDamaged;
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

bool keepGameInRecord(const std::string &path, const std::string &player, const KeptGame &game,
                      const std::vector<FactOutcome> &outcomes, std::string *message) {
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
    bool kept = mergeUnderLock(path, player, game, outcomes, message);
    releaseLock(lock);
    return kept;
}

FactState factState(const ProgressRow &row) {
    if (row.asked <= 0)
        return FactNotPlayed;
    const std::vector<KeptAsking> &last = row.lastAskings;
    if (last.empty()) {
        // A fact of a record of before: its counts alone, never enough to call it fluent.
        if (2 * row.rightFirstTry < row.asked)
            return FactStuck;
        if (row.wrong > 0 || row.tooSlow > 0 || row.rightFirstTry < row.asked)
            return FactWrong;
        return row.medianMs >= 0 && row.medianMs <= FluentAnswerMs ? FactRightSoFar : FactSlow;
    }
    size_t right = 0, fluent = 0;
    std::string fluentDay;
    bool fluentOnTwoDays = false;
    for (const KeptAsking &asking : last) {
        right += asking.result == AskingFluent || asking.result == AskingSlow;
        if (asking.result == AskingFluent) {
            fluent++;
            fluentOnTwoDays = fluentOnTwoDays || (!fluentDay.empty() && fluentDay != asking.date);
            fluentDay = asking.date;
        }
    }
    if (2 * right < last.size())
        return FactStuck;
    if (row.asked >= 3 && last.size() >= 3 && fluent >= 2 && fluentOnTwoDays)
        return FactFluent;
    if (right < last.size())
        return FactWrong;
    return fluent >= 2 || fluent == last.size() ? FactRightSoFar : FactSlow;
}

std::string playersFolder() {
    std::string record = progressRecordPath();
    if (record.empty())
        return "";
    return record.substr(0, record.rfind('/')) + "/players";
}

std::string playerRecordPath(const std::string &name) {
    std::string folder = playersFolder();
    return folder.empty() ? "" : folder + "/" + playerKey(name) + ".csv";
}
