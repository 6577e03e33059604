// The main loop, the logic clock, the screen machine and start-up, driven pass by pass.
#include <gtest/gtest.h>

#include <SDL_mixer.h>
#include <algorithm>
#include <cstring>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <glob.h>

#include "ground/settings.h"
#include "content/content.h"
#include "shell/options.h"
#include "practice/practice_hooks.h"
#include "practice/practice_list.h"
#include "practice/repeats.h"
#include "practice/panel.h"
#include "game/problems.h"
#include "ground/clock.h"
#include "ground/game_state.h"
#include "shell/frame.h"
#include "shell/screens.h"
#include "shell/shell.h"
#include "support.h"

namespace {

const char *const tinyContent =
    "<language langpick='English' image='none.bmp' name='English'>"
    "<screen name='main'><item text='Plimo'/><item text='a'/><item text='b'/><item text='c'/>"
    "<item text='d'/><item text='e'/><item text='f'/><item text='g'/><item text='h'/></screen>"
    "<screen name='credits'><item text='1'/><item text='2'/><item text='3'/><item text='4'/>"
    "<item text='5'/><item text='6'/><item text='7'/><item text='8'/><item text='9'/>"
    "<item text='10'/></screen>"
    "<screen name='difficulty'><item text='1'/><item text='2'/><item text='3'/><item text='4'/>"
    "<item text='5'/><item text='6'/></screen>"
    "<screen name='help'><item text='Type the answer'/></screen>"
    "<screen name='gameover'><item text='1'/><item text='Score'/><item text='3'/>"
    "<item text='4'/></screen>"
    "</language>";

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        startSdlForTests();
        resetGame();
        ContentDocument.Clear();
        ContentDocument.Parse(tinyContent);
        game.currentLanguage = firstLanguage();
    }
    void TearDown() override { resetGame(); }

    // Runs passes until the logic clock has caught up with the manual clock.
    void runPassesAt(uint32_t tick) {
        clockSet(tick);
        for (int i = 0; i < 3; i++)
            runPass();
    }

    // Runs one pass that runs exactly one logic step, with a pass tick 1 ms after its
    // logic time. Returns that tick.
    int32_t stepOnce() {
        clockSet(uint32_t(tickAdd(game.logicClock, 1)));
        runPass();
        return now;
    }

    // Steps one logic step at a time until done() holds; returns the tick of that step.
    template <class Done> int32_t stepUntil(Done done) {
        for (int i = 0; i < 100000; i++) {
            int32_t tick = stepOnce();
            if (done())
                return tick;
        }
        ADD_FAILURE() << "condition never met";
        return 0;
    }
};

TEST_F(ShellTest, FirstPassCatchesUpWithStartUpTime) {
    clockSet(493);
    EXPECT_FALSE(runPass());
    // 50 steps of 10 ms: the first enters the splash, the rest wait on its timeout.
    EXPECT_EQ(game.logicClock, 500);
    EXPECT_EQ(game.currentScreen, Splash);
    EXPECT_EQ(game.screenEnteredAt, 493);

    // A pass with no step due only sleeps one millisecond of the clock.
    clockSet(500);
    runPass();
    EXPECT_EQ(game.logicClock, 500);
    EXPECT_EQ(clockTicks(), 501u);
}

TEST_F(ShellTest, SplashAndHelpLeaveOnTheirTimeouts) {
    clockSet(1003);
    runPass();
    ASSERT_EQ(game.currentScreen, Splash);
    ASSERT_EQ(game.screenEnteredAt, 1003);

    // Step by step: the first step whose pass tick lies 2000 ms or more after the entry
    // requests LanguagePick, and the step after it enters it.
    int32_t requestedAt = stepUntil([] { return game.requestedScreen == LanguagePick; });
    EXPECT_GE(tickDiff(requestedAt, 1003), 2000);
    EXPECT_LT(tickDiff(requestedAt, 1003), 2010);
    EXPECT_EQ(game.currentScreen, Splash);
    stepOnce();
    EXPECT_EQ(game.currentScreen, LanguagePick);

    game.requestedScreen = Help;
    stepOnce();
    ASSERT_EQ(game.currentScreen, Help);
    int32_t entered = game.screenEnteredAt;
    requestedAt = stepUntil([] { return game.requestedScreen == Playing; });
    EXPECT_GE(tickDiff(requestedAt, entered), 3000);
    EXPECT_LT(tickDiff(requestedAt, entered), 3010);
    stepOnce();
    EXPECT_EQ(game.currentScreen, Playing);
}

