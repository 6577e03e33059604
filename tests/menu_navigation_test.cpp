// Menu navigation: what every navigation key does on every screen, with its effect.
#include <gtest/gtest.h>

#include <SDL_mixer.h>
#include <string>
#include <vector>

#include "audio/audio.h"
#include "content/content.h"
#include "ground/clock.h"
#include "ground/game_state.h"
#include "menu/menu.h"
#include "shell/frame.h"
#include "shell/screens.h"
#include "support.h"

namespace {

enum Effect { NoEffect, SelectEffect, MoveEffect };

// Which effect is sounding now; fails the test when both, or another sound, play.
Effect effectPlaying() {
    bool move = soundPlaying(SoundMenuMove), select = soundPlaying(SoundMenuSelect);
    EXPECT_FALSE(move && select);
    EXPECT_TRUE(move || channelSilent(SoundMenuMove));
    EXPECT_TRUE(select || channelSilent(SoundMenuSelect));
    return move ? MoveEffect : select ? SelectEffect : NoEffect;
}

const char *languageName() {
    return game.currentLanguage ? game.currentLanguage->Attribute("name") : "(none)";
}

class MenuNavigation : public ::testing::Test {
  protected:
    void SetUp() override {
        startSdlForTests();
        ASSERT_TRUE(startTestAudio());
        ASSERT_EQ(soundChannel(SoundMenuMove), 0);
        ASSERT_EQ(soundChannel(SoundMenuSelect), 1);
        resetGame();
        dir.write("plimo.xml", languageXml("A") + languageXml("B") + languageXml("C"));
        loadContent();
        Mix_HaltChannel(-1);
    }
    // Puts the game on screen with the given selection, as if it had been entered.
    void on(int screen, int selection, int itemCount) {
        game.currentScreen = screen;
        game.requestedScreen = screen;
        game.menuSelection = selection;
        game.menuItemCount = itemCount;
        Mix_HaltChannel(-1);
    }
    ScratchDir dir;
};

struct NavCase {
    int screen;
    NavAction action;
    int selection;     // before
    int itemCount;
    int requested;     // requestedScreen after (the screen itself when nothing is asked)
    int selectionAfter;
    Effect effect;
    bool ends;
    int gameMode;      // after; -1 not looked at
    int difficulty;    // after; -1 not looked at
};

const char *actionName(NavAction a) {
    static const char *names[] = {"Confirm", "Back", "Up", "Down", "Left", "Right"};
    return names[a];
}

TEST_F(MenuNavigation, EveryKeyOnEveryScreen) {
    std::vector<NavCase> cases = {
        // Confirm
        {LanguagePick, Confirm, 0, 0, MainMenu, 0, SelectEffect, false, -1, -1},
        {MainMenu, Confirm, 0, 8, Difficulty, 0, SelectEffect, false, Addition, -1},
        {MainMenu, Confirm, 1, 8, Difficulty, 1, SelectEffect, false, Sign, -1},
        {MainMenu, Confirm, 2, 8, Difficulty, 2, SelectEffect, false, Subtraction, -1},
        {MainMenu, Confirm, 3, 8, Difficulty, 3, SelectEffect, false, Multiplication, -1},
        {MainMenu, Confirm, 4, 8, Difficulty, 4, SelectEffect, false, Division, -1},
        {MainMenu, Confirm, 5, 8, Difficulty, 5, SelectEffect, false, Mixed, -1},
        {MainMenu, Confirm, 6, 8, Credits, 6, SelectEffect, false, Addition, -1},
        {MainMenu, Confirm, 7, 8, MainMenu, 7, SelectEffect, true, Addition, -1},
        {Credits, Confirm, 0, 1, MainMenu, 0, SelectEffect, false, -1, -1},
        {Difficulty, Confirm, 0, 5, Help, 0, SelectEffect, false, -1, 0},
        {Difficulty, Confirm, 1, 5, Help, 1, SelectEffect, false, -1, 1},
        {Difficulty, Confirm, 2, 5, Help, 2, SelectEffect, false, -1, 2},
        {Difficulty, Confirm, 3, 5, Help, 3, SelectEffect, false, -1, 3},
        {Difficulty, Confirm, 4, 5, MainMenu, 4, SelectEffect, false, -1, 0},
        {Help, Confirm, 0, 0, Playing, 0, NoEffect, false, -1, -1},
        {GameOver, Confirm, 0, 2, Playing, 0, SelectEffect, false, -1, -1},
        {GameOver, Confirm, 1, 2, MainMenu, 1, SelectEffect, false, -1, -1},
        {Playing, Confirm, 0, 0, Playing, 0, NoEffect, false, -1, -1},
        // Back never sounds
        {Splash, Back, 0, 0, LanguagePick, 0, NoEffect, false, -1, -1},
        {LanguagePick, Back, 0, 0, LanguagePick, 0, NoEffect, true, -1, -1},
        {MainMenu, Back, 2, 8, MainMenu, 7, NoEffect, false, -1, -1},
        {Credits, Back, 0, 1, MainMenu, 0, NoEffect, false, -1, -1},
        {Difficulty, Back, 2, 5, MainMenu, 2, NoEffect, false, -1, -1},
        {Help, Back, 0, 0, MainMenu, 0, NoEffect, false, -1, -1},
        {GameOver, Back, 1, 2, MainMenu, 1, NoEffect, false, -1, -1},
        {Playing, Back, 0, 0, GameOver, 0, NoEffect, false, -1, -1},
        // Up and Down move within the entries and always sound
        {MainMenu, Up, 0, 8, MainMenu, 0, MoveEffect, false, -1, -1},
        {MainMenu, Up, 3, 8, MainMenu, 2, MoveEffect, false, -1, -1},
        {MainMenu, Down, 3, 8, MainMenu, 4, MoveEffect, false, -1, -1},
        {MainMenu, Down, 7, 8, MainMenu, 7, MoveEffect, false, -1, -1},
        {Difficulty, Up, 0, 5, Difficulty, 0, MoveEffect, false, -1, -1},
        {Difficulty, Down, 1, 5, Difficulty, 2, MoveEffect, false, -1, -1},
        {Difficulty, Down, 4, 5, Difficulty, 4, MoveEffect, false, -1, -1},
        {GameOver, Up, 1, 2, GameOver, 0, MoveEffect, false, -1, -1},
        {GameOver, Down, 0, 2, GameOver, 1, MoveEffect, false, -1, -1},
        {GameOver, Down, 1, 2, GameOver, 1, MoveEffect, false, -1, -1},
        // Left and Right mean nothing on the menus; Credits ignores Up and Down
        {MainMenu, Left, 3, 8, MainMenu, 3, NoEffect, false, -1, -1},
        {MainMenu, Right, 3, 8, MainMenu, 3, NoEffect, false, -1, -1},
        {Difficulty, Right, 1, 5, Difficulty, 1, NoEffect, false, -1, -1},
        {GameOver, Left, 0, 2, GameOver, 0, NoEffect, false, -1, -1},
        {Credits, Up, 0, 1, Credits, 0, NoEffect, false, -1, -1},
        {Credits, Down, 0, 1, Credits, 0, NoEffect, false, -1, -1},
        {Credits, Left, 0, 1, Credits, 0, NoEffect, false, -1, -1},
        {Credits, Right, 0, 1, Credits, 0, NoEffect, false, -1, -1},
    };
    // Splash, Help and Playing ignore all four arrows.
    for (int screen : {Splash, Help, Playing})
        for (NavAction a : {Up, Down, Left, Right})
            cases.push_back({screen, a, 0, 0, screen, 0, NoEffect, false, -1, -1});

    for (const NavCase &c : cases) {
        SCOPED_TRACE(std::string("screen ") + std::to_string(c.screen) + ", " + actionName(c.action) +
                     " on entry " + std::to_string(c.selection));
        resetGame();
        game.currentLanguage = firstLanguage();
        // Values the action must not disturb unless it sets them.
        game.gameMode = Addition;
        game.difficulty = 0;
        on(c.screen, c.selection, c.itemCount);
        EXPECT_EQ(handleNavigation(c.action), c.ends);
        EXPECT_EQ(game.requestedScreen, c.requested);
        EXPECT_EQ(game.currentScreen, c.screen) << "only the next logic step changes screens";
        EXPECT_EQ(game.menuSelection, c.selectionAfter);
        EXPECT_EQ(effectPlaying(), c.effect);
        if (c.gameMode >= 0) {
            EXPECT_EQ(game.gameMode, c.gameMode);
        }
        if (c.difficulty >= 0) {
            EXPECT_EQ(game.difficulty, c.difficulty);
        }
        EXPECT_STREQ(languageName(), "A") << "only LanguagePick's arrows step the language";
    }
}

TEST_F(MenuNavigation, ConfirmOnSplashMeetsTheTimeoutAtTheNextStep) {
    clockSet(50000);
    now = clockNow();
    game.requestedScreen = Splash;
    enterScreen();
    updateScreen();
    ASSERT_EQ(game.requestedScreen, Splash);
    Mix_HaltChannel(-1);
    EXPECT_FALSE(handleNavigation(Confirm));
    EXPECT_EQ(effectPlaying(), NoEffect);
    EXPECT_EQ(game.requestedScreen, Splash) << "Confirm leaves the switch to the time-out";
    updateScreen();
    EXPECT_EQ(game.requestedScreen, LanguagePick);
}

TEST_F(MenuNavigation, LanguageArrowsStepAndWrapBothWays) {
    on(LanguagePick, 0, 0);
    struct Step {
        NavAction action;
        const char *after;
    };
    const Step steps[] = {{Up, "B"},   {Right, "C"}, {Up, "A"},   {Down, "C"},
                          {Left, "B"}, {Left, "A"},  {Left, "C"}, {Right, "A"}};
    for (const Step &s : steps) {
        SCOPED_TRACE(actionName(s.action));
        Mix_HaltChannel(-1);
        EXPECT_FALSE(handleNavigation(s.action));
        EXPECT_STREQ(languageName(), s.after);
        EXPECT_EQ(effectPlaying(), MoveEffect);
        EXPECT_EQ(game.requestedScreen, LanguagePick);
    }
    // The language chosen stays through the rest of the run.
    handleNavigation(Confirm);
    EXPECT_STREQ(languageName(), "A");
    game.currentScreen = MainMenu;
    for (NavAction a : {Up, Down, Left, Right, Back})
        handleNavigation(a);
    EXPECT_STREQ(languageName(), "A");
}

TEST_F(MenuNavigation, OneLanguageStaysButStillSounds) {
    dir.write("plimo.xml", languageXml("Solo"));
    loadContent();
    on(LanguagePick, 0, 0);
    for (NavAction a : {Up, Down, Left, Right}) {
        Mix_HaltChannel(-1);
        handleNavigation(a);
        EXPECT_STREQ(languageName(), "Solo");
        EXPECT_EQ(effectPlaying(), MoveEffect);
    }
}

TEST_F(MenuNavigation, BackOnMainMenuThenConfirmEndsTheProgram) {
    game.requestedScreen = MainMenu;
    enterScreen();
    ASSERT_EQ(game.menuSelection, 0);
    EXPECT_FALSE(handleNavigation(Back));
    EXPECT_EQ(game.menuSelection, 7);
    EXPECT_EQ(game.requestedScreen, MainMenu);
    EXPECT_EQ(effectPlaying(), NoEffect);
    EXPECT_TRUE(handleNavigation(Confirm));
}

TEST_F(MenuNavigation, DifficultyOpensOnItsSecondEntry) {
    game.requestedScreen = Difficulty;
    enterScreen();
    EXPECT_FALSE(handleNavigation(Confirm));
    EXPECT_EQ(game.difficulty, 1);
    EXPECT_EQ(game.requestedScreen, Help);
    // Down from there walks to the back entry and no further.
    game.requestedScreen = Difficulty;
    enterScreen();
    for (int i = 0; i < 6; i++)
        handleNavigation(Down);
    EXPECT_EQ(game.menuSelection, 4);
    handleNavigation(Confirm);
    EXPECT_EQ(game.requestedScreen, MainMenu);
}

TEST_F(MenuNavigation, ConfirmDuringTheGameOverBurstStartsANewGame) {
    clockSet(80000);
    on(GameOver, 0, 2);
    game.screenEnteredAt = clockNow() - 300;
    game.gameMode = Division;
    game.difficulty = 3;
    EXPECT_FALSE(handleNavigation(Confirm));
    EXPECT_EQ(game.requestedScreen, Playing);
    EXPECT_EQ(game.gameMode, Division);
    EXPECT_EQ(game.difficulty, 3);
    EXPECT_EQ(effectPlaying(), SelectEffect);
}

} // namespace
