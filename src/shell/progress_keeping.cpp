// The progress record from the program's side: kept after each game, printed, forgotten.
#include "shell/progress_keeping.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <algorithm>
#include <dirent.h>
#include <strings.h>
#include <unistd.h>
#include <vector>

#include "ground/settings.h"
#include "practice/fact_record.h"
#include "record/progress_grid.h"
#include "record/players.h"
#include "record/progress_record.h"
#include "ground/atomic_file.h"
#include "ground/startup.h"
#include "shell/terminal_words.h"

void reportRecordLine(const std::string &line) {
    // Whole, however long its paths: the line's end says where a damaged record went.
    std::string whole = line + "\n";
    fwrite(whole.data(), 1, whole.size(), stderr);
    fflush(stderr);
}

void tidyProgressRecord() {
    if (!settings.remember)
        return;
    std::string path = keptRecordPath();
    std::string why;
    if (path.empty() || access(path.c_str(), F_OK) != 0)
        return;
    for (const std::string &folder : recordFolders(path))
        if (!checkFolderTrusted(folder, &why))
            return; // said when the game is kept; nothing is touched there
    int lock = takeLockBeside(path, 0, &why);
    if (lock < 0)
        return; // another game is keeping its record now: it tidies after itself
    removeStaleTemporaries(path);
    releaseLock(lock);
}

