// The progress record from the program's side: kept after each game, printed, forgotten.
#include "ground/settings.h"
#include "shell/progress_keeping.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <unistd.h>
#include <vector>

#include "practice/fact_record.h"
#include "record/progress_grid.h"
#include "record/progress_record.h"
#include "ground/atomic_file.h"
#include "ground/startup.h"

void reportRecordLine(const std::string &line) {
    // Whole, however long its paths: the line's end says where a damaged record went.
    std::string whole = line + "\n";
    fwrite(whole.data(), 1, whole.size(), stderr);
    fflush(stderr);
}

void tidyProgressRecord() {
    if (!settings.remember)
        return;
    std::string path = progressRecordPath();
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

void keepFinishedGame() {
    if (!settings.remember)
        return;
    // The sign quiz is not kept: its answers are signs, not the facts' results.
    if (game.gameMode == Sign)
        return;
    // The game's own record, as the progress record counts: the facts that were the
    // leading problem, a close call counted as too slow (a problem that runs out passes
    // near the edge first).
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
        outcomes.push_back(outcome);
    }
    if (outcomes.empty())
        return; // a game left before any fact: nothing to keep
    std::string message;
    keepGameInRecord(progressRecordPath(), outcomes, todayDate(), &message);
    if (!message.empty())
        reportRecordLine(message);
}

int showProgress() {
    std::string path = progressRecordPath();
    if (path.empty()) {
        reportFault("no progress record: neither XDG_DATA_HOME nor HOME names a folder");
        return 1;
    }
    std::vector<ProgressRow> rows;
    std::string why;
    switch (readProgressRecord(path, &rows, &why)) {
    case RecordAbsent:
        printf("No progress kept yet: %s does not exist. Play with --remember to keep one.\n", path.c_str());
        break;
    case RecordDamaged:
        reportRecordLine("the progress record " + path + " is damaged: " + why);
        return 1;
    case RecordUnreadable:
        reportRecordLine(why);
        return 1;
    case RecordRead:
        fputs(progressGridText(rows, path).c_str(), stdout);
        break;
    }
    return fflush(stdout) == 0 && !ferror(stdout) ? 0 : 1;
}

int forgetProgress() {
    std::string path = progressRecordPath();
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
    int status = 0;
    for (const std::string &file : files) {
        std::vector<ProgressRow> rows;
        std::string why;
        if (file == path && readProgressRecord(path, &rows, &why) == RecordRead) {
            std::string last;
            for (const ProgressRow &row : rows)
                last = row.lastPlayed > last ? row.lastPlayed : last;
            printf("Deleting the progress record %s: %s%s%s.\n", file.c_str(),
                   countOf(rows.size(), "fact", "facts").c_str(), last.empty() ? "" : ", last played on ", last.c_str());
        } else if (file == path) {
            printf("Deleting the progress record %s.\n", file.c_str());
        } else if (file.find(".damaged-") != std::string::npos) {
            printf("Deleting the damaged record kept aside %s.\n", file.c_str());
        } else if (file.size() > 5 && file.compare(file.size() - 5, 5, ".lock") == 0) {
            // The lock says nothing of the child; it goes without a word.
        } else {
            printf("Deleting %s, left by a write that was cut short.\n", file.c_str());
        }
        fflush(stdout);
        if (unlink(file.c_str()) != 0) {
            reportRecordLine("cannot delete " + file + ": " + strerror(errno));
            status = 1;
        }
    }
    // The game's own folders go too once nothing else is in them (rmdir leaves any other).
    std::vector<std::string> folders = recordFolders(path);
    for (auto f = folders.rbegin(); f != folders.rend(); ++f)
        if (rmdir(f->c_str()) != 0)
            break;
    return fflush(stdout) == 0 && !ferror(stdout) ? status : 1;
}
