// Answer entry and scoring: the key table, digit accumulation and judging, the Sign
// quiz, the input block (also past 2^31 and across the wrap), points, the cleared
// effect, and the sounds as the real mixer plays them; with the practice settings, the
// shown answer and the list of missed facts.
#include <gtest/gtest.h>

#include <SDL_mixer.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ground/settings.h"
#include "game/answers.h"
#include "game/display.h"
#include "practice/fact_record.h"
#include "game/field.h"
#include "game/particles.h"
#include "practice/practice_hooks.h"
#include "practice/practice_list.h"
#include "practice/repeats.h"
#include "practice/shown_fact.h"
#include "practice/panel.h"
#include "game/problems.h"
#include "game_helpers.h"
#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/game_state.h"
#include "shell/shell.h"
#include "support.h"

namespace {

using namespace gametest;

class GameAnswers : public ::testing::Test {
  protected:
    void SetUp() override {
        startSdlForTests();
        resetGame();
        audio = startTestAudio();
        Mix_HaltChannel(-1);
        game.currentScreen = Playing;
        game.requestedScreen = Playing;
        game.gameMode = Addition;
        game.speed = 1;
        clockSet(50000);
    }
    void TearDown() override {
        Mix_HaltChannel(-1);
        resetGame();
    }

    std::string feedback() const { return game.feedbackText ? game.feedbackText : "(none)"; }

    // Types the keys as presses through handleGameKey.
    static void type(std::initializer_list<SDLKey> keys) {
        for (SDLKey key : keys)
            handleGameKey(key);
    }

