// The practice settings' rules one by one, at their edges: the pace's recent answers,
// the shown fact's hold, the round's end and summary, the pause, a stall, the end of a
// game in the fact record, and the option words that set them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "game/answers.h"
#include "game/field.h"
#include "game_helpers.h"
#include "ground/clock.h"
#include "ground/game_state.h"
#include "ground/settings.h"
#include "practice/chosen_facts.h"
#include "practice/fact_record.h"
#include "practice/pace.h"
#include "practice/pause.h"
#include "practice/repeats.h"
#include "practice/round.h"
#include "practice/shown_fact.h"
#include "shell/options.h"
#include "support.h"

using gametest::addProblem;
using gametest::problemCount;

namespace {

class PracticeRules : public ::testing::Test {
  protected:
    void SetUp() override {
        startSdlForTests();
        resetGame();
        game.currentScreen = game.requestedScreen = Playing;
        game.gameMode = Addition;
        game.speed = 1;
        clockSet(100000);
    }
    void TearDown() override { resetGame(); }
};

TEST_F(PracticeRules, ThePaceReadsTheLatestFiveTimesAndItsLevel) {
    struct {
        std::vector<int32_t> times;
        int32_t level;
        int32_t recent;
        int32_t topSpeed;
    } const cases[] = {
        {{}, 0, 10000, 1},                 // before any answer: a slow guess
        {{2000}, 0, 2000, 3},              // 5200 tenths in 8 answer times: 52000 / 16000
        {{1000, 9000, 2000}, 0, 2000, 3},  // the median, not the mean
        {{1000, 1000, 1000, 1000, 1000, 8000, 8000, 8000, 8000, 8000}, 0, 8000, 1}, // the latest five
        {{8000, 8000, 8000, 1000, 1000, 1000, 1000}, 0, 1000, 6},
        {{2000}, 4, 2000, 4},              // six answer times: 52000 / 12000
        {{1000}, 10, 1000, 17},            // three answer times at the top level
        {{1}, 10, 1, 17333},
        {{4000, 1000, 3000, 2000}, 0, 3000, 2}, // an even count: the slower middle
        {{30000}, 0, 30000, 1},            // never standing still
    };
    for (const auto &c : cases) {
        factRecord.recentMs = c.times;
        factRecord.paceLevel = c.level;
        EXPECT_EQ(recentAnswerMs(), c.recent) << c.times.size() << " times";
        EXPECT_EQ(paceTopSpeed(), c.topSpeed) << c.times.size() << " times, level " << c.level;
    }
    factRecord.paceLevel = 0;
    // A problem run out counts its time too.
    startFactRecord();
    addProblem("1 + 1", 2, 1, 0, 0);
    noteLeading(100000);
    noteTooSlow(108000);
    EXPECT_EQ(factRecord.recentMs, std::vector<int32_t>{8000});
    freeProblems();
    EXPECT_TRUE(paceRoomForProblem());
    addProblem("1 + 1", 2, 1, 6400, 0);
    EXPECT_TRUE(paceRoomForProblem());
    EXPECT_FALSE(paceWantsProblem());
    addProblem("1 + 2", 3, 1, 6400, 20);
    EXPECT_FALSE(paceRoomForProblem());
}

TEST_F(PracticeRules, ThePaceClimbsOnFastRightAnswersAndStepsBack) {
    // {difficulty, answers (ms, first try, x)} -> level; recent time 2000 ms.
    struct Answer {
        int32_t ms;
        bool firstTry;
        int32_t x;
    };
    struct {
        int difficulty;
        std::vector<Answer> answers;
        int32_t level;
    } const cases[] = {
        {2, std::vector<Answer>(6, {2000, true, 4000}), 1},   // six at Hard
        {2, std::vector<Answer>(5, {2000, true, 4000}), 0},
        {3, std::vector<Answer>(4, {2000, true, 4000}), 1},   // four at Very hard
        {0, std::vector<Answer>(9, {2000, true, 4000}), 0},   // ten at Easy
        {2, std::vector<Answer>(6, {2500, true, 4000}), 1},   // a quarter over still counts
        {2, std::vector<Answer>(6, {2510, true, 4000}), 0},
        {2, std::vector<Answer>(6, {2000, false, 4000}), 0},  // not at the first try
        {2, std::vector<Answer>(6, {2000, true, 2000}), 0},   // near the edge
        {2, std::vector<Answer>(6, {2000, true, 2010}), 1},
    };
    for (const auto &c : cases) {
        startFactRecord();
        factRecord.recentMs = {2000};
        game.difficulty = c.difficulty;
        for (const Answer &a : c.answers)
            paceNoteRight(a.firstTry, a.ms, a.x);
        EXPECT_EQ(factRecord.paceLevel, c.level) << c.answers.size() << " answers of " << c.answers[0].ms << " ms";
    }
    factRecord.paceLevel = 5;
    paceNoteRight(true, 3010, 4000); // half as much again and more: one back
    EXPECT_EQ(factRecord.paceLevel, 4);
    paceNoteRight(true, 3000, 4000);
    EXPECT_EQ(factRecord.paceLevel, 4);
    paceStepBack(2);
    EXPECT_EQ(factRecord.paceLevel, 2);
    paceStepBack(2);
    paceStepBack(1);
    EXPECT_EQ(factRecord.paceLevel, 0);
    factRecord.paceLevel = PaceTopLevel;
    factRecord.paceStreak = 100;
    paceNoteRight(true, 2000, 4000);
    EXPECT_EQ(factRecord.paceLevel, PaceTopLevel);
}

TEST_F(PracticeRules, ASecondMistakeKeepsTheHoldItFound) {
    settings.showAnswers = true;
    addProblem("3 + 4", 7, 1, 5000, 0);
    noteLeading(now);
    game.nextSpeedUpAt = 200000;
    game.nextSpawnAt = 300000;
    char shown[32];
    ASSERT_TRUE(showFact(shown, sizeof shown));
    EXPECT_STREQ(shown, "3 + 4 = 7");
    EXPECT_EQ(game.factHeldSince, 100000);
    clockSet(103000);
    ASSERT_TRUE(showFact(shown, sizeof shown));
    EXPECT_EQ(game.factHeldSince, 100000) << "the second mistake restarted the hold";
    clockSet(105000);
    EXPECT_TRUE(releaseFact());
    // The field stood still 5 s: its deadlines and the answer clock move on by as much.
    EXPECT_EQ(game.nextSpeedUpAt, 205000);
    EXPECT_EQ(game.nextSpawnAt, 305000);
    EXPECT_EQ(factRecord.leadingSince, 105000);
    EXPECT_FALSE(releaseFact());
    settings.showAnswers = false;
    EXPECT_FALSE(showFact(shown, sizeof shown));
}

TEST_F(PracticeRules, RoundsEndAfterTheirMinutesAndPausesAndStallsAreNoRoundTime) {
    struct {
        int32_t minutes;
        int32_t enteredAt;
        int32_t endsAt;
    } const lengths[] = {{0, 100000, 0}, {1, -60000, 1}, {1, 100000, 160000}, {30, 100000, 1900000}};
    for (const auto &c : lengths) {
        settings.roundMinutes = c.minutes;
        game.screenEnteredAt = c.enteredAt;
        startRound();
        EXPECT_EQ(game.roundEndsAt, c.endsAt) << c.minutes << " minutes";
    }
    // 30 minutes: over strictly after its end.
    EXPECT_FALSE(roundOver(1900000));
    EXPECT_TRUE(roundOver(1900010));
    // A minute's pause moves the end on by a minute.
    clockSet(200000);
    pauseGame();
    clockSet(260000);
    resumeGame();
    EXPECT_EQ(game.roundEndsAt, 1960000);
    // A 20-s stall too, and the leading problem's answer clock with it.
    addProblem("2 + 2", 4, 1, 5000, 0);
    noteLeading(260000);
    gameHooks.clockStalled(20000);
    EXPECT_EQ(game.roundEndsAt, 1980000);
    EXPECT_EQ(factRecord.leadingSince, 280000);
    // A stall while paused is part of the pause, not counted twice.
    pauseGame();
    gameHooks.clockStalled(20000);
    EXPECT_EQ(game.roundEndsAt, 1980000);
}

TEST_F(PracticeRules, AProblemMissedInARoundHandsTheLeadToTheNext) {
    game.roundEndsAt = 500000;
    addProblem("2 + 3", 5, 1, 0, 0);
    addProblem("4 + 4", 8, 1, 3000, 20);
    noteLeading(100000);
    missLeadingProblem(102000);
    // The next problem leads from the miss: its time is 2.5 s, not 4.5 s, and it is asked.
    EXPECT_EQ(factRecord.leadingSince, 102000);
    clockSet(104500);
    handleAnswer(8);
    ASSERT_EQ(gameFacts().size(), 2u);
    EXPECT_STREQ(gameFacts()[1].text, "4 + 4");
    EXPECT_EQ(gameFacts()[1].asked, 1);
    EXPECT_EQ(gameFacts()[1].answerMs, std::vector<int32_t>{2500});
    // A miss that empties the field makes the next spawn due at once.
    addProblem("1 + 8", 9, 1, 0, 0);
    game.nextSpawnAt = 900000;
    missLeadingProblem(106000);
    EXPECT_EQ(game.nextSpawnAt, 0);
}

TEST_F(PracticeRules, APauseMovesEveryClockOnByItsLengthOnce) {
    addProblem("3 + 4", 7, 1, 5000, 0);
    noteLeading(90000);
    struct {
        const char *what;
        int32_t *clock;
        int32_t before;
        int32_t after;
    } const clocks[] = {
        {"the round's end", &game.roundEndsAt, 700000, 760000},
        {"the answer block", &game.inputBlockedUntil, 100500, 160500},
        {"the feedback", &game.feedbackStartedAt, 99000, 159000},
        {"the next spawn", &game.nextSpawnAt, 102000, 162000},
        {"the next speed-up", &game.nextSpeedUpAt, 103000, 163000},
        {"the answer clock", &factRecord.leadingSince, 90000, 150000},
    };
    for (const auto &c : clocks)
        *c.clock = c.before;
    pauseGame();
    clockSet(160000);
    resumeGame();
    for (const auto &c : clocks)
        EXPECT_EQ(*c.clock, c.after) << c.what;
    // A cleared field's spawn (0: at the next step) and no block stay so.
    game.nextSpawnAt = game.inputBlockedUntil = 0;
    pauseGame();
    resumeGame();
    EXPECT_EQ(game.nextSpawnAt, 0);
    EXPECT_EQ(game.inputBlockedUntil, 0);
    // A pause inside a shown fact's hold: the hold's end moves the field on by the whole
    // hold, the pause in it counted once.
    settings.showAnswers = true;
    game.nextSpawnAt = 300000;
    game.nextSpeedUpAt = 200000;
    char shown[32];
    ASSERT_TRUE(showFact(shown, sizeof shown));
    clockSet(161000);
    pauseGame();
    clockSet(164000);
    resumeGame();
    EXPECT_EQ(game.nextSpawnAt, 300000);
    clockSet(165000);
    EXPECT_TRUE(releaseFact());
    EXPECT_EQ(game.nextSpawnAt, 305000);
    EXPECT_EQ(game.nextSpeedUpAt, 205000);
}

TEST_F(PracticeRules, MissedFactsAreAtMostAThirdOfTheSpawns) {
    settings.repeatMissed = true;
    struct {
        int32_t spawnsBefore;
        int32_t repeatsBefore;
        bool onField;
        bool repeated;
    } const cases[] = {{0, 0, false, false}, {1, 0, false, false}, {2, 0, false, true},
                       {4, 1, false, false}, {5, 1, false, true},  {7, 2, false, false},
                       {2, 0, true, false}}; // never twice on the field
    for (const auto &c : cases) {
        freeProblems();
        startFactRecord();
        FactTally missed;
        snprintf(missed.text, sizeof missed.text, "6 * 7");
        missed.answer = 42;
        missed.answerDigits = 2;
        missed.missOrder = 1;
        factRecord.facts.push_back(missed);
        factRecord.spawns = c.spawnsBefore;
        factRecord.repeats = c.repeatsBefore;
        if (c.onField)
            addProblem("6 * 7", 42, 2, 3000, 0);
        EXPECT_EQ(spawnMissedFact(), c.repeated) << c.spawnsBefore << " spawns, " << c.repeatsBefore << " repeats";
        EXPECT_EQ(problemCount(), c.onField || c.repeated ? 1 : 0);
    }
}

TEST_F(PracticeRules, AGameStartsWithNothingOfTheLastGamesSettings) {
    settings.roundMinutes = 2;
    game.paused = 1;
    game.factHeld = 1;
    factRecord.recentMs = {5000};
    enterPlaying();
    EXPECT_EQ(game.paused, 0);
    EXPECT_EQ(game.factHeld, 0);
    EXPECT_EQ(factRecord.recentMs.size(), 0u);
    EXPECT_EQ(game.roundEndsAt, 220000);
    EXPECT_EQ(factRecord.leadingSince, 100000);
}

TEST_F(PracticeRules, TheRoundsSummaryRoundsTheMedianToTheNearestTenth) {
    game.roundEndsAt = 1;
    struct {
        std::vector<int32_t> times;
        const char *summary;
    } const cases[] = {
        {{}, "0 answered, 0 missed, 0 at first try, 0.0 s"},
        {{4449}, "1 answered, 0 missed, 1 at first try, 4.4 s"},
        {{4450}, "1 answered, 0 missed, 1 at first try, 4.5 s"},
        {{4400, 4500}, "2 answered, 0 missed, 2 at first try, 4.5 s"}, // the mean of the middle two
        {{1000, 3000, 9000}, "3 answered, 0 missed, 3 at first try, 3.0 s"},
        {{2000, 1000}, "2 answered, 0 missed, 2 at first try, 1.5 s"},
    };
    for (const auto &c : cases) {
        startFactRecord();
        for (int32_t ms : c.times) {
            addProblem("5 + 5", 10, 2, 5000, 0);
            noteLeading(100000);
            noteRight(100000 + ms);
            freeLeadingProblem();
        }
        char summary[64];
        ASSERT_TRUE(roundSummary(summary, sizeof summary));
        EXPECT_STREQ(summary, c.summary);
    }
    game.roundEndsAt = 0;
    char none[64];
    EXPECT_FALSE(roundSummary(none, sizeof none));
}

TEST_F(PracticeRules, AGamesEndCountsOnlyWhatTheChildDidWithTheLeadingProblem) {
    struct {
        const char *what;
        bool wrong;
        bool nearEdge;
        int32_t asked;
        int32_t closeCalls;
        int32_t askingsWrong;
    } const cases[] = {
        {"given up at once", false, false, 0, 0, 0},
        {"answered wrong twice first", true, false, 1, 0, 1},
        {"came near the edge", false, true, 1, 1, 0},
    };
    for (const auto &c : cases) {
        resetGame();
        game.currentScreen = game.requestedScreen = Playing;
        addProblem("6 + 7", 13, 2, 1500, 0);
        noteLeading(now);
        if (c.wrong) {
            noteWrong();
            noteWrong();
        }
        if (c.nearEdge)
            noteCloseCall();
        endGame(GameGivenUp);
        endGame(GameQuit); // a second end changes nothing
        EXPECT_EQ(game.requestedScreen, GameOver) << c.what;
        ASSERT_EQ(gameFacts().size(), 1u) << c.what;
        EXPECT_EQ(gameFacts()[0].asked, c.asked) << c.what;
        EXPECT_EQ(gameFacts()[0].closeCalls, c.closeCalls) << c.what;
        EXPECT_EQ(gameFacts()[0].askingsWrong, c.askingsWrong) << c.what;
    }
}

TEST_F(PracticeRules, ChosenFactsKeepTheDifficultysRange) {
    const int three[] = {3};
    char why[160];
    ASSERT_TRUE(chooseAddends(three, 1, "--addends=3", why, sizeof why));
    ASSERT_TRUE(chooseTables(three, 1, "--tables=3", why, sizeof why));
    // 3 taken away, and a quotient, below the bound of 10: answers 0 to 9, all of them.
    srand(7);
    for (ChosenOperation operation : {ChosenSubtraction, ChosenDivision}) {
        int lowest = 100, highest = -100;
        for (int i = 0; i < 400; i++) {
            int first = 0, second = 0;
            ASSERT_TRUE(drawChosenOperands(operation, 10, &first, &second));
            EXPECT_EQ(second, 3);
            int answer = operation == ChosenSubtraction ? first - second : first;
            lowest = std::min(lowest, answer);
            highest = std::max(highest, answer);
        }
        EXPECT_EQ(lowest, 0) << char(operation);
        EXPECT_EQ(highest, 9) << char(operation);
    }
}

TEST_F(PracticeRules, OptionWordsAtTheirEdges) {
    struct {
        const char *word;
        OptionResult result;
    } const cases[] = {
        {"--round=1", OptionApplied},    {"--round=30", OptionApplied},   {"--round=0", BadOptionValue},
        {"--round=31", BadOptionValue},  {"--round=", BadOptionValue},    {"--round", BadOptionValue},
        {"--tables=7,0", OptionApplied}, {"--tables=0", BadOptionValue},  {"--tables=19", OptionApplied},
        {"--tables=20", BadOptionValue}, {"--tables=7,7", BadOptionValue}, {"--tables=7,", BadOptionValue},
        {"--addends=0", OptionApplied},  {"--gentle=1", BadOptionValue},  {"--gentel", UnknownOption},
        {"window", NotAnOption},         {"-w", NotAnOption},             {"-remember", UnknownOption},
        {"-tables=7", UnknownOption},    {"-", NotAnOption},
    };
    for (const auto &c : cases) {
        settings = Settings{};
        char why[256] = "";
        EXPECT_EQ(readOption(c.word, why, sizeof why), c.result) << c.word << ": " << why;
    }
    // Each switch turns on its own setting and no other.
    bool Settings::*const switches[] = {&Settings::gentlePace, &Settings::showAnswers, &Settings::repeatMissed,
                                        &Settings::practiceList, &Settings::remember, &Settings::progress,
                                        &Settings::forget, &Settings::fullscreen, &Settings::help};
    const char *const words[] = {"--gentle", "--show-answers", "--repeat-missed", "--practice-list", "--remember",
                                 "--progress", "--forget", "--fullscreen", "--help"};
    for (int i = 0; i < 9; i++) {
        settings = Settings{};
        char why[256];
        ASSERT_EQ(readOption(words[i], why, sizeof why), OptionApplied) << words[i];
        for (int j = 0; j < 9; j++)
            EXPECT_EQ(settings.*switches[j], i == j) << words[i] << " and setting " << j;
    }
    settings = Settings{};
    char why[256];
    ASSERT_EQ(readOption("--tables=7,0", why, sizeof why), OptionApplied);
    EXPECT_EQ(settings.tables.count, 2);
    EXPECT_EQ(settings.tables.numbers[1], 0);
    settings = Settings{};
    ASSERT_EQ(readOption("--tables=19,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,0", why, sizeof why), OptionApplied);
    EXPECT_EQ(settings.tables.count, 20);
    EXPECT_EQ(settings.tables.numbers[19], 0);
    ASSERT_EQ(readOption("--round=30", why, sizeof why), OptionApplied);
    EXPECT_EQ(settings.roundMinutes, 30);
    EXPECT_TRUE(pauseOffered(settings));
    EXPECT_FALSE(pauseOffered(Settings{}));
}

} // namespace