TEST_F(ShellTest, HelpFadesTheMusicOverItsFirstSecond) {
    game.logicClock = 5000;
    game.currentScreen = MainMenu;
    game.requestedScreen = Help;
    clockSet(5005);
    runPass();
    ASSERT_EQ(game.currentScreen, Help);
    EXPECT_EQ(game.screenEnteredAt, 5005);
    EXPECT_EQ(Mix_VolumeMusic(-1), 128);

    struct {
        int elapsed;
        int volume;
    } const fade[] = {{-8, 129}, {0, 128}, {500, 64}, {992, 1}, {993, 0}, {2000, 0}, {2999, 0}};
    for (auto f : fade) {
        Mix_VolumeMusic(77);
        now = tickAdd(game.screenEnteredAt, f.elapsed);
        updateScreen();
        // The mixer caps values above 128 itself; a negative value is never passed.
        EXPECT_EQ(Mix_VolumeMusic(-1), std::min(f.volume, 128)) << "at " << f.elapsed << " ms";
        EXPECT_EQ(game.requestedScreen, Help);
    }

    // Left with Back, the music stays where the fade left it.
    game.requestedScreen = MainMenu;
    stepOnce();
    EXPECT_EQ(game.currentScreen, MainMenu);
    EXPECT_EQ(Mix_VolumeMusic(-1), 0);
}

TEST_F(ShellTest, RequestingTheScreenInForceRunsNoEntryAction) {
    clockSet(20);
    runPass();
    game.requestedScreen = MainMenu;
    runPassesAt(100);
    ASSERT_EQ(game.currentScreen, MainMenu);
    game.menuSelection = 5;
    game.requestedScreen = MainMenu;
    runPassesAt(200);
    EXPECT_EQ(game.menuSelection, 5);

    game.requestedScreen = Difficulty;
    runPassesAt(300);
    EXPECT_EQ(game.menuSelection, 1);
    EXPECT_EQ(game.menuItemCount, 5);
}

// Everything a logic step could change but the logic clock itself.
std::vector<int64_t> stepVisibleState() {
    std::vector<int64_t> s = {game.requestedScreen, game.currentScreen, game.screenEnteredAt,
                              game.menuSelection,   game.menuItemCount,  game.gameMode,
                              game.difficulty,      game.speed,          game.score,
                              game.nextSpawnAt,     game.nextSpeedUpAt,  game.typedValue,
                              game.typedDigits,     game.inputBlockedUntil, game.feedbackStartedAt,
                              game.feedbackRising,  game.alertFlag,      game.burstX,
                              game.burstY,          Mix_VolumeMusic(-1)};
    s.push_back(reinterpret_cast<intptr_t>(game.currentLanguage));
    for (const Problem *p = game.problems; p; p = p->next) {
        s.push_back(p->x);
        s.push_back(p->y);
    }
    for (const Particle *p = game.particles; p; p = p->next)
        s.push_back(static_cast<int64_t>(p->y * 1000));
    return s;
}

TEST_F(ShellTest, AScreenIsStillExactlyWhenItsStepsChangeNothing) {
    // Each screen entered as the game enters it, then five seconds of logic steps: long
    // enough for every time-out, fade and movement a screen has.
    for (int id = Splash; id <= PlayerPick; id++) {
        resetGame();
        game.currentLanguage = firstLanguage();
        clockSet(50000);
        game.logicClock = 50000;
        game.requestedScreen = id;
        enterScreen();
        if (id == Playing) {
            game.problems->x = 3000; // on its way to the left edge
            game.particles = new Particle{100, 100, 1, -2, 3, 0xffffff, nullptr};
        }
        Mix_VolumeMusic(100);
        std::vector<int64_t> before = stepVisibleState();
        for (int step = 0; step < 500; step++) {
            clockSet(uint32_t(game.logicClock) + 1);
            now = clockNow();
            updateScreen();
            game.logicClock = tickAdd(game.logicClock, LogicStepMs);
        }
        bool changed = stepVisibleState() != before;
        EXPECT_EQ(screenIsStill(id), !changed)
            << "screen " << id << (changed ? ": its steps change the game, yet it counts as still"
                                           : ": its steps change nothing, yet it counts as moving");
        EXPECT_EQ(screenRow(id).id, id);
    }
}

