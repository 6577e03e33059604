// The progress record on disk: what reads as a record and what is kept aside as
// damaged, merging games, and writes that a full disk or a kill cut short.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "record/progress_grid.h"
#include "record/progress_record.h"
#include "ground/atomic_file.h"
#include "ground/game_state.h"
#include "ground/settings.h"
#include "record/players.h"
#include "shell/class_progress.h"
#include "record/progress_grid.h"
#include "record/progress_record.h"
#include "shell/progress_keeping.h"
#include "support.h"

namespace {

// The first line of a record of before (version 1), which is still read.
const std::string Header = "fact,asked,right first try,wrong,too slow,median ms,last played\n";
const std::string Facts = "fact,asked,right first try,wrong,too slow,median ms,last played,last askings\n";
const std::string Games = "game,date,seconds played\n";

// A record as the game writes it now.
std::string record2(const std::string &facts, const std::string &games, const std::string &player = "") {
    return "plimo progress record,version 2,player," + player + "\n" + Facts + facts + Games + games;
}

// A game of date whose id is the date's digits, a minute long.
KeptGame gameOn(const std::string &date) {
    std::string id = date;
    id.erase(std::remove(id.begin(), id.end(), '-'), id.end());
    return {id, date, 60};
}
bool keep(const std::string &path, const std::vector<FactOutcome> &outcomes, const std::string &date,
          std::string *message) {
    return keepGameInRecord(path, "", gameOn(date), outcomes, message);
}

std::string contents(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> filesIn(const std::string &folder) {
    std::vector<std::string> names;
    if (DIR *dir = opendir(folder.c_str())) {
        while (struct dirent *e = readdir(dir))
            if (e->d_name[0] != '.')
                names.push_back(e->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// One game, counts only: 7 * 8 asked twice (wrong once, right at 2.5 s and 4 s), 9 + 6
// once, right at 1.2 s, and a fact that never led.
std::vector<FactOutcome> oneGame() {
    FactOutcome product{"7 * 8", 2, 1, 1, 0, {2500, 4000}, {}};
    FactOutcome sum{"9 + 6", 1, 1, 0, 0, {1200}, {}};
    FactOutcome unasked{"3 * 3", 0, 0, 0, 0, {}, {}};
    return {product, sum, unasked};
}
// The record oneGame leaves in a new record on date (its game's line included).
std::string oneGameKept(const std::string &date) {
    return record2("7 * 8,2,1,1,0,2500," + date + ",\n9 + 6,1,1,0,0,1200," + date + ",\n",
                   gameOn(date).id + "," + date + ",60\n");
}

// Askings as the game hands them over: right, wrong, warned, ms.
FactAsking asked(bool right, bool wrong, bool warned, int32_t ms) { return {right, wrong, warned, ms}; }

class ProgressFile : public ::testing::Test {
  protected:
    void TearDown() override { setAtomicWriteFault(-1, false); }
    ScratchDir dir;
    std::string folder = dir.path() + "/plimo";
    std::string path = folder + "/progress.csv";
};

} // namespace

TEST(ProgressRecordText, ReadsWhatTheGameAndSpreadsheetsWriteAndMergesGames) {
    ProgressRecord record;
    std::string why;
    EXPECT_TRUE(mergeGame(&record, gameOn("2024-03-18"), oneGame()));
    EXPECT_EQ(formatProgressRecord(record), oneGameKept("2024-03-18"));
    // A second day, with each asking: the counts are the askings' (the one the game ended
    // under, neither answered nor warned, left out); the median weighs the earlier one by
    // its right answers; the game's id is kept, and the same game again adds nothing.
    FactOutcome again{"7 * 8", 9, 9, 9, 9, {1}, {asked(true, true, false, 2000), asked(true, false, false, 1500),
                                               asked(false, false, false, -1), asked(false, false, true, -1)}};
    FactOutcome ended{"6 * 6", 0, 0, 0, 0, {}, {asked(false, false, false, -1)}};
    for (int twice = 0; twice < 2; twice++)
        EXPECT_EQ(mergeGame(&record, gameOn("2024-03-19"), {again, ended}), twice == 0);
    const std::string kept =
        record2("7 * 8,5,2,2,1,2000,2024-03-19,2024-03-19 20240319 1 w;2024-03-19 20240319 2 f;2024-03-19 20240319 3 t\n"
                "9 + 6,1,1,0,0,1200,2024-03-18,\n",
                "20240318,2024-03-18,60\n20240319,2024-03-19,60\n", "");
    EXPECT_EQ(formatProgressRecord(record), kept);
    // The same record saved by a spreadsheet: every field quoted, CRLF line ends.
    std::string quoted = "\"plimo progress record\",\"version 2\",\"player\",\"\"\r\n\"fact\",\"asked\",\"right first "
                         "try\",\"wrong\",\"too slow\",\"median ms\",\"last played\",\"last askings\"\r\n\"7 * "
                         "8\",\"5\",\"2\",\"2\",\"1\",\"2000\",\"2024-03-19\",\"2024-03-19 20240319 1 w;2024-03-19 "
                         "20240319 2 f;2024-03-19 20240319 3 t\"\r\n\"9 + 6\",1,1,0,0,1200,2024-03-18,\r\n\"game\",\"date"
                         "\",\"seconds played\"\r\n20240318,2024-03-18,60\r\n\"20240319\",2024-03-19,60\r\n\r\n";
    ProgressRecord read;
    ASSERT_TRUE(parseProgressRecord(quoted, &read, &why)) << why;
    EXPECT_EQ(formatProgressRecord(read), kept);
    // Saved for a spreadsheet by the page: a cell that would be a formula is quoted with an
    // apostrophe before it, which reading drops again; unquoted, an apostrophe stays.
    ProgressRecord marked;
    ASSERT_TRUE(parseProgressRecord(Header + "\"'-1 + 2\",3,\"'2\",1,0,,2024-03-19\n", &marked, &why)) << why;
    ASSERT_EQ(marked.rows.size(), 1u);
    EXPECT_EQ(marked.rows[0].fact, "-1 + 2");
    EXPECT_EQ(marked.rows[0].rightFirstTry, 2);
    EXPECT_FALSE(parseProgressRecord(Header + "'-1 + 2,3,2,1,0,,2024-03-19\n", &marked, &why));
    // A record of before is read as it is and written anew, its player named by the game.
    ASSERT_TRUE(parseProgressRecord(Header + "7 * 8,6,5,1,1,6000,2024-03-19\n", &read, &why)) << why;
    read.player = "Åsa";
    EXPECT_EQ(formatProgressRecord(read), record2("7 * 8,6,5,1,1,6000,2024-03-19,\n", "", "Åsa"));
    // A name is read as the game checks names: trimmed.
    ASSERT_TRUE(parseProgressRecord(record2("", "", "\" O'Neil \""), &record, &why)) << why;
    EXPECT_EQ(record.player, "O'Neil");
}

// What each asking counts as, and the marks a teacher's grid gives from a fact's last
// askings (or, in a record of before, from its counts).
TEST(ProgressRecordText, MarksATeacherCanTrust) {
    const struct {
        FactAsking asking;
        AskingResult result;
    } askings[] = {
        {asked(true, false, false, 0), AskingFluent},     {asked(true, false, false, 3000), AskingFluent},
        {asked(true, false, false, 3001), AskingSlow},    {asked(true, false, true, 900), AskingSlow},
        {asked(true, true, false, 900), AskingWrong},     {asked(false, true, true, -1), AskingWrong},
        {asked(false, false, true, -1), AskingTooSlow},   {asked(false, false, false, -1), AskingNotCounted},
    };
    for (const auto &a : askings)
        EXPECT_EQ(askingResult(a.asking), a.result) << a.asking.answeredRight << a.asking.answeredWrong
                                                    << a.asking.warned << " " << a.asking.ms;
    // Askings as "result day" (days 1 to 3 of March).
    auto last = [](std::vector<const char *> list) {
        std::vector<KeptAsking> kept;
        for (const char *a : list)
            kept.push_back({std::string("2024-03-0") + a[1], "ab", 1, static_cast<AskingResult>(a[0])});
        return kept;
    };
    const struct {
        int64_t asked;
        std::vector<const char *> last;
        FactState state;
    } marks[] = {
        {3, {"f1", "f1", "f1"}, FactRightSoFar}, // all on one day
        {3, {"f1", "f1", "f2"}, FactFluent},     {2, {"f1", "f2"}, FactRightSoFar},
        {9, {"f1", "f2"}, FactRightSoFar},       // two askings kept: not yet three to go by
        {3, {"s1", "f1", "f2"}, FactFluent},     {3, {"f1", "s2", "f2"}, FactFluent},
        {3, {"f1", "f1", "s2"}, FactRightSoFar}, {3, {"f1", "s2", "s2"}, FactSlow},
        {1, {"s1"}, FactSlow},                   {1, {"f1"}, FactRightSoFar},
        {3, {"w1", "f2", "f3"}, FactFluent},     {3, {"f1", "w2", "s2"}, FactWrong},
        {3, {"f1", "t2", "f3"}, FactFluent},     {3, {"t1", "s2", "s3"}, FactWrong},
        {2, {"f1", "w1"}, FactWrong},            {3, {"w1", "t2", "f3"}, FactStuck},
        {1, {"w1"}, FactStuck},                  {1, {"t1"}, FactStuck},
        {0, {}, FactNotPlayed},
    };
    for (const auto &m : marks) {
        ProgressRow row{"7 * 8", m.asked, 0, 0, 0, -1, "2024-03-03", last(m.last)};
        EXPECT_EQ(factState(row), m.state) << m.asked << (m.last.empty() ? "" : m.last[0]) << "...";
    }
    const struct {
        ProgressRow row;
        FactState state;
    } before[] = {
        {{"7 * 8", 5, 5, 0, 0, 3000, "", {}}, FactRightSoFar}, {{"7 * 8", 5, 5, 0, 0, 3001, "", {}}, FactSlow},
        {{"7 * 8", 5, 4, 1, 0, 900, "", {}}, FactWrong},       {{"7 * 8", 5, 5, 0, 1, 900, "", {}}, FactWrong},
        {{"7 * 8", 5, 2, 3, 0, 900, "", {}}, FactStuck},       {{"7 * 8", 1, 0, 0, 1, -1, "", {}}, FactStuck},
        {{"7 * 8", 0, 0, 0, 0, -1, "", {}}, FactNotPlayed},
    };
    for (const auto &b : before)
        EXPECT_EQ(factState(b.row), b.state) << b.row.rightFirstTry << " of " << b.row.asked << ", " << b.row.medianMs;
    // One short game never makes a fact fluent, however quick; three games on two days do.
    ProgressRecord record;
    FactOutcome quick{"7 * 8", 0, 0, 0, 0, {}, {asked(true, false, false, 800), asked(true, false, false, 700),
                                               asked(true, false, false, 600)}};
    mergeGame(&record, {"a1", "2024-03-18", 60}, {quick});
    EXPECT_EQ(factState(record.rows[0]), FactRightSoFar);
    quick.askings.resize(1);
    mergeGame(&record, {"a2", "2024-03-19", 60}, {quick});
    EXPECT_EQ(factState(record.rows[0]), FactFluent);
}

// What is no record this game wrote is refused with what is wrong and where; the game
// then keeps it aside (a second one the same day beside it) and starts a new record.
TEST_F(ProgressFile, ADamagedRecordIsKeptAsideNeverOverwritten) {
    const struct {
        const char *text;
        const char *why;
    } damaged[] = {
        {"", "the file is empty"},
        {"fact,asked\n7 * 8,1\n", "line 1 is not the header"},
        {"7 * 8,2,1,1,0,2500,2024-03-18\n", "line 1 is not the header"},
        {"fact,asked,right first try,wrong,too slow,median ms,last played\n7 * 8,2,1,1,0,2500\n", "line 2 has 6 fields"},
        {"fact,asked,right first try,wrong,too slow,median ms,last played\n7 * 8,2,3,1,0,2500,2024-03-18\n",
         "line 2: more answers than times asked"},
        {"fact,asked,right first try,wrong,too slow,median ms,last played\n7 * 8,two,1,1,0,,2024-03-18\n",
         "line 2: a count is not a whole number"},
        {"fact,asked,right first try,wrong,too slow,median ms,last played\n7 x 8,2,1,1,0,,2024-03-18\n",
         "line 2: \"7 x 8\" is no fact"},
        {"fact,asked,right first try,wrong,too slow,median ms,last played\n7 * 8,2,1,1,0,,18/03/2024\n",
         "line 2: \"18/03/2024\" is no date"},
        {"fact,asked,right first try,wrong,too slow,median ms,last played\n7 * 8,2,1,1,0,,2024-03-18\n"
         "7 * 8,1,1,0,0,,2024-03-18\n",
         "line 3: \"7 * 8\" is there twice"},
        {"fact,asked,right first try,wrong,too slow,median ms,last played\n\"7 * 8,2,1,1,0,,2024-03-18\n",
         "a quoted field is never closed"},
        // The current format.
        {"plimo progress record,version 3,player,\n", "the record is of version 3, newer than this game reads (2)"},
        {"plimo progress record,version two,player,\n", "line 1 names no version"},
        {"plimo progress record,version 2,player\n", "line 1 is not \"plimo progress record,version 2,player,NAME\""},
        {"plimo progress record,version 2,player,\nfact,asked\n", "line 2 is not the header"},
        {"plimo progress record,version 2,player,\x1b]0;x\x07\n", "line 1: the player's name is refused: a name holds only"},
        {"plimo progress record,version 2,player,\nfact,asked,right first try,wrong,too slow,median ms,last played,"
         "last askings\n7 * 8,1,1,0,0,,2024-03-18\n",
         "line 3 has 7 fields, not 8"},
        {"plimo progress record,version 2,player,\nfact,asked,right first try,wrong,too slow,median ms,last played,"
         "last askings\n7 * 8,1,1,0,0,,2024-03-18,2024-03-18 ab 1 f;2024-03-18 ab 2 f;2024-03-18 ab 3 f;2024-03-18 ab 4 f\n",
         "line 3: \"2024-03-18 ab 1 f;"},
        {"plimo progress record,version 2,player,\nfact,asked,right first try,wrong,too slow,median ms,last played,"
         "last askings\n7 * 8,1,1,0,0,,2024-03-18,2024-03-18 AB 1 f\n",
         "are no last askings"},
        {"plimo progress record,version 2,player,\nfact,asked,right first try,wrong,too slow,median ms,last played,"
         "last askings\n7 * 8,1,1,0,0,,2024-03-18,2024-03-18 ab 0 f\n",
         "are no last askings"},
        {"plimo progress record,version 2,player,\nfact,asked,right first try,wrong,too slow,median ms,last played,"
         "last askings\n7 * 8,1,1,0,0,,2024-03-18,2024-03-18 ab 1 x\n",
         "are no last askings"},
        {"plimo progress record,version 2,player,\nfact,asked,right first try,wrong,too slow,median ms,last played,"
         "last askings\ngame,date,seconds played\nab,2024-03-18,60\nab,2024-03-19,60\n",
         "line 5: the game ab is there twice"},
        {"plimo progress record,version 2,player,\nfact,asked,right first try,wrong,too slow,median ms,last played,"
         "last askings\ngame,date,seconds played\nab,2024-03-18\n",
         "line 4 is no game"},
        {"plimo progress record,version 2,player,\nfact,asked,right first try,wrong,too slow,median ms,last played,"
         "last askings\ngame,date,seconds played\n7 * 8,1,1,0,0,,2024-03-18,\n",
         "line 4 is no game"},
    };
    for (const auto &d : damaged) {
        SCOPED_TRACE(d.text);
        ASSERT_EQ(0, system(("rm -rf '" + folder + "' && mkdir '" + folder + "'").c_str()));
        dir.write("plimo/progress.csv", d.text);
        std::string message;
        bool newer = strstr(d.why, "newer") != nullptr;
        EXPECT_EQ(keep(path, oneGame(), "2024-03-20", &message), !newer);
        EXPECT_NE(message.find(d.why), std::string::npos) << message;
        if (newer) { // a newer game's record is left as it is, and this game not kept
            EXPECT_EQ(contents(path), d.text);
            EXPECT_NE(message.find("; this game is not kept"), std::string::npos) << message;
            continue;
        }
        EXPECT_NE(message.find("kept as " + path + ".damaged-2024-03-20"), std::string::npos) << message;
        EXPECT_EQ(contents(path + ".damaged-2024-03-20"), d.text);
        EXPECT_EQ(contents(path), oneGameKept("2024-03-20"));
    }
    dir.write("plimo/progress.csv", "not a record");
    std::string message;
    ASSERT_TRUE(keep(path, oneGame(), "2024-03-20", &message));
    EXPECT_EQ(contents(path + ".damaged-2024-03-20-2"), "not a record");
    EXPECT_EQ(filesIn(folder), (std::vector<std::string>{"progress.csv", "progress.csv.damaged-2024-03-20",
                                                          "progress.csv.damaged-2024-03-20-2", "progress.csv.lock"}));
}

// A full disk in the middle of the write, or the program killed there: the record is
// what it was, the next game is kept as if nothing had happened, and with a new record
// (its folders not made yet) nothing half-written is left as one.
TEST_F(ProgressFile, AFullDiskOrAKillMidWriteLosesNothingKeptBefore) {
    std::string message;
    ASSERT_TRUE(keep(path, oneGame(), "2024-03-18", &message)) << message;
    EXPECT_EQ(message, "");
    const std::string before = contents(path);
    FactOutcome many{"6 * 7", 9, 9, 0, 0, {900}, {}};
    for (long limit : {0L, 10L, long(before.size())}) {
        setAtomicWriteFault(limit, false);
        EXPECT_FALSE(keep(path, {many}, "2024-03-19", &message));
        EXPECT_NE(message.find(strerror(ENOSPC)), std::string::npos) << message;
        EXPECT_NE(message.find("the record before it is"), std::string::npos) << message;
        EXPECT_EQ(contents(path), before);
        EXPECT_EQ(filesIn(folder), (std::vector<std::string>{"progress.csv", "progress.csv.lock"}));
    }
    EXPECT_EXIT(
        {
            setAtomicWriteFault(20, true);
            keep(path, {many}, "2024-03-19", &message);
            exit(0);
        },
        ::testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(contents(path), before);
    EXPECT_EQ(filesIn(folder).size(), 3u) << "the killed write's temporary file";
    setAtomicWriteFault(-1, false);
    ASSERT_TRUE(keep(path, {many}, "2024-03-19", &message)) << message;
    EXPECT_EQ(contents(path), record2("7 * 8,2,1,1,0,2500,2024-03-18,\n9 + 6,1,1,0,0,1200,2024-03-18,\n6 * 7,9,9,0,0,"
                                      "900,2024-03-19,\n",
                                      "20240318,2024-03-18,60\n20240319,2024-03-19,60\n"));
    // Its writer is gone: the next game's keeping cleared it away.
    EXPECT_EQ(filesIn(folder), (std::vector<std::string>{"progress.csv", "progress.csv.lock"}));

    std::string fresh = dir.path() + "/new/deeper/progress.csv";
    setAtomicWriteFault(5, false);
    EXPECT_FALSE(keep(fresh, oneGame(), "2024-03-19", &message));
    EXPECT_EQ(filesIn(dir.path() + "/new/deeper"), std::vector<std::string>{"progress.csv.lock"});
}

// Two games ending at the same moment, each write held 300 ms before its rename as a slow
// disk's sync holds it: both reach the record, whichever renames last.
TEST_F(ProgressFile, TwoGamesEndingTogetherBothReachTheRecord) {
    ASSERT_EQ(0, mkdir(folder.c_str(), 0700));
    setAtomicWriteStall(300);
    pid_t games[2];
    const char *facts[2] = {"2 * 3", "4 + 5"};
    for (int g = 0; g < 2; g++) {
        games[g] = fork();
        ASSERT_GE(games[g], 0);
        if (games[g] == 0) {
            std::string message;
            FactOutcome one{facts[g], 1, 1, 0, 0, {1000}, {}};
            _exit(keepGameInRecord(path, "", {g ? "b" : "a", "2024-03-18", 60}, {one}, &message) ? 0 : 1);
        }
    }
    for (pid_t game : games) {
        int status = -1;
        ASSERT_EQ(game, waitpid(game, &status, 0));
        EXPECT_EQ(status, 0);
    }
    setAtomicWriteStall(0);
    std::string record = contents(path);
    EXPECT_NE(record.find("2 * 3,1,1,0,0,1000,2024-03-18,\n"), std::string::npos) << record;
    EXPECT_NE(record.find("4 + 5,1,1,0,0,1000,2024-03-18,\n"), std::string::npos) << record;
    // A game that holds the lock keeps another waiting, up to the wait given.
    std::string why;
    int held = takeLockBeside(path, 0, &why);
    ASSERT_GE(held, 0) << why;
    pid_t other = fork();
    if (other == 0)
        _exit(takeLockBeside(path, 100, &why) < 0 && why.find("another game has held") == 0 ? 0 : 1);
    int status = -1;
    waitpid(other, &status, 0);
    EXPECT_EQ(status, 0);
    releaseLock(held);
}

// A folder that others may write in, or that another user owns, is no place for the
// record: one line says so and nothing is written there, whatever was planted in it.
TEST_F(ProgressFile, ASharedFolderGetsNothing) {
    const uid_t me = geteuid(), other = me + 1;
    const struct {
        mode_t mode;
        uid_t owner;
        const char *fault;
    } folders[] = {
        {S_IFDIR | 0700, me, ""},
        {S_IFDIR | 0755, me, ""},
        {S_IFDIR | 0770, me, "others may write in it"},
        {S_IFDIR | 0702, me, "others may write in it"},
        {S_IFDIR | 01777, me, "others may write in it"},
        {S_IFDIR | 0700, other, "it belongs to another user"},
        {S_IFREG | 0600, me, "it is not a folder"},
        {S_IFLNK | 0777, me, "it is not a folder"},
    };
    for (const auto &f : folders) {
        struct stat info = {};
        info.st_mode = f.mode, info.st_uid = f.owner;
        EXPECT_EQ(folderTrustFault(info, me).rfind(f.fault, 0), 0u) << std::oct << f.mode << " " << f.owner;
    }
    ASSERT_EQ(0, mkdir(folder.c_str(), 0700));
    ASSERT_EQ(0, chmod(folder.c_str(), 0777));
    std::string message;
    EXPECT_FALSE(keep(path, oneGame(), "2024-03-18", &message));
    EXPECT_EQ(message, "the folder " + folder + " is not safe to keep the record in: others may write in it (chmod "
                       "go-w on it lets the game keep the record there); this game is not kept");
    EXPECT_EQ(filesIn(folder), std::vector<std::string>{});
    // A player's folder inside it is not made either.
    EXPECT_FALSE(keep(folder + "/players/ana.csv", oneGame(), "2024-03-18", &message));
    EXPECT_EQ(filesIn(folder), std::vector<std::string>{});
    if (me == 0) { // only the superuser can give a folder away
        ASSERT_EQ(0, chmod(folder.c_str(), 0755));
        ASSERT_EQ(0, chown(folder.c_str(), 65534, 65534));
        EXPECT_FALSE(keep(path, oneGame(), "2024-03-18", &message));
        EXPECT_NE(message.find("it belongs to another user (uid 65534)"), std::string::npos) << message;
        EXPECT_EQ(filesIn(folder), std::vector<std::string>{});
        ASSERT_EQ(0, chown(folder.c_str(), me, getegid()));
    }
    // The player's own folder, with a link and FIFOs planted under every name a write
    // used to take: the file the link points at is untouched, and nothing waits on a FIFO.
    ASSERT_EQ(0, chmod(folder.c_str(), 0700));
    dir.write("victim", "the player's other file");
    const std::string planted = path + ".tmp-" + std::to_string(getpid());
    ASSERT_EQ(0, symlink((dir.path() + "/victim").c_str(), planted.c_str()));
    ASSERT_EQ(0, mkfifo((path + ".tmp-" + std::to_string(getpid() + 1)).c_str(), 0600));
    alarm(20); // a FIFO opened for writing would wait here for ever
    EXPECT_TRUE(keep(path, oneGame(), "2024-03-18", &message)) << message;
    alarm(0);
    EXPECT_EQ(contents(dir.path() + "/victim"), "the player's other file");
    EXPECT_EQ(contents(path), oneGameKept("2024-03-18"));
    // A FIFO or a link in place of the lock or of the record: refused at once.
    for (const std::string &name : {lockPathOf(path), path}) {
        for (bool fifo : {true, false}) {
            SCOPED_TRACE(name + (fifo ? " as a FIFO" : " as a link"));
            std::string kept = contents(path);
            ASSERT_EQ(0, rename(name.c_str(), (name + ".was").c_str()));
            ASSERT_EQ(0, fifo ? mkfifo(name.c_str(), 0600) : symlink("/dev/zero", name.c_str()));
            alarm(20);
            EXPECT_FALSE(keep(path, oneGame(), "2024-03-19", &message));
            alarm(0);
            EXPECT_NE(message.find(name), std::string::npos) << message;
            EXPECT_NE(message.find("this game is not kept"), std::string::npos) << message;
            ASSERT_EQ(0, unlink(name.c_str()));
            ASSERT_EQ(0, rename((name + ".was").c_str(), name.c_str()));
            EXPECT_EQ(contents(path), kept);
        }
    }
}

// Counts at the edges of what a record holds; a record past the size limit is refused
// from its size and kept aside; an error line keeps its end whatever its paths' length.
TEST_F(ProgressFile, CountsAndSizesStayWithinWhatIsReadBack) {
    ASSERT_EQ(0, mkdir(folder.c_str(), 0700));
    const struct {
        const char *asked;
        bool read;
        const char *after; // the row after one more game of 7 * 8 asked twice
    } counts[] = {
        {"999999999999997", true, "7 * 8,999999999999999,"},
        {"999999999999998", true, "7 * 8,999999999999999,"},
        {"999999999999999", true, "7 * 8,999999999999999,"},
        {"1000000000000000", false, "7 * 8,2,"},
        {"0999999999999999", false, "7 * 8,2,"},
    };
    for (const auto &c : counts) {
        SCOPED_TRACE(c.asked);
        dir.write("plimo/progress.csv", Header + "7 * 8," + c.asked + ",1,0,0,,2024-03-18\n");
        ProgressRecord rows;
        std::string why, message;
        EXPECT_EQ(readProgressRecord(path, &rows, &why), c.read ? RecordRead : RecordDamaged) << why;
        ASSERT_TRUE(keep(path, oneGame(), "2024-03-19", &message)) << message;
        EXPECT_EQ(readProgressRecord(path, &rows, &why), RecordRead) << why;
        EXPECT_EQ(contents(path).find("plimo progress record,version 2,player,\n" + Facts + c.after), 0u)
            << contents(path);
        system(("rm -f '" + folder + "'/progress.csv.damaged-*").c_str());
    }
    // Valid rows a byte past the limit, and well past it.
    std::string rows;
    for (int a = 0; Header.size() + rows.size() <= size_t(ProgressRecordMaxBytes); a++)
        rows += std::to_string(a) + " + 1,1,1,0,0,900,2024-03-18\n";
    for (size_t extra : {size_t(0), size_t(ProgressRecordMaxBytes)}) {
        std::string big = Header + rows + std::string(extra, '\n');
        ASSERT_GT(big.size(), size_t(ProgressRecordMaxBytes));
        dir.write("plimo/progress.csv", big);
        ProgressRecord read;
        std::string why, message;
        EXPECT_EQ(readProgressRecord(path, &read, &why), RecordDamaged);
        EXPECT_EQ(why, "it holds more than 1048576 bytes");
        ASSERT_TRUE(keep(path, oneGame(), "2024-03-20", &message));
        EXPECT_NE(message.find("kept as " + path + ".damaged-2024-03-20"), std::string::npos) << message;
        system(("rm -f '" + folder + "'/progress.csv.damaged-*").c_str());
    }
    // A record folder deep enough that the message runs past 600 bytes: it still ends
    // with where the damaged record went.
    std::string deep = dir.path() + "/" + std::string(200, 'd') + "/" + std::string(200, 'e') + "/progress.csv";
    ASSERT_TRUE(makeFolders(deep.substr(0, deep.rfind('/')), &rows));
    std::ofstream(deep) << "no record";
    std::string message;
    ASSERT_TRUE(keep(deep, oneGame(), "2024-03-20", &message));
    testing::internal::CaptureStderr();
    reportRecordLine(message);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_GT(said.size(), 600u);
    EXPECT_EQ(said, "the progress record " + deep + " was damaged (line 1 is not the header \"" + ProgressHeader +
                        "\" nor \"plimo progress record,...\"); it is kept as " + deep + ".damaged-2024-03-20 and a new record is started\n");
}

// What a killed writer left is cleared at a later start, never what a running game is
// writing; --forget says "1 fact" and takes the folders it made when they are left empty.
TEST_F(ProgressFile, StartAndForgetTidyUp) {
    setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
    settings.remember = true;
    ASSERT_EQ(0, mkdir(folder.c_str(), 0700));
    pid_t gone = fork();
    if (gone == 0)
        _exit(0);
    waitpid(gone, nullptr, 0);
    const std::string dead = std::to_string(gone), alive = std::to_string(getpid());
    for (const std::string &name : {std::string("progress.csv"), "progress.csv.tmp-" + dead, "progress.csv.tmp-" + dead + "-0a1b",
                                    "progress.csv.tmp-" + alive + "-0a1b", std::string("progress.csv.tmp-x"), "other.tmp-" + dead})
        dir.write("plimo/" + name, Header + "7 * 8,1,1,0,0,900,2024-03-18\n");
    tidyProgressRecord();
    EXPECT_EQ(filesIn(folder), (std::vector<std::string>{"other.tmp-" + dead, "progress.csv", "progress.csv.lock",
                                                          "progress.csv.tmp-" + alive + "-0a1b",
                                                          "progress.csv.tmp-x"}));
    // While another game holds the lock, nothing is touched.
    std::string why;
    int held = takeLockBeside(path, 0, &why);
    dir.write("plimo/progress.csv.tmp-" + dead, "");
    pid_t tidier = fork();
    if (tidier == 0) {
        tidyProgressRecord();
        _exit(0);
    }
    waitpid(tidier, nullptr, 0);
    EXPECT_EQ(access((path + ".tmp-" + dead).c_str(), F_OK), 0);
    releaseLock(held);

    ProgressRecord one{"", {{"7 * 8", 1, 1, 0, 0, 900, "2024-03-18", {}}}, {}};
    EXPECT_EQ(progressGridText(one, path).find("Progress kept in " + path + ": 1 fact played, last on 2024-03-18.\n"),
              0u);
    ASSERT_EQ(0, system(("rm -f '" + folder + "'/*").c_str()));
    dir.write("plimo/progress.csv", Header + "7 * 8,1,1,0,0,900,2024-03-18\n");
    // Without a terminal to ask, nothing goes; asked, only "y" deletes; --yes asks nothing.
    settings.assumeYes = false;
    EXPECT_EQ(forgetProgress(nullptr), 1);
    for (const char *answer : {"n\n", "", "yesterday\n"}) {
        FILE *answers = fmemopen(const_cast<char *>(answer), strlen(answer) + 1, "r");
        testing::internal::CaptureStdout();
        EXPECT_EQ(forgetProgress(answers), 1) << answer;
        EXPECT_NE(testing::internal::GetCapturedStdout().find("Nothing deleted."), std::string::npos) << answer;
        fclose(answers);
    }
    EXPECT_EQ(access(path.c_str(), F_OK), 0) << "deleted without a yes";
    char yes[] = "y\n";
    FILE *answers = fmemopen(yes, sizeof yes, "r");
    testing::internal::CaptureStdout();
    EXPECT_EQ(forgetProgress(answers), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "To delete: the progress record " + path + ": 1 fact, last played on 2024-03-18.\n"
              "Delete it all? Type y and Return to delete, anything else to keep it: "
              "Deleting the progress record " + path + ": 1 fact, last played on 2024-03-18.\n");
    fclose(answers);
    settings.assumeYes = true;
    EXPECT_NE(access(folder.c_str(), F_OK), 0) << "the emptied folder";
    EXPECT_EQ(access(dir.path().c_str(), F_OK), 0) << "the data folder above it";
    // A folder holding something else stays.
    ASSERT_EQ(0, mkdir(folder.c_str(), 0700));
    dir.write("plimo/progress.csv", Header);
    dir.write("plimo/notes", "");
    testing::internal::CaptureStdout();
    EXPECT_EQ(forgetProgress(nullptr), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Deleting the progress record " + path + ": 0 facts.\n");
    EXPECT_EQ(filesIn(folder), std::vector<std::string>{"notes"});
    settings.remember = false;
    unsetenv("XDG_DATA_HOME");
}

// Each child's record by name (the names themselves: tests/players_test.cpp).
TEST(Players, EachChildsRecordByName) {
    EXPECT_EQ(playerKey("Ana"), "ana");
    EXPECT_EQ(playerKey("ÅSA ZOË"), "åsa zoë");
    ScratchDir dir;
    setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
    EXPECT_EQ(playerRecordPath("Åsa"), dir.path() + "/plimo/players/åsa.csv");
    // A child's game is kept in the child's own record, under the child's name, once
    // however often its end is kept; the sign quiz is not kept.
    settings.remember = true;
    game.gameMode = Multiplication;
    snprintf(settings.player, sizeof settings.player, "%s", "Åsa");
    startKeptGame();
    FactOutcome one{"7 * 8", 0, 0, 0, 0, {}, {asked(true, false, false, 900)}};
    for (int twice = 0; twice < 2; twice++)
        EXPECT_TRUE(keepGameOutcomes({one}, 61400));
    EXPECT_EQ(contents(playerRecordPath("ÅSA")).substr(0, 44), "plimo progress record,version 2,player,Åsa\n");
    ProgressRecord kept;
    std::string why;
    ASSERT_EQ(readProgressRecord(playerRecordPath("Åsa"), &kept, &why), RecordRead) << why;
    ASSERT_EQ(kept.games.size(), 1u);
    EXPECT_EQ(kept.games[0].seconds, 61);
    EXPECT_EQ(kept.rows[0].asked, 1);
    game.gameMode = Sign;
    startKeptGame();
    EXPECT_FALSE(keepGameOutcomes({one}, 1000));
    EXPECT_EQ(access((dir.path() + "/plimo/progress.csv").c_str(), F_OK), -1);
    game.gameMode = Multiplication;
    settings.player[0] = '\0';
    settings.remember = false;
    unsetenv("XDG_DATA_HOME");
}

// Cells a spreadsheet would take as formulas are written as text, and read back as they
// were; the class view merges the children's records by name, a game found twice once.
TEST(ClassProgress, RecordsOfManyDevicesMergedByName) {
    const struct {
        const char *text, *cell;
    } cells[] = {
        {"=1+1", "'=1+1"}, {"+4", "'+4"},     {"-Ana", "'-Ana"}, {"@x", "'@x"},       {"\tx", "'\tx"},
        {"\rx", "'\rx"},   {"'=x", "''=x"},   {"''-x", "'''-x"}, {"Ana", "Ana"},      {"'Ana", "'Ana"},
        {"O'Neil", "O'Neil"}, {"", ""},       {"'", "'"},        {"7 - 2", "7 - 2"}, {"a=b", "a=b"},
    };
    for (const auto &c : cells) {
        EXPECT_EQ(spreadsheetCell(c.text), c.cell) << c.text;
        EXPECT_EQ(cellFromSpreadsheet(c.cell), c.text) << c.cell;
    }
    ScratchDir dir;
    auto game = [](const char *id, const char *date, int64_t seconds, std::vector<FactOutcome> facts,
                   ProgressRecord *record) { mergeGame(record, {id, date, seconds}, facts); };
    auto fact = [](const char *text, std::vector<FactAsking> askings) {
        return FactOutcome{text, 0, 0, 0, 0, {}, askings};
    };
    const FactAsking f = asked(true, false, false, 900), s = asked(true, false, false, 4000),
                     w = asked(false, true, false, -1), t = asked(false, false, true, -1);
    ProgressRecord ana, anaElsewhere, ben, cleo;
    ana.player = "Ana", anaElsewhere.player = "ana", ben.player = "Ben", cleo.player = "-Cleo";
    game("a1", "2024-03-18", 300, {fact("7 * 8", {w}), fact("6 * 7", {f})}, &ana);
    game("a2", "2024-03-19", 240, {fact("7 * 8", {t}), fact("6 * 7", {f})}, &ana);
    game("a3", "2024-03-20", 60, {fact("6 * 7", {f})}, &anaElsewhere);
    game("b1", "2024-03-18", 120, {fact("7 * 8", {w}), fact("9 + 6", {s})}, &ben);
    game("c1", "2024-03-18", 90, {fact("7 * 8", {t}), fact("9 + 6", {f}), fact("5 - 2", {w, f})}, &cleo);
    dir.write("ana.csv", formatProgressRecord(ana));
    dir.write("ana-copy.csv", formatProgressRecord(ana));
    dir.write("ana-tablet.csv", formatProgressRecord(anaElsewhere));
    dir.write("ben.csv", formatProgressRecord(ben));
    dir.write("cleo.csv", formatProgressRecord(cleo));
    std::vector<std::string> files = {"ana.csv", "ana-copy.csv", "ana-tablet.csv", "ben.csv", "cleo.csv"};
    testing::internal::CaptureStdout();
    EXPECT_EQ(showClassProgress(files), 0);
    std::string shown = testing::internal::GetCapturedStdout();
    const std::string none = "    0   0   0   0";
    for (const std::string &line : std::vector<std::string>
         {std::string("Class progress from 5 files: 3 children.\n"),
          "\nAna             3       10  2024-03-20      1   0   0   1" + none + none + none + "\n",
          "\nBen             1        2  2024-03-18      0   0   0   1" + none + "    0   1   0   0" + none + "\n",
          "\n-Cleo           1        2  2024-03-18      0   0   0   1" + none + none + "    0   0   1   0\n",
          "\nFacts most children are stuck on:\n  Multiplication: 7 * 8 (3: Ana, Ben, -Cleo)\n  Division: none\n"
          "  Addition: none\n  Subtraction: none\n"})
        EXPECT_NE(shown.find(line), std::string::npos) << line << "\nin:\n" << shown;
    // The class table: the formula-like name as text; read back, the same class.
    testing::internal::CaptureStdout();
    EXPECT_EQ(printClassCsv(files), 0);
    std::string table = testing::internal::GetCapturedStdout();
    EXPECT_EQ(table.find("player,fact,mark,asked,right first try,wrong,too slow,median ms,last played,last askings\n"
                         "Ana,7 * 8,X,2,0,1,1,,2024-03-19,2024-03-18 a1 1 w;2024-03-19 a2 1 t\n"
                         "Ana,6 * 7,F,3,3,0,0,900,2024-03-20,2024-03-18 a1 1 f;2024-03-19 a2 1 f;2024-03-20 a3 1 f\n"),
              0u)
        << table;
    EXPECT_NE(table.find("\n'-Cleo,7 * 8,X,1,0,0,1,,2024-03-18,2024-03-18 c1 1 t\n"), std::string::npos) << table;
    dir.write("class.csv", table);
    testing::internal::CaptureStdout();
    EXPECT_EQ(printClassCsv({"class.csv"}), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), table);
    // A file that is no record is named; the others are still shown. A device with no
    // record at all: status 0.
    dir.write("notes.txt", "=cmd");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(showClassProgress({"notes.txt", "ben.csv"}), 1);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("\nBen "), std::string::npos);
    EXPECT_EQ(testing::internal::GetCapturedStderr().find("notes.txt is no progress record: line 1 is not"), 0u);
    setenv("XDG_DATA_HOME", (dir.path() + "/empty").c_str(), 1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(showClassProgress({}), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout().find("Class progress from " + dir.path() + "/empty/plimo: 0 children.\n"),
              0u);
    unsetenv("XDG_DATA_HOME");
}

// Each fact's cell in the teacher's grids, row and column 12 included, and what lies beyond.
TEST(ProgressGrid, FactsUpTo12HaveTheirCellAndRow12IsPrinted) {
    struct {
        const char *fact;
        bool inGrid;
        int grid, row, column;
    } const cases[] = {
        {"7 * 8", true, 0, 7, 8},     {"12 * 12", true, 0, 12, 12}, {"13 * 1", false, 0, 0, 0},
        {"1 * 13", false, 0, 0, 0},   {"56 / 7", true, 1, 7, 8},     {"144 / 12", true, 1, 12, 12},
        {"5 / 0", false, 0, 0, 0},    {"12 + 0", true, 2, 12, 0},    {"0 + 12", true, 2, 0, 12},
        {"13 - 9", true, 3, 9, 4},    {"24 - 12", true, 3, 12, 12},  {"25 - 12", false, 0, 0, 0},
    };
    for (const auto &c : cases) {
        int grid = -1, row = -1, column = -1;
        ASSERT_EQ(factCell(c.fact, &grid, &row, &column), c.inGrid) << c.fact;
        if (c.inGrid) {
            EXPECT_EQ(std::vector<int>({grid, row, column}), std::vector<int>({c.grid, c.row, c.column})) << c.fact;
        }
    }
    ProgressRow fluent{"12 * 12", 5, 5, 0, 0, 1500, "2026-03-02",
                       {{"2026-03-01", "a", 1, AskingFluent}, {"2026-03-02", "b", 1, AskingFluent},
                        {"2026-03-02", "b", 2, AskingFluent}}};
    std::string text = progressGridText(ProgressRecord{"", {fluent}, {}}, "progress.csv");
    EXPECT_NE(text.find("\n  12   .  .  .  .  .  .  .  .  .  .  .  .  F\n"), std::string::npos) << text;
}