    bool audio = false;
};

TEST_F(GameAnswers, OneDigitAnswerIsJudgedAtTheFirstKey) {
    addProblem("0 + 0", 0, 1, 4000, 60);
    type({SDLK_0});
    EXPECT_EQ(game.problems, nullptr);
    EXPECT_EQ(feedback(), "0");
    EXPECT_EQ(game.feedbackRising, 1);
    EXPECT_EQ(game.feedbackStartedAt, 50000);
    EXPECT_EQ(game.score, 3); // the solve emptied the field
    EXPECT_EQ(game.typedDigits, 0);
    EXPECT_EQ(game.typedValue, 0);
    EXPECT_EQ(particleCount(), 64);
    if (audio) {
        EXPECT_TRUE(soundPlaying(SoundCorrect));
        // The typing sound shares channel 0; it was started before the judgement.
        EXPECT_TRUE(soundPlaying(SoundTyping));
    }
}

TEST_F(GameAnswers, WrongAnswerShowsTheWholeNumberAndBlocksSilently) {
    addProblem("4 * 6", 24, 2, 4000, 0);
    addProblem("1 + 1", 2, 1, 5000, 20);
    game.alertFlag = 0;
    type({SDLK_4, SDLK_2});
    EXPECT_EQ(feedback(), "42");
    EXPECT_EQ(game.feedbackRising, 0);
    EXPECT_EQ(game.feedbackStartedAt, 50000);
    EXPECT_EQ(game.inputBlockedUntil, 50500);
    EXPECT_EQ(game.alertFlag, 1);
    EXPECT_EQ(game.typedDigits, 0);
    EXPECT_EQ(problemCount(), 2) << "the problem stays";
    EXPECT_EQ(particleCount(), 0);
    if (audio) {
        EXPECT_TRUE(soundPlaying(SoundWrong));
    }

    // Within the block answer keys make no sound and are not remembered.
    Mix_HaltChannel(-1);
    clockSet(50499);
    type({SDLK_2, SDLK_KP4, SDLK_PLUS});
    EXPECT_EQ(game.typedDigits, 0);
    EXPECT_EQ(game.typedValue, 0);
    EXPECT_EQ(feedback(), "42");
    EXPECT_EQ(game.inputBlockedUntil, 50500);
    if (audio) {
        EXPECT_TRUE(channelSilent(SoundTyping));
    }

    // The clearing keys act during the block.
    for (SDLKey key : {SDLK_BACKSPACE, SDLK_RETURN, SDLK_SPACE, SDLK_DELETE, SDLK_KP_ENTER}) {
        game.typedValue = 7;
        game.typedDigits = 1;
        handleGameKey(key);
        EXPECT_EQ(game.typedValue, 0) << "key " << key;
        EXPECT_EQ(game.typedDigits, 0) << "key " << key;
    }
    if (audio) {
        EXPECT_TRUE(channelSilent(SoundTyping)) << "clearing keys are silent";
    }

    // From the block's end the problem is answered again from its first digit.
    clockSet(50500);
    type({SDLK_2});
    EXPECT_EQ(game.inputBlockedUntil, 0);
    if (audio) {
        EXPECT_TRUE(soundPlaying(SoundTyping));
    }
    type({SDLK_4});
    EXPECT_EQ(feedback(), "24");
    EXPECT_EQ(problemCount(), 1);
}

TEST_F(GameAnswers, KeysAccumulateAndAreJudgedAtTheAnswersLength) {
    struct Case {
        int32_t answer, digits;
        std::vector<SDLKey> keys;
        const char *feedback; // nullptr: nothing judged
        bool solved;
        int32_t typedDigits; // left afterwards
    } cases[] = {
        {10, 2, {SDLK_1}, nullptr, false, 1}, // waits for the second key
        {10, 2, {SDLK_1, SDLK_0}, "10", true, 0},
        {10, 2, {SDLK_0, SDLK_MINUS}, "10", true, 0}, // 0 x 10 + 10
        {21, 2, {SDLK_PLUS, SDLK_1}, "111", false, 0}, // plus counts as 11
        {21, 2, {SDLK_KP_MINUS, SDLK_KP1}, "101", false, 0},
        {18, 2, {SDLK_KP1, SDLK_KP8}, "18", true, 0},
        {2, 1, {SDLK_KP_PLUS}, "11", false, 0},
        {99, 2, {SDLK_9, SDLK_KP9}, "99", true, 0},
        {-20, 2, {SDLK_2, SDLK_KP0}, "20", true, 0}, // the sign is never typed
        {18, 2, {SDLK_a, SDLK_ESCAPE, SDLK_UP, SDLK_EQUALS, SDLK_KP_PERIOD, SDLK_TAB}, nullptr, false, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "answer " << c.answer << ", " << c.keys.size() << " keys");
        resetGame();
        game.gameMode = Addition;
        clockAdvance(2000);
        addProblem("a ? b", c.answer, c.digits, 4000, 0);
        addProblem("1 + 1", 2, 1, 5000, 20);
        for (SDLKey key : c.keys)
            handleGameKey(key);
        EXPECT_EQ(feedback(), c.feedback ? c.feedback : "(none)");
        EXPECT_EQ(problemCount(), c.solved ? 1 : 2);
        EXPECT_EQ(game.typedDigits, c.typedDigits);
    }
}

TEST_F(GameAnswers, KeysOnAnEmptyFieldOnlyPlayTheTypingSound) {
    game.typedValue = 3;
    game.typedDigits = 1;
    type({SDLK_5});
    EXPECT_EQ(game.typedDigits, 0);
    EXPECT_EQ(game.typedValue, 0);
    EXPECT_EQ(game.feedbackText, nullptr);
    if (audio) {
        EXPECT_TRUE(soundPlaying(SoundTyping));
    }

    game.gameMode = Sign;
    Mix_HaltChannel(-1);
    type({SDLK_PLUS});
    EXPECT_EQ(game.feedbackText, nullptr);
    if (audio) {
        EXPECT_TRUE(soundPlaying(SoundTyping));
    }
}

TEST_F(GameAnswers, PointsGrowWithSpeedAndClearingIsWorthHalfAsMuchAgain) {
    for (int32_t speed : {1, 5}) {
        resetGame();
        game.gameMode = Addition;
        game.speed = speed;
        game.nextSpawnAt = 70000;
        addProblem("1 + 1", 2, 1, 4000, 0);
        addProblem("1 + 2", 3, 1, 5000, 20);
        type({SDLK_2});
        EXPECT_EQ(game.score, 2 * speed);
        EXPECT_EQ(game.nextSpawnAt, 70000) << "a problem is left: no early spawn";
        type({SDLK_3});
        EXPECT_EQ(game.score, 2 * speed + 3 * speed);
        EXPECT_EQ(game.nextSpawnAt, 0);
    }
}

TEST_F(GameAnswers, ClearedSoundOnceAfterAWrongAnswer) {
    game.alertFlag = 0;
    addProblem("2 + 2", 4, 1, 4000, 0);
    type({SDLK_5}); // wrong: raises the alert
    EXPECT_EQ(game.alertFlag, 1);
    clockAdvance(500);
    Mix_HaltChannel(-1);
    type({SDLK_4}); // clears the field
    EXPECT_EQ(game.problems, nullptr);
    EXPECT_EQ(game.alertFlag, 0);
    if (audio) {
        EXPECT_TRUE(soundPlaying(SoundCleared));
        EXPECT_TRUE(soundPlaying(SoundCorrect));
    }

    // A second clearing with nothing alarming in between is not celebrated.
    Mix_HaltChannel(-1);
    addProblem("3 + 3", 6, 1, 4000, 0);
    type({SDLK_6});
    EXPECT_EQ(game.problems, nullptr);
    EXPECT_EQ(game.alertFlag, 0);
    if (audio) {
        EXPECT_TRUE(channelSilent(SoundCleared));
        EXPECT_TRUE(soundPlaying(SoundCorrect));
    }
    // A right answer that leaves problems never touches the flag.
    game.alertFlag = 1;
    addProblem("1 + 1", 2, 1, 4000, 0);
    addProblem("1 + 1", 2, 1, 4000, 20);
    type({SDLK_2});
    EXPECT_EQ(game.alertFlag, 1);
}

TEST_F(GameAnswers, SignModeJudgesPlusAndMinusAndBlocksTwoSeconds) {
    game.gameMode = Sign;
    addProblem("3 - 9", 0, 1, 4000, 0);
    addProblem("3 + 9", 1, 1, 4000, 20);
    addProblem("3 + 9", 1, 1, 4000, 40);

    type({SDLK_5}); // a digit is always wrong and shows a minus
    EXPECT_EQ(feedback(), "-");
    EXPECT_EQ(game.feedbackRising, 0);
    EXPECT_EQ(game.inputBlockedUntil, 52000);
    EXPECT_EQ(problemCount(), 3);
    EXPECT_EQ(game.typedDigits, 0);
    if (audio) {
        EXPECT_TRUE(soundPlaying(SoundWrong));
    }

    clockSet(51999);
    type({SDLK_MINUS});
    EXPECT_EQ(problemCount(), 3) << "still blocked";
    clockSet(52000);
    type({SDLK_PLUS}); // plus on a negative value
    EXPECT_EQ(feedback(), "+");
    EXPECT_EQ(game.feedbackRising, 0);
    EXPECT_EQ(problemCount(), 3);
    EXPECT_EQ(game.inputBlockedUntil, 54000);

    clockSet(54000);
    type({SDLK_KP_MINUS});
    EXPECT_EQ(feedback(), "-");
    EXPECT_EQ(game.feedbackRising, 1);
    EXPECT_EQ(problemCount(), 2);

    type({SDLK_MINUS}); // minus on a non-negative value
    EXPECT_EQ(problemCount(), 2);
    clockAdvance(2000);
    type({SDLK_PLUS});
    EXPECT_EQ(feedback(), "+");
    EXPECT_EQ(game.feedbackRising, 1);
    EXPECT_EQ(problemCount(), 1);
    EXPECT_EQ(game.typedValue, 0);
    EXPECT_EQ(game.typedDigits, 0);
}

TEST_F(GameAnswers, BlockKeepsItsLengthPastTwoToTheThirtyOneAndTheWrap) {
    const uint32_t starts[] = {0x7FFFFF00u, 0xFFFFFF00u, 0xFFFFFE0Cu};
    for (uint32_t start : starts) {
        SCOPED_TRACE(testing::Message() << "wrong answer at " << start);
        resetGame();
        game.gameMode = Addition;
        game.speed = 1;
        addProblem("2 + 2", 4, 1, 4000, 0);
        addProblem("2 + 2", 4, 1, 4000, 20);
        clockSet(start);
        type({SDLK_5});
        EXPECT_NE(game.inputBlockedUntil, 0);
        for (uint32_t e : {1u, 100u, 255u, 256u, 499u}) {
            clockSet(start + e);
            type({SDLK_4});
            EXPECT_EQ(problemCount(), 2) << "blocked at " << e << " ms";
        }
        // 0xFFFFFE0C + 500 wraps onto 0, the value meaning "no block": that one block
        // lasts a millisecond longer.
        clockSet(start + 500 + (start + 500 == 0));
        type({SDLK_4});
        EXPECT_EQ(problemCount(), 1) << "free again at 500 ms";
    }

    // No block recorded means no block, whatever the counter shows.
    for (uint32_t tick : {0x80000005u, 0xFFFFFFFFu, 0u}) {
        resetGame();
        addProblem("2 + 2", 4, 1, 4000, 0);
        addProblem("2 + 2", 4, 1, 4000, 20);
        clockSet(tick);
        type({SDLK_4});
        EXPECT_EQ(problemCount(), 1) << "tick " << tick;
    }

    // A block that ended long ago does not come back 2^31 ms later.
    resetGame();
    addProblem("2 + 2", 4, 1, 4000, 0);
    addProblem("2 + 2", 4, 1, 4000, 20);
    clockSet(1000);
    type({SDLK_5});
    clockSet(2000);
    EXPECT_FALSE(answerKeysBlocked());
    EXPECT_NE(game.inputBlockedUntil, 0) << "asking whether keys are blocked changes nothing";
    expireAnswerBlock(); // as every Playing logic step does
    EXPECT_EQ(game.inputBlockedUntil, 0);
    clockSet(1000u + 0x80000000u + 300u);
    type({SDLK_4});
    EXPECT_EQ(problemCount(), 1);
}

TEST_F(GameAnswers, PressesReachTheGameThroughThePumpOnlyOnPlaying) {
    addProblem("6 * 4", 24, 2, 4000, 0);
    addProblem("1 + 1", 2, 1, 5000, 20);
    game.logicClock = 1000000; // no logic step is due: the passes only handle events
    pushKeyUp(SDLK_2);
    runPass();
    EXPECT_EQ(game.typedDigits, 0) << "releases are not answers";
    pushKeyDown(SDLK_KP2);
    pushKeyDown(SDLK_4);
    runPass();
    EXPECT_EQ(feedback(), "24");
    EXPECT_EQ(problemCount(), 1);

    game.currentScreen = Help;
    pushKeyDown(SDLK_2);
    runPass();
    EXPECT_EQ(feedback(), "24");
    EXPECT_EQ(game.typedDigits, 0);
}

TEST_F(GameAnswers, PressesAnswerWhatTheyTypeOnEveryLayout) {
    // Each press as SDL reports it on that layout: the unshifted key symbol and the
    // character typed. "none" is -1: the press is no answer and changes nothing.
    const int None = -1;
    struct {
        const char *layout;
        const char *key;
        SDLKey sym;
        Uint16 unicode;
        int answer;
    } cases[] = {
        {"us", "1", SDLK_1, '1', 1},
        {"us", "Shift+1 (!)", SDLK_1, '!', 1},
        {"us", "Shift+= (+)", SDLK_EQUALS, '+', AnswerPlus},
        {"us", "= alone", SDLK_EQUALS, '=', None},
        {"us", "-", SDLK_MINUS, '-', AnswerMinus},
        {"gb", "Shift+= (+)", SDLK_EQUALS, '+', AnswerPlus},
        {"fr", "Shift+& (1)", SDLK_AMPERSAND, '1', 1},
        {"fr", "Shift+- (6)", SDLK_MINUS, '6', 6},
        {"fr", "- alone", SDLK_MINUS, '-', AnswerMinus},
        {"fr", "Shift+e-grave (7)", SDLK_WORLD_72, '7', 7},
        {"fr", "e-grave alone", SDLK_WORLD_72, 0xe8, None},
        {"fr", "Shift+a-grave (0)", SDLK_WORLD_64, '0', 0},
        {"fr", "& alone", SDLK_AMPERSAND, '&', None},
        {"fr", "Shift+= (+)", SDLK_EQUALS, '+', AnswerPlus},
        {"be", "Shift+( (5)", SDLK_LEFTPAREN, '5', 5},
        {"de", "9", SDLK_9, '9', 9},
        {"de", "+ (unshifted)", SDLK_PLUS, '+', AnswerPlus},
        {"de", "Shift+7 (/)", SDLK_7, '/', 7},
        {"es", "Shift+0 (=)", SDLK_0, '=', 0},
        {"any", "keypad 3, NumLock on", SDLK_KP3, '3', 3},
        {"any", "keypad 3, NumLock off", SDLK_KP3, 0, 3},
        {"any", "keypad +", SDLK_KP_PLUS, '+', AnswerPlus},
        {"any", "synthetic 4", SDLK_4, 0, 4},
        {"any", "synthetic minus", SDLK_MINUS, 0, AnswerMinus},
        {"any", "synthetic a", SDLK_a, 0, None},
    };
    game.logicClock = 1000000; // no logic step is due: the passes only handle events
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.layout) + " " + c.key);
        // Sign mode judges every answer key at once and shows which one it took.
        resetGame();
        game.currentScreen = Playing;
        game.requestedScreen = Playing;
        game.logicClock = 1000000;
        game.gameMode = Sign;
        addProblem("3 - 5", 0, 1, 4000, 0);
        addProblem("3 + 5", 1, 1, 4000, 20);
        pushKeyDownTyping(c.sym, c.unicode);
        runPass();
        if (c.answer == None) {
            EXPECT_EQ(feedback(), "(none)");
            EXPECT_EQ(problemCount(), 2);
        } else if (c.answer == AnswerPlus) {
            EXPECT_EQ(feedback(), "+");
        } else {
            EXPECT_EQ(feedback(), "-") << "a digit or minus shows as minus in the sign quiz";
        }
        // Digit mode: the digit itself is what accumulates.
        if (c.answer >= 0 && c.answer <= 9) {
            resetGame();
            game.currentScreen = Playing;
            game.logicClock = 1000000;
            game.gameMode = Addition;
            addProblem("5 + 5", 10, 2, 4000, 0);
            pushKeyDownTyping(c.sym, c.unicode);
            runPass();
            EXPECT_EQ(game.typedDigits, 1);
            EXPECT_EQ(game.typedValue, c.answer);
        }
    }

    // Clearing keys type characters too (Return, Space), and stay clearing keys.
    resetGame();
    game.currentScreen = Playing;
    game.logicClock = 1000000;
    addProblem("5 + 5", 10, 2, 4000, 0);
    pushKeyDownTyping(SDLK_4, '4');
    pushKeyDownTyping(SDLK_SPACE, ' ');
    runPass();
    EXPECT_EQ(game.typedDigits, 0);
    // On a menu screen the typed character means nothing either.
    game.currentScreen = MainMenu;
    pushKeyDownTyping(SDLK_AMPERSAND, '1');
    runPass();
    EXPECT_EQ(game.typedDigits, 0);
}