// Late passes run every missed step; a stall (the process stopped, a frozen session)
// makes up at most MaxCatchUpMs, and the field pauses for the rest instead of running on
// to the game's end.
TEST_F(ShellTest, LatePassesKeepEveryStepAndAStallPausesTheField) {
    clockSet(10);
    runPass();
    game.requestedScreen = Playing;
    runPassesAt(100);
    ASSERT_EQ(game.currentScreen, Playing);
    const struct {
        uint32_t lateMs;
        int32_t steps;
    } cases[] = {{30, 3}, {MaxCatchUpMs, MaxCatchUpMs / LogicStepMs}, {30000, MaxCatchUpMs / LogicStepMs}};
    for (auto c : cases) {
        ASSERT_NE(game.problems, nullptr);
        int32_t x = game.problems->x, speed = game.speed;
        clockSet(uint32_t(game.logicClock) + c.lateMs);
        runPass();
        EXPECT_EQ(game.currentScreen, Playing) << c.lateMs << " ms late";
        EXPECT_EQ(tickDiff(game.logicClock, now), 0) << c.lateMs << " ms late";
        // The problems move speed tenths of a pixel a step (one speed-up at most).
        EXPECT_GE(x - game.problems->x, c.steps * speed) << c.lateMs << " ms late";
        EXPECT_LE(x - game.problems->x, c.steps * game.speed) << c.lateMs << " ms late";
    }
}

TEST_F(ShellTest, ReleasedKeysMapToNavigationActions) {
    struct {
        SDLKey key;
        bool mapped;
        NavAction action;
    } const table[] = {
        {SDLK_RETURN, true, Confirm}, {SDLK_SPACE, true, Confirm}, {SDLK_KP_ENTER, true, Confirm},
        {SDLK_ESCAPE, true, Back},    {SDLK_UP, true, Up},         {SDLK_KP8, true, Up},
        {SDLK_DOWN, true, Down},      {SDLK_KP2, true, Down},      {SDLK_LEFT, true, Left},
        {SDLK_KP4, true, Left},       {SDLK_RIGHT, true, Right},   {SDLK_KP6, true, Right},
        {SDLK_KP_EQUALS, false, Confirm}, {SDLK_a, false, Confirm}, {SDLK_5, false, Confirm},
        {SDLK_BACKSPACE, false, Confirm}, {SDLK_KP5, false, Confirm},
    };
    for (auto row : table) {
        NavAction action = Confirm;
        bool mapped = navActionForKey(row.key, &action);
        EXPECT_EQ(mapped, row.mapped) << "key " << row.key;
        if (mapped && row.mapped) {
            EXPECT_EQ(action, row.action) << "key " << row.key;
        }
    }
}

TEST_F(ShellTest, QuitEventEndsTheProgramAndDropsWhatFollows) {
    clockSet(10);
    runPass();
    SDL_Event quit;
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    pushKeyUp(SDLK_ESCAPE);
    EXPECT_TRUE(runPass());
    // The release behind the quit is still queued, never handled.
    SDL_Event left;
    EXPECT_EQ(SDL_PollEvent(&left), 1);
    EXPECT_EQ(left.type, SDL_KEYUP);
}

TEST_F(ShellTest, TimingsHoldWhenTheCounterPasses2To31And2To32) {
    const uint32_t starts[] = {0x7FFFF800u, 0xFFFFF800u};
    for (uint32_t start : starts) {
        resetGame();
        game.currentLanguage = firstLanguage();
        game.logicClock = int32_t(start);
        clockSet(start + 5);
        runPass();
        ASSERT_EQ(game.currentScreen, Splash);
        int32_t entered = game.screenEnteredAt;
        // The splash timeout straddles the wrap of the signed or the unsigned counter.
        int32_t requestedAt = stepUntil([] { return game.requestedScreen == LanguagePick; });
        EXPECT_GE(tickDiff(requestedAt, entered), 2000) << std::hex << start;
        EXPECT_LT(tickDiff(requestedAt, entered), 2010) << std::hex << start;
        clockSet(uint32_t(entered) + 6000);
        runPass();
        EXPECT_EQ(game.currentScreen, LanguagePick);
        // After a pass that runs steps: now <= logicClock < now + 10.
        EXPECT_GE(tickDiff(game.logicClock, now), 0);
        EXPECT_LT(tickDiff(game.logicClock, now), 10);
    }
}

