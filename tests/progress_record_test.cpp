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

#include "ground/atomic_file.h"
#include "ground/settings.h"
#include "record/progress_grid.h"
#include "record/progress_record.h"
#include "shell/progress_keeping.h"
#include "support.h"

namespace {

const std::string Header = "fact,asked,right first try,wrong,too slow,median ms,last played\n";

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

// One game: 7 * 8 asked twice (wrong once, right at 2.5 s and 4 s), 9 + 6 once, right at
// 1.2 s, and a fact that never led.
std::vector<FactOutcome> oneGame() {
    FactOutcome product{"7 * 8", 2, 1, 1, 0, {2500, 4000}};
    FactOutcome sum{"9 + 6", 1, 1, 0, 0, {1200}};
    FactOutcome unasked{"3 * 3", 0, 0, 0, 0, {}};
    return {product, sum, unasked};
}

class ProgressRecord : public ::testing::Test {
  protected:
    void TearDown() override { setAtomicWriteFault(-1, false); }
    ScratchDir dir;
    std::string folder = dir.path() + "/plimo";
    std::string path = folder + "/progress.csv";
};

} // namespace

TEST(ProgressRecordText, ReadsWhatTheGameAndSpreadsheetsWriteAndMergesGames) {
    std::vector<ProgressRow> rows;
    std::string why;
    mergeOutcomes(&rows, oneGame(), "2024-03-18");
    std::string written = formatProgressRecord(rows);
    EXPECT_EQ(written, Header + "7 * 8,2,1,1,0,2500,2024-03-18\n9 + 6,1,1,0,0,1200,2024-03-18\n");
    // A second day: counts add up; the median weighs the earlier one by its right answers.
    FactOutcome again{"7 * 8", 4, 4, 0, 1, {5000, 6000, 7000, 8000}};
    mergeOutcomes(&rows, {again}, "2024-03-19");
    EXPECT_EQ(formatProgressRecord(rows),
              Header + "7 * 8,6,5,1,1,6000,2024-03-19\n9 + 6,1,1,0,0,1200,2024-03-18\n");
    // The same record saved by a spreadsheet: every field quoted, CRLF line ends.
    std::string quoted = "\"fact\",\"asked\",\"right first try\",\"wrong\",\"too slow\",\"median ms\",\"last "
                         "played\"\r\n\"7 * 8\",\"6\",\"5\",\"1\",\"1\",\"6000\",\"2024-03-19\"\r\n"
                         "\"9 + 6\",1,1,0,0,1200,2024-03-18\r\n\r\n";
    std::vector<ProgressRow> read;
    ASSERT_TRUE(parseProgressRecord(quoted, &read, &why)) << why;
    EXPECT_EQ(formatProgressRecord(read), formatProgressRecord(rows));
    // How a teacher's grid marks them.
    const struct {
        ProgressRow row;
        FactState state;
    } states[] = {
        {{"7 * 8", 5, 4, 1, 0, 3000, "2024-03-18"}, FactFluent}, {{"7 * 8", 5, 4, 1, 0, 3001, ""}, FactSlow},
        {{"7 * 8", 5, 3, 2, 0, 900, ""}, FactSlow},              {{"7 * 8", 5, 2, 3, 0, 900, ""}, FactStuck},
        {{"7 * 8", 1, 0, 0, 1, -1, ""}, FactStuck},              {{"7 * 8", 0, 0, 0, 0, -1, ""}, FactNotPlayed},
    };
    for (const auto &s : states)
        EXPECT_EQ(factState(s.row), s.state) << s.row.rightFirstTry << " of " << s.row.asked << ", " << s.row.medianMs;
}

// What is no record this game wrote is refused with what is wrong and where; the game
// then keeps it aside (a second one the same day beside it) and starts a new record.
TEST_F(ProgressRecord, ADamagedRecordIsKeptAsideNeverOverwritten) {
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
    };
    for (const auto &d : damaged) {
        SCOPED_TRACE(d.text);
        ASSERT_EQ(0, system(("rm -rf '" + folder + "' && mkdir '" + folder + "'").c_str()));
        dir.write("plimo/progress.csv", d.text);
        std::string message;
        ASSERT_TRUE(keepGameInRecord(path, oneGame(), "2024-03-20", &message));
        EXPECT_NE(message.find(d.why), std::string::npos) << message;
        EXPECT_NE(message.find("kept as " + path + ".damaged-2024-03-20"), std::string::npos) << message;
        EXPECT_EQ(contents(path + ".damaged-2024-03-20"), d.text);
        EXPECT_EQ(contents(path), Header + "7 * 8,2,1,1,0,2500,2024-03-20\n9 + 6,1,1,0,0,1200,2024-03-20\n");
    }
    dir.write("plimo/progress.csv", "not a record");
    std::string message;
    ASSERT_TRUE(keepGameInRecord(path, oneGame(), "2024-03-20", &message));
    EXPECT_EQ(contents(path + ".damaged-2024-03-20-2"), "not a record");
    EXPECT_EQ(filesIn(folder), (std::vector<std::string>{"progress.csv", "progress.csv.damaged-2024-03-20",
                                                          "progress.csv.damaged-2024-03-20-2", "progress.csv.lock"}));
}