std::string todayDate() {
    time_t seconds = time(nullptr);
    struct tm local;
    char text[16] = "1970-01-01";
    if (localtime_r(&seconds, &local))
        strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

namespace {

std::string keptGameId; // the game being played's id; empty before its start

} // namespace


std::string keptRecordPath() {
    return settings.player[0] ? playerRecordPath(settings.player) : progressRecordPath();
}

void startKeptGame() { keptGameId = newGameId(); }

bool keepGameOutcomes(const std::vector<FactOutcome> &outcomes, int64_t playedMs) {
    if (!settings.remember || game.gameMode == Sign)
        return false; // the sign quiz is not kept: its answers are signs, not the facts' results
    bool any = false;
    for (const FactOutcome &outcome : outcomes)
        for (const FactAsking &asking : outcome.askings)
            any = any || askingResult(asking) != AskingNotCounted;
    for (const FactOutcome &outcome : outcomes)
        any = any || (outcome.askings.empty() && outcome.asked > 0);
    if (!any)
        return false; // a game left before any fact counted: nothing to keep
    if (keptGameId.empty())
        startKeptGame();
    KeptGame kept;
    kept.id = keptGameId;
    kept.date = todayDate();
    kept.seconds = std::max<int64_t>(0, (playedMs + 500) / 1000);
    std::string message;
    bool done = keepGameInRecord(keptRecordPath(), settings.player, kept, outcomes, &message);
    if (!message.empty())
        reportRecordLine(message);
    return done;
}

void keepFinishedGame() {
    // The game's tally with each fact's askings, from which the record takes its counts
    // and the last askings that the marks read.
    std::vector<FactOutcome> outcomes;
    for (const FactTally &fact : gameFacts()) {
        if (fact.asked == 0)
            continue;
        FactOutcome outcome;
        outcome.fact = fact.text;
        outcome.asked = fact.asked;
        outcome.rightFirstTry = fact.rightFirstTry;
        outcome.wrong = fact.askingsWrong;
        outcome.tooSlow = fact.closeCalls > fact.tooSlow ? fact.closeCalls : fact.tooSlow;
        outcome.rightAnswerMs = fact.answerMs;
        outcome.askings = fact.askings;
        outcomes.push_back(outcome);
    }
    keepGameOutcomes(outcomes, int64_t(factRecord.playedSteps) * 10);
}

int showProgress() {
    std::string path = keptRecordPath();
    if (path.empty()) {
        reportFault("no progress record: neither XDG_DATA_HOME nor HOME names a folder");
        return 1;
    }
    prepareTerminalWords();
    ProgressRecord record;
    std::string why;
    switch (readProgressRecord(path, &record, &why)) {
    case RecordAbsent:
        fputs(noProgressLine(path).c_str(), stdout);
        break;
    case RecordDamaged:
        reportRecordLine("the progress record " + path + " is damaged: " + why);
        return 1;
    case RecordNewer:
        reportRecordLine("the progress record " + path + " cannot be shown: " + why);
        return 1;
    case RecordUnreadable:
        reportRecordLine(why);
        return 1;
    case RecordRead:
        fputs(progressGridText(record, path, terminalGridWords()).c_str(), stdout);
        break;
    }
    return fflush(stdout) == 0 && !ferror(stdout) ? 0 : 1;
}

// Says of each of files (the record at path, the damaged ones kept aside, what killed
// writes left) what it is, and deletes it when deleting; 1 when one could not be.
static int forgetFiles(const std::vector<std::string> &files, const std::string &path, bool deleting) {
    const char *verb = deleting ? "Deleting" : "To delete:";
    int status = 0;
    for (const std::string &file : files) {
        ProgressRecord record;
        const std::vector<ProgressRow> &rows = record.rows;
        std::string why;
        if (file == path && readProgressRecord(path, &record, &why) == RecordRead) {
            std::string last;
            for (const ProgressRow &row : rows)
                last = row.lastPlayed > last ? row.lastPlayed : last;
            printf("%s the progress record %s: %s%s%s.\n", verb, file.c_str(),
                   countOf(rows.size(), "fact", "facts").c_str(), last.empty() ? "" : ", last played on ", last.c_str());
        } else if (file == path) {
            printf("%s the progress record %s.\n", verb, file.c_str());
        } else if (file.find(".damaged-") != std::string::npos) {
            printf("%s the damaged record kept aside %s.\n", verb, file.c_str());
        } else if (file.size() > 5 && file.compare(file.size() - 5, 5, ".lock") == 0) {
            // The lock says nothing of the child; it goes without a word.
        } else {
            printf("%s %s, left by a write that was cut short.\n", verb, file.c_str());
        }
        fflush(stdout);
        if (deleting && unlink(file.c_str()) != 0) {
            reportRecordLine("cannot delete " + file + ": " + strerror(errno));
            status = 1;
        }
    }
    return status;
}

// Whether the player, asked on the terminal (answers), says to delete what was listed.
static bool forgetConfirmed(FILE *answers) {
    if (settings.assumeYes)
        return true;
    if (!answers) {
        reportRecordLine("--forget: nothing deleted, as there is no terminal to ask: add --yes to delete without "
                         "asking");
        return false;
    }
    printf("Delete it all? Type y and Return to delete, anything else to keep it: ");
    fflush(stdout);
    char answer[64] = "";
    bool yes = fgets(answer, sizeof answer, answers) && (answer[0] == 'y' || answer[0] == 'Y') &&
               (answer[1] == '\n' || answer[1] == '\0' || strncasecmp(answer, "yes\n", 4) == 0 ||
                strcasecmp(answer, "yes") == 0);
    if (!yes)
        printf("\nNothing deleted.\n");
    return yes;
}

int forgetProgress(FILE *answers) {
    std::string path = keptRecordPath();
    if (path.empty()) {
        reportFault("no progress record: neither XDG_DATA_HOME nor HOME names a folder");
        return 1;
    }
    // The record, the damaged ones kept aside and what a killed write left behind.
    std::vector<std::string> files;
    size_t slash = path.rfind('/');
    std::string folder = path.substr(0, slash), name = path.substr(slash + 1);
    if (DIR *dir = opendir(folder.c_str())) {
        while (struct dirent *entry = readdir(dir)) {
            std::string entryName = entry->d_name;
            if (entryName == name || entryName.rfind(name + ".damaged-", 0) == 0 ||
                entryName.rfind(name + ".tmp-", 0) == 0 || entryName == name + ".lock")
                files.push_back(folder + "/" + entryName);
        }
        closedir(dir);
    }
    if (files.empty()) {
        printf("There is no progress record to forget (%s does not exist).\n", path.c_str());
        return fflush(stdout) == 0 && !ferror(stdout) ? 0 : 1;
    }
    // Told once before asking, then again as each goes.
    if (!settings.assumeYes) {
        forgetFiles(files, path, false);
        if (!forgetConfirmed(answers))
            return 1;
    }
    int status = forgetFiles(files, path, true);
    // The game's own folders go too once nothing else is in them (rmdir leaves any other).
    std::vector<std::string> folders = recordFolders(path);
    for (auto f = folders.rbegin(); f != folders.rend(); ++f)
        if (rmdir(f->c_str()) != 0)
            break;
    return fflush(stdout) == 0 && !ferror(stdout) ? status : 1;
}