// The tick counter starts from SDL's own count (the game's time began with SDL, not at
// the clock's first read), and does not follow the date: set back an hour, then forward
// two (by libfaketime, which leaves the monotonic clock alone), it moves on only by the
// time the checks take. This test runs itself again under libfaketime for that.
TEST(ShellClock, CountsFromSdlsStartAndNotByTheDate) {
    const char *stamp = getenv("FAKETIME_TIMESTAMP_FILE");
    if (!stamp) {
        glob_t found;
        ASSERT_EQ(0, glob("/usr/lib/*/faketime/libfaketime.so.1", 0, nullptr, &found)) << "faketime is missing";
        ScratchDir dir;
        dir.write("stamp", "+0\n");
        const char *asan = getenv("ASAN_OPTIONS"); // its runtime would insist on coming first
        ProcessResult r = runProcess("/proc/self/exe", {"--gtest_filter=ShellClock.*"}, dir.path(),
                                     {std::string("LD_PRELOAD=") + found.gl_pathv[0], "FAKETIME_TIMESTAMP_FILE=stamp",
                                      "FAKETIME_NO_CACHE=1", "FAKETIME_DONT_FAKE_MONOTONIC=1",
                                      "ASAN_OPTIONS=" + std::string(asan ? asan : "") + ":verify_asan_link_order=0"},
                                     60000);
        globfree(&found);
        EXPECT_NE(r.out.find("[  PASSED  ] 1 test"), std::string::npos) << r.out << r.err;
        return;
    }
    // The real clock: this process runs this test alone, and reads it first here.
    ASSERT_EQ(0, SDL_Init(SDL_INIT_TIMER));
    SDL_Delay(300);
    uint32_t sdlTicks = SDL_GetTicks(), first = clockTicks();
    EXPECT_GE(first, sdlTicks) << "the first read is not SDL's count";
    EXPECT_LT(first - sdlTicks, 100u) << "the first read is not SDL's count";
    for (const char *offset : {"-3600", "+3600"}) {
        time_t dateBefore = time(nullptr);
        uint32_t before = clockTicks();
        std::ofstream(stamp) << offset << "\n";
        long dateMoved = long(time(nullptr) - dateBefore);
        uint32_t moved = clockTicks() - before;
        ASSERT_GT(labs(dateMoved), 3000) << "the date did not change: is libfaketime loaded?";
        EXPECT_LT(moved, 1000u) << "the date moved by " << dateMoved << " s";
    }
}

TEST(ShellProcess, UnavailableVideoDriverFailsWithItsMessage) {
    ScratchDir dir;
    ProcessResult r = runProcess(plimoBinary(), {"window"}, dir.path(),
                                 {"SDL_VIDEODRIVER=no-such-driver", "SDL_AUDIODRIVER=dummy"}, 20000);
    EXPECT_EQ(r.exitStatus, 1);
    // Classic SDL refuses the driver at initialisation; SDL 1.2 over SDL 2 only when the
    // video mode is set. Either way it is one of the two start-up messages.
    EXPECT_TRUE(r.err.rfind("Unable to init SDL: ", 0) == 0 ||
                r.err.rfind("Unable to set up video: ", 0) == 0)
        << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_TRUE(r.out.empty());
}

