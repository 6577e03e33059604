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

#include "record/progress_grid.h"
#include "record/progress_record.h"
#include "ground/atomic_file.h"
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
                                                          "progress.csv.damaged-2024-03-20-2"}));
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
        EXPECT_EQ(filesIn(folder), std::vector<std::string>{"progress.csv"});
    }
    EXPECT_EXIT(
        {
            setAtomicWriteFault(20, true);
            keepGameInRecord(path, {many}, "2024-03-19", &message);
            exit(0);
        },
        ::testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(contents(path), before);
    EXPECT_EQ(filesIn(folder).size(), 2u) << "the killed write's temporary file";
    setAtomicWriteFault(-1, false);
    ASSERT_TRUE(keepGameInRecord(path, {many}, "2024-03-19", &message)) << message;
    EXPECT_EQ(contents(path), before + "6 * 7,9,9,0,0,900,2024-03-19\n");

    std::string fresh = dir.path() + "/new/deeper/progress.csv";
    setAtomicWriteFault(5, false);
    EXPECT_FALSE(keepGameInRecord(fresh, oneGame(), "2024-03-19", &message));
    EXPECT_EQ(filesIn(dir.path() + "/new/deeper"), std::vector<std::string>{});
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
    ProgressRow fluent{"12 * 12", 5, 5, 0, 0, 1500, "2026-03-02"};
    std::string text = progressGridText({fluent}, "progress.csv");
    EXPECT_NE(text.find("\n  12   .  .  .  .  .  .  .  .  .  .  .  .  F\n"), std::string::npos) << text;
}