// A full disk in the middle of the write, or the program killed there: the record is
// what it was, the next game is kept as if nothing had happened, and with a new record
// (its folders not made yet) nothing half-written is left as one.
TEST_F(ProgressRecord, AFullDiskOrAKillMidWriteLosesNothingKeptBefore) {
    std::string message;
    ASSERT_TRUE(keepGameInRecord(path, oneGame(), "2024-03-18", &message)) << message;
    EXPECT_EQ(message, "");
    const std::string before = contents(path);
    FactOutcome many{"6 * 7", 9, 9, 0, 0, {900}};
    for (long limit : {0L, 10L, long(before.size())}) {
        setAtomicWriteFault(limit, false);
        EXPECT_FALSE(keepGameInRecord(path, {many}, "2024-03-19", &message));
        EXPECT_NE(message.find(strerror(ENOSPC)), std::string::npos) << message;
        EXPECT_NE(message.find("the record before it is"), std::string::npos) << message;
        EXPECT_EQ(contents(path), before);
        EXPECT_EQ(filesIn(folder), (std::vector<std::string>{"progress.csv", "progress.csv.lock"}));
    }
    EXPECT_EXIT(
        {
            setAtomicWriteFault(20, true);
            keepGameInRecord(path, {many}, "2024-03-19", &message);
            exit(0);
        },
        ::testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(contents(path), before);
    EXPECT_EQ(filesIn(folder).size(), 3u) << "the killed write's temporary file";
    setAtomicWriteFault(-1, false);
    ASSERT_TRUE(keepGameInRecord(path, {many}, "2024-03-19", &message)) << message;
    EXPECT_EQ(contents(path), before + "6 * 7,9,9,0,0,900,2024-03-19\n");
    // Its writer is gone: the next game's keeping cleared it away.
    EXPECT_EQ(filesIn(folder), (std::vector<std::string>{"progress.csv", "progress.csv.lock"}));

    std::string fresh = dir.path() + "/new/deeper/progress.csv";
    setAtomicWriteFault(5, false);
    EXPECT_FALSE(keepGameInRecord(fresh, oneGame(), "2024-03-19", &message));
    EXPECT_EQ(filesIn(dir.path() + "/new/deeper"), std::vector<std::string>{"progress.csv.lock"});
}

// Two games ending at the same moment, each write held 300 ms before its rename as a slow
// disk's sync holds it: both reach the record, whichever renames last.
TEST_F(ProgressRecord, TwoGamesEndingTogetherBothReachTheRecord) {
    ASSERT_EQ(0, mkdir(folder.c_str(), 0700));
    setAtomicWriteStall(300);
    pid_t games[2];
    const char *facts[2] = {"2 * 3", "4 + 5"};
    for (int g = 0; g < 2; g++) {
        games[g] = fork();
        ASSERT_GE(games[g], 0);
        if (games[g] == 0) {
            std::string message;
            FactOutcome one{facts[g], 1, 1, 0, 0, {1000}};
            _exit(keepGameInRecord(path, {one}, "2024-03-18", &message) ? 0 : 1);
        }
    }
    for (pid_t game : games) {
        int status = -1;
        ASSERT_EQ(game, waitpid(game, &status, 0));
        EXPECT_EQ(status, 0);
    }
    setAtomicWriteStall(0);
    std::string record = contents(path);
    EXPECT_NE(record.find("2 * 3,1,1,0,0,1000,"), std::string::npos) << record;
    EXPECT_NE(record.find("4 + 5,1,1,0,0,1000,"), std::string::npos) << record;
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
TEST_F(ProgressRecord, ASharedFolderGetsNothing) {
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
    EXPECT_FALSE(keepGameInRecord(path, oneGame(), "2024-03-18", &message));
    EXPECT_EQ(message, "the folder " + folder + " is not safe to keep the record in: others may write in it; this "
                       "game is not kept");
    EXPECT_EQ(filesIn(folder), std::vector<std::string>{});
    // A player's folder inside it is not made either.
    EXPECT_FALSE(keepGameInRecord(folder + "/players/ana.csv", oneGame(), "2024-03-18", &message));
    EXPECT_EQ(filesIn(folder), std::vector<std::string>{});
    if (me == 0) { // only the superuser can give a folder away
        ASSERT_EQ(0, chmod(folder.c_str(), 0755));
        ASSERT_EQ(0, chown(folder.c_str(), 65534, 65534));
        EXPECT_FALSE(keepGameInRecord(path, oneGame(), "2024-03-18", &message));
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
    EXPECT_TRUE(keepGameInRecord(path, oneGame(), "2024-03-18", &message)) << message;
    alarm(0);
    EXPECT_EQ(contents(dir.path() + "/victim"), "the player's other file");
    EXPECT_EQ(contents(path), Header + "7 * 8,2,1,1,0,2500,2024-03-18\n9 + 6,1,1,0,0,1200,2024-03-18\n");
    // A FIFO or a link in place of the lock or of the record: refused at once.
    for (const std::string &name : {lockPathOf(path), path}) {
        for (bool fifo : {true, false}) {
            SCOPED_TRACE(name + (fifo ? " as a FIFO" : " as a link"));
            std::string keep = contents(path);
            ASSERT_EQ(0, rename(name.c_str(), (name + ".was").c_str()));
            ASSERT_EQ(0, fifo ? mkfifo(name.c_str(), 0600) : symlink("/dev/zero", name.c_str()));
            alarm(20);
            EXPECT_FALSE(keepGameInRecord(path, oneGame(), "2024-03-19", &message));
            alarm(0);
            EXPECT_NE(message.find(name), std::string::npos) << message;
            EXPECT_NE(message.find("this game is not kept"), std::string::npos) << message;
            ASSERT_EQ(0, unlink(name.c_str()));
            ASSERT_EQ(0, rename((name + ".was").c_str(), name.c_str()));
            EXPECT_EQ(contents(path), keep);
        }
    }
}

// Counts at the edges of what a record holds; a record past the size limit is refused
// from its size and kept aside; an error line keeps its end whatever its paths' length.
TEST_F(ProgressRecord, CountsAndSizesStayWithinWhatIsReadBack) {
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
        std::vector<ProgressRow> rows;
        std::string why, message;
        EXPECT_EQ(readProgressRecord(path, &rows, &why), c.read ? RecordRead : RecordDamaged) << why;
        ASSERT_TRUE(keepGameInRecord(path, oneGame(), "2024-03-19", &message)) << message;
        EXPECT_EQ(readProgressRecord(path, &rows, &why), RecordRead) << why;
        EXPECT_EQ(contents(path).find(Header + c.after), 0u) << contents(path);
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
        std::vector<ProgressRow> read;
        std::string why, message;
        EXPECT_EQ(readProgressRecord(path, &read, &why), RecordDamaged);
        EXPECT_EQ(why, "it holds more than 1048576 bytes");
        ASSERT_TRUE(keepGameInRecord(path, oneGame(), "2024-03-20", &message));
        EXPECT_NE(message.find("kept as " + path + ".damaged-2024-03-20"), std::string::npos) << message;
        system(("rm -f '" + folder + "'/progress.csv.damaged-*").c_str());
    }
    // A record folder deep enough that the message runs past 600 bytes: it still ends
    // with where the damaged record went.
    std::string deep = dir.path() + "/" + std::string(200, 'd') + "/" + std::string(200, 'e') + "/progress.csv";
    ASSERT_TRUE(makeFolders(deep.substr(0, deep.rfind('/')), &rows));
    std::ofstream(deep) << "no record";
    std::string message;
    ASSERT_TRUE(keepGameInRecord(deep, oneGame(), "2024-03-20", &message));
    testing::internal::CaptureStderr();
    reportRecordLine(message);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_GT(said.size(), 600u);
    EXPECT_EQ(said, "the progress record " + deep + " was damaged (line 1 is not the header \"" + ProgressHeader +
                        "\"); it is kept as " + deep + ".damaged-2024-03-20 and a new record is started\n");
}

// What a killed writer left is cleared at a later start, never what a running game is
// writing; --forget says "1 fact" and takes the folders it made when they are left empty.
TEST_F(ProgressRecord, StartAndForgetTidyUp) {
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

    std::vector<ProgressRow> one = {{"7 * 8", 1, 1, 0, 0, 900, "2024-03-18"}};
    EXPECT_EQ(progressGridText(one, path).find("Progress kept in " + path + ": 1 fact played, last on 2024-03-18.\n"),
              0u);
    ASSERT_EQ(0, system(("rm -f '" + folder + "'/*").c_str()));
    dir.write("plimo/progress.csv", Header + "7 * 8,1,1,0,0,900,2024-03-18\n");
    testing::internal::CaptureStdout();
    EXPECT_EQ(forgetProgress(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Deleting the progress record " + path + ": 1 fact, last played on 2024-03-18.\n");
    EXPECT_NE(access(folder.c_str(), F_OK), 0) << "the emptied folder";
    EXPECT_EQ(access(dir.path().c_str(), F_OK), 0) << "the data folder above it";
    // A folder holding something else stays.
    ASSERT_EQ(0, mkdir(folder.c_str(), 0700));
    dir.write("plimo/progress.csv", Header);
    dir.write("plimo/notes", "");
    testing::internal::CaptureStdout();
    EXPECT_EQ(forgetProgress(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Deleting the progress record " + path + ": 0 facts.\n");
    EXPECT_EQ(filesIn(folder), std::vector<std::string>{"notes"});
    settings.remember = false;
    unsetenv("XDG_DATA_HOME");
}