// --help prints the options and ends before SDL starts (the named driver does not
// exist), failing when they cannot be written; a misspelt option stops the game before
// any window with one line naming it, status 2.
TEST(ShellProcess, HelpPrintsTheOptionsAndMisspellingsAreRefused) {
    ScratchDir dir;
    const std::vector<std::string> env = {"SDL_VIDEODRIVER=no-such-driver", "SDL_AUDIODRIVER=dummy"};
    ProcessResult r = runProcess(plimoBinary(), {"--gentle", "--help", "window"}, dir.path(), env, 20000);
    EXPECT_EQ(r.exitStatus, 0);
    // The manual page lists every option too, its hyphens escaped.
    std::ifstream manual(sourceDir() + "/packaging/plimo.6");
    std::string manualText((std::istreambuf_iterator<char>(manual)), std::istreambuf_iterator<char>());
    for (int i = 0; i < optionRowCount; i++) {
        std::string word = optionRows[i].word, escaped;
        for (char c : word)
            escaped += c == '-' ? std::string("\\-") : std::string(1, c);
        EXPECT_NE(r.out.find(word), std::string::npos) << word << " in:\n" << r.out;
        EXPECT_NE(manualText.find(".B " + escaped), std::string::npos) << word << " in packaging/plimo.6";
    }
    for (const char *word : {"--gentel", "--show-answer", "--Gentle", "--gentle=1", "--fullscreen=no"}) {
        ProcessResult refused = runProcess(plimoBinary(), {"window", word}, dir.path(), env, 20000);
        EXPECT_EQ(refused.exitStatus, 2) << word;
        EXPECT_EQ(refused.err.rfind(std::string(word) + ": ", 0), 0u) << refused.err;
        EXPECT_NE(refused.err.find("--help"), std::string::npos) << refused.err;
        EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << refused.err;
    }
    ProcessResult full = runProcess("/bin/sh", {"-c", "\"$0\" --help >/dev/full", plimoBinary()}, dir.path(), env, 20000);
    EXPECT_EQ(full.exitStatus, 1);
}

// The lines that tell the player what to type name the command they typed: ./play.sh
// names itself in PLIMO_COMMAND_NAME (and opens a window); without it, or with it empty,
// they name plimo.
TEST(ShellProcess, MessagesNameTheCommandThatStartedTheGame) {
    ScratchDir dir;
    struct Case {
        const char *nameSetting; // PLIMO_COMMAND_NAME=..., or "" for none
        const char *word;
        const char *expected; // the first line of --help, or the refusal
    };
    const Case cases[] = {
        {"PLIMO_COMMAND_NAME=./play.sh", "--help", "Usage: ./play.sh [OPTION]...\n"
                                                   "An arithmetic drill game in a 640x480 window; with --fullscreen it"},
        {"", "--help", "Usage: plimo [OPTION]...\nAn arithmetic drill game. Without arguments, or with"},
        {"PLIMO_COMMAND_NAME=", "--help", "Usage: plimo [OPTION]...\n"},
        {"PLIMO_COMMAND_NAME=./play.sh", "--gentel", "--gentel: unknown option (./play.sh --help lists the options)\n"},
        {"PLIMO_COMMAND_NAME=./play.sh", "--gentle=1", "--gentle=1: takes no value (./play.sh --help lists the options)\n"},
        {"", "--gentel", "--gentel: unknown option (plimo --help lists the options)\n"},
    };
    for (const Case &c : cases) {
        std::vector<std::string> env = {"SDL_VIDEODRIVER=no-such-driver", "SDL_AUDIODRIVER=dummy"};
        if (c.nameSetting[0] != '\0')
            env.push_back(c.nameSetting);
        ProcessResult r = runProcess(plimoBinary(), {"window", c.word}, dir.path(), env, 20000);
        const std::string &shown = strcmp(c.word, "--help") == 0 ? r.out : r.err;
        EXPECT_EQ(shown.substr(0, strlen(c.expected)), c.expected) << c.nameSetting << " " << c.word;
        EXPECT_EQ(r.exitStatus, strcmp(c.word, "--help") == 0 ? 0 : 2) << c.nameSetting << " " << c.word;
    }
}