// Relative luminance of a colour 0xRRGGBB (sRGB), for contrast ratios.
double luminance(uint32_t colour) {
    double sum = 0;
    const double weight[3] = {0.2126, 0.7152, 0.0722};
    for (int i = 0; i < 3; i++) {
        double c = ((colour >> (16 - 8 * i)) & 0xFF) / 255.0;
        sum += weight[i] * (c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
    }
    return sum;
}

// With shown answers a wrong answer's feedback is the whole fact as a child says it, on
// a panel beside the leading problem; the field holds still (no movement, spawn or
// speed-up) until the answer is typed, which counts with the burst but no points, and
// the field's clocks then go on from where they stood.
TEST_F(GameAnswers, AShownFactHoldsTheFieldUntilItIsCopied) {
    settings.showAnswers = true;
    installTestFont();
    struct Case {
        int32_t mode;
        const char *text;
        int32_t answer, digits;
        SDLKey wrong, right;
        const char *fact;
    } cases[] = {{Multiplication, "8 * 7", 56, 2, SDLK_1, SDLK_5, "8 * 7 = 56"},
                 {Sign, "3 - 5", 0, 1, SDLK_PLUS, SDLK_MINUS, "3 - 5 = -2"},
                 {Sign, "-4 * -6", 1, 1, SDLK_MINUS, SDLK_PLUS, "-4 * -6 = 24"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fact);
        clockSet(50000);
        now = 50000;
        game.gameMode = c.mode;
        game.inputBlockedUntil = 0;
        game.score = 0;
        game.speed = 3;
        game.logicClock = 50000;
        game.nextSpawnAt = game.nextSpeedUpAt = 50100;
        addProblem(c.text, c.answer, c.digits, 4000, 100);
        addProblem("1 + 1", 2, 1, 6000, 200);
        type({c.wrong, c.wrong});
        EXPECT_EQ(feedback(), c.fact);
        int32_t top, x0, y0, x1, y1;
        EXPECT_FALSE(feedbackTop(50300, &top)) << "not tossed";
        ASSERT_TRUE(shownFactBox(&x0, &y0, &x1, &y1));
        // Beside the highlight (centre 400 + 6 x length, 47 wide at most), around the
        // problem's row.
        int32_t cx = 400 + 6 * int32_t(strlen(c.text));
        EXPECT_TRUE(x0 > cx + 47 || x1 < cx - 47) << x0 << ".." << x1;
        EXPECT_TRUE(y0 < 114 && y1 > 114) << y0 << ".." << y1;
        // Drawn large on its panel, at better than 4.5:1 against it, whatever lies behind.
        fillScreen(0xFFFFFF);
        drawPlaying();
        double brightest = 0;
        for (int32_t y = y0 + 2; y < y1 - 2; y++)
            for (int32_t x = x0 + 2; x < x1 - 2; x++)
                brightest = std::max(brightest, luminance(pixelAt(screenSurface, x, y)));
        EXPECT_EQ(pixelAt(screenSurface, x0 + 3, y0 + 3) & 0xFFFFFF, PanelColour);
        EXPECT_GE((brightest + 0.05) / (luminance(PanelColour) + 0.05), 4.5);
        for (int step = 0; step < 300; step++) {
            game.logicClock += 10;
            updateField();
        }
        EXPECT_EQ(game.problems->x, 4000);
        EXPECT_EQ(problemCount(), 2);
        EXPECT_EQ(game.speed, 3);
        // Copied 3 s later: answered, with its burst and no points.
        clockSet(53000);
        now = 53000;
        expireAnswerBlock();
        if (c.digits == 2)
            type({SDLK_5, SDLK_6});
        else
            type({c.right});
        EXPECT_EQ(problemCount(), 1);
        EXPECT_EQ(particleCount(), BurstParticleCount);
        EXPECT_EQ(game.score, 0);
        EXPECT_FALSE(shownFactBox(&x0, &y0, &x1, &y1));
        EXPECT_EQ(game.nextSpawnAt, 53100);
        EXPECT_EQ(game.nextSpeedUpAt, 53100);
        freeProblems();
        freeParticles();
    }
    // Without the setting nothing holds: the number typed is tossed from its place.
    settings.showAnswers = false;
    game.gameMode = Addition;
    game.inputBlockedUntil = 0;
    addProblem("1 + 2", 3, 1, 4000, 0);
    type({SDLK_4});
    int32_t top = -1;
    EXPECT_TRUE(feedbackTop(53100, &top) && top == FeedbackTop - 30) << top;
    EXPECT_EQ(game.factHeld, 0);
}

// The list of facts to practise: most missed first, marked x when answered wrong and ...
// when only too slow; a new game starts a new list.
TEST_F(GameAnswers, PracticeListHoldsTheMostMissedFactsOfTheGame) {
    settings.practiceList = true;
    // Seven facts missed, the second one three times; each answered right after.
    const char *texts[] = {"9 + 9", "7 + 5", "6 + 8", "4 + 7", "9 + 3", "8 + 5", "5 + 6"};
    for (int i = 0; i < 7; i++) {
        addProblem(texts[i], texts[i][0] - '0' + texts[i][4] - '0', 2, i == 2 ? 1500 : 4000, 0);
        noteLeading(now);
        if (i == 2) {
            // Too slow: near the edge, then at it.
            game.nextSpawnAt = game.nextSpeedUpAt = game.logicClock + 100000;
            game.logicClock += 10;
            updateField();
            game.problems->x = 0;
            updateField();
        }
        for (int miss = 0; miss < (i == 1 ? 3 : i == 2 ? 0 : 1); miss++)
            rejectAnswer("0", 500);
        solveLeadingProblem("1");
    }
    char lines[MaxListedFacts][32];
    ASSERT_EQ(practiceListLines(lines), 6);
    // The marks are the content file's words (English without one).
    const char *expected[] = {"7 + 5 = 12 wrong", "6 + 8 = 14 slow",  "9 + 9 = 18 wrong",
                              "4 + 7 = 11 wrong", "9 + 3 = 12 wrong", "8 + 5 = 13 wrong"};
    for (int i = 0; i < 6; i++)
        EXPECT_STREQ(lines[i], expected[i]);
    // The record counts what the list reads.
    const FactTally &slow = gameFacts()[2];
    EXPECT_STREQ(slow.text, "6 + 8");
    EXPECT_EQ(slow.tooSlow, 1);
    EXPECT_EQ(slow.closeCalls, 1);
    EXPECT_EQ(slow.wrong, 0);
    EXPECT_EQ(gameFacts()[1].wrong, 3);
    EXPECT_EQ(gameFacts()[1].rightFirstTry, 0);
    enterPlaying(); // a new game, a new list
    EXPECT_EQ(practiceListLines(lines), 0);
}

} // namespace