// Words are read one at a time: an option turns its setting on, --practice all of them,
// a word with one dash too few is refused, naming the option, any other word not starting
// with "--" asks for a window, and --fullscreen keeps the full
// screen whatever else is given.
TEST(ShellOptions, WordsAreReadOneAtATime) {
    char why[160];
    EXPECT_EQ(readOption("--fullscreen", why, sizeof why), OptionApplied);
    EXPECT_TRUE(settings.fullscreen && !settings.window);
    // One dash too few is refused, naming the option; one letter is a plain word.
    EXPECT_EQ(readOption("-gentle", why, sizeof why), UnknownOption);
    EXPECT_STREQ(why, "-gentle: unknown option; did you mean --gentle? (plimo --help lists the options)");
    EXPECT_EQ(readOption("-w", why, sizeof why), NotAnOption);
    EXPECT_TRUE(settings.window && !settings.gentlePace);
    EXPECT_EQ(readOption("--practice", why, sizeof why), OptionApplied);
    EXPECT_TRUE(settings.gentlePace && settings.showAnswers && settings.repeatMissed && settings.practiceList);
    EXPECT_EQ(settings.roundMinutes, PracticeRoundMinutes);
    // A round's length given before or after --practice stands.
    EXPECT_EQ(readOption("--round=3", why, sizeof why), OptionApplied);
    EXPECT_EQ(readOption("--practice", why, sizeof why), OptionApplied);
    EXPECT_EQ(settings.roundMinutes, 3);
    for (const char *word : {"--round", "--round=0", "--round=31", "--round=2.5"})
        EXPECT_EQ(readOption(word, why, sizeof why), BadOptionValue) << word;
    settings = Settings{};
    settings = Settings{};
}

TEST_F(ShellTest, PressesReachTheGameOnlyWhilePlayingAndReleasesReachTheMenus) {
    clockSet(10);
    runPass();
    game.requestedScreen = MainMenu;
    runPassesAt(100);
    ASSERT_EQ(game.currentScreen, MainMenu);

    // A press off the field does nothing at all; its release moves the highlight.
    pushKeyDown(SDLK_DOWN);
    pushKeyDown(SDLK_5);
    runPass();
    EXPECT_EQ(game.menuSelection, 0);
    EXPECT_EQ(game.typedDigits, 0);
    pushKeyUp(SDLK_DOWN);
    runPass();
    EXPECT_EQ(game.menuSelection, 1);

    // A release with no press before it, or with the focus lost before or behind it in
    // the queue (the two SDL flavours' orders), moves nothing.
    SDL_Event focusLost{};
    focusLost.type = focusLost.active.type = SDL_ACTIVEEVENT;
    focusLost.active.state = SDL_APPINPUTFOCUS;
    pushKeyUp(SDLK_DOWN);
    for (bool lossFirst : {true, false}) {
        pushKeyDown(SDLK_DOWN);
        if (lossFirst)
            SDL_PushEvent(&focusLost);
        pushKeyUp(SDLK_DOWN);
        if (!lossFirst)
            SDL_PushEvent(&focusLost);
    }
    runPass();
    EXPECT_EQ(game.menuSelection, 1);

    game.requestedScreen = Playing;
    runPassesAt(200);
    ASSERT_EQ(game.currentScreen, Playing);
    ASSERT_NE(game.problems, nullptr);
    game.problems->answer = 456;
    game.problems->answerDigits = 3;
    // Keypad 4 types a digit when pressed, and is Left (nothing on the field) released.
    pushKeyDown(SDLK_KP4);
    runPass();
    EXPECT_EQ(game.typedDigits, 1);
    EXPECT_EQ(game.typedValue, 4);
    pushKeyUp(SDLK_KP4);
    runPass();
    EXPECT_EQ(game.currentScreen, Playing);
    EXPECT_EQ(game.requestedScreen, Playing);
    EXPECT_EQ(game.typedDigits, 1);

    // A held key repeats its press (the keyboard's autorepeat): one digit all the same,
    // on the keypad as on the main keyboard.
    pushKeyDown(SDLK_KP5);
    pushKeyDown(SDLK_KP5);
    runPass();
    EXPECT_EQ(game.typedValue, 45);
    pushKeyUp(SDLK_KP5);
    game.problems->answer = 4567;
    game.problems->answerDigits = 4;
    pushKeyDownTyping(SDLK_6, '6');
    pushKeyDownTyping(SDLK_6, '6');
    runPass();
    EXPECT_EQ(game.typedValue, 456);

    // Escape is Back on release only: holding it keeps the game going.
    pushKeyDown(SDLK_ESCAPE);
    runPass();
    EXPECT_EQ(game.requestedScreen, Playing);
    pushKeyUp(SDLK_ESCAPE);
    runPass();
    EXPECT_EQ(game.requestedScreen, GameOver);
}

} // namespace
