// The table of screens: entry, update, background, drawing and keys of every screen.
#include "shell/screens.h"

#include <SDL_mixer.h>
#include <cstdlib>

#include "audio/audio.h"
#include "game/answers.h"
#include "game/display.h"
#include "game/field.h"
#include "game/particles.h"
#include "practice/pause.h"
#include "practice/practice_list.h"
#include "gfx/images.h"
#include "ground/clock.h"
#include "ground/settings.h"
#include "menu/menu.h"
#include "menu/player_pick.h"
#include "shell/progress_keeping.h"

static void enterSplash() {
    game.screenEnteredAt = now;
    playMusic(MenuMusic);
}

static void enterMainMenu() {
    // The problems of each visit to the menus differ.
    srand(static_cast<unsigned>(now));
}

static void enterHelp() { game.screenEnteredAt = now; }

// Loading the game's track takes time the player should not lose from the first spawn
// period: the game starts at a tick read after the music has started.
static void enterPlayingScreen() {
    playMusic(GameMusic);
    now = clockNow();
    enterPlaying();
    // Its own id, so that it counts once however often it is kept.
    startKeptGame();
}

// Time-outs compare with `now`, the tick of the pass: every step of a pass sees it.
// The end of a game: its burst and sounds, then its facts kept (--remember).
static void enterGameOverAndKeep() {
    enterGameOver();
    keepFinishedGame();
}

static void updateSplash() {
    if (tickDiff(now, game.screenEnteredAt) >= SplashMs)
        game.requestedScreen = LanguagePick;
}

static void updateHelp() {
    // The menu music fades out over the first HelpFadeMs of the help picture; early
    // values above the full volume are passed on, and the mixer caps them.
    int32_t elapsed = tickDiff(now, game.screenEnteredAt);
    int64_t volume = (static_cast<int64_t>(HelpFadeMs) - elapsed) * MIX_MAX_VOLUME / HelpFadeMs;
    if (volume < 0)
        volume = 0;
    if (volume > 0x7fffffff)
        volume = 0x7fffffff;
    Mix_VolumeMusic(static_cast<int>(volume));
    if (elapsed >= HelpMs)
        game.requestedScreen = Playing;
}

static void updatePlaying() {
    // A paused game stands still, its particles too.
    if (game.paused)
        return;
    expireAnswerBlock();
    updateField();
    updateParticles();
}

static SDL_Surface *splashBackground() { return splashImage; }

static SDL_Surface *menuPicture() { return menuBackground; }

static SDL_Surface *gameOverBackground() { return gameOverBurstShowing() ? nullptr : menuBackground; }

static void drawPlayingScreen(const ContentScreen *) { drawPlayingOrPause(); }

// A paused game goes on at the release of Escape (whose press did not), instead of being
// given up; other releases mean nothing while paused.
static bool navigatePlayingScreen(NavAction action) {
    if (!game.paused)
        return navigatePlaying(action);
    if (action == Back)
        resumeGame();
    return false;
}

static void drawGameOverScreen(const ContentScreen *texts) {
    if (gameOverBurstShowing()) {
        drawGameOverBurst();
    } else {
        drawGameOverMenu(texts);
        // A round's summary and the facts to practise, when chosen, between the score
        // line and the entries.
        drawGameOverPractice(MenuColumnX, 220);
    }
}

static constexpr ScreenRow noScreen = {ScreenNone, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0};

// In ScreenId order, from Splash.
static constexpr ScreenRow screens[] = {
    {Splash, enterSplash, updateSplash, splashBackground, nullptr, navigateSplash, nullptr, nullptr, 0, 0},
    // The language screen keeps the selection and the music as they are.
    {LanguagePick, nullptr, nullptr, menuPicture, drawLanguagePick, navigateLanguagePick, nullptr, nullptr, 0, 0},
    {MainMenu, enterMainMenu, nullptr, menuPicture, drawMainMenu, navigateMainMenu, nullptr, &contentScreens[MainTexts],
     MainMenuQuitEntry + 1, 0},
    {Credits, nullptr, nullptr, menuPicture, drawCredits, navigateCredits, nullptr, &contentScreens[CreditsTexts], 1,
     0},
    // The second entry is highlighted: a new player starts one step above the easiest.
    {Difficulty, nullptr, nullptr, menuPicture, drawDifficulty, navigateDifficulty, nullptr,
     &contentScreens[DifficultyTexts], DifficultyBackEntry + 1, 1},
    {Help, enterHelp, updateHelp, helpPicture, drawHelp, navigateHelp, nullptr, &contentScreens[HelpTexts], 0, 0},
    // Answers (and the pause) come from presses, and only while a game runs.
    {Playing, enterPlayingScreen, updatePlaying, playingOrPauseBackground, drawPlayingScreen, navigatePlayingScreen, handlePlayingKeyPress,
     nullptr, 0, 0},
    {GameOver, enterGameOverAndKeep, nullptr, gameOverBackground, drawGameOverScreen, navigateGameOver, nullptr,
     &contentScreens[GameOverTexts], GameOverMainMenuEntry + 1, 0},
    // Only with a class list; its entries are the class's names, set on entry.
    {PlayerPick, enterPlayerPick, nullptr, menuPicture, drawPlayerPick, navigatePlayerPick, nullptr, nullptr, 0, 0},
};

constexpr bool rowsInScreenIdOrder() {
    for (size_t i = 0; i < sizeof screens / sizeof screens[0]; i++) {
        if (screens[i].id != static_cast<int32_t>(Splash + i))
            return false;
    }
    return sizeof screens / sizeof screens[0] == PlayerPick - Splash + 1;
}
static_assert(rowsInScreenIdOrder(), "one row per screen, in ScreenId order");

const ScreenRow &screenRow(int32_t id) {
    if (id < Splash || id > PlayerPick)
        return noScreen;
    return screens[id - Splash];
}

bool screenIsStill(int32_t id) { return screenRow(id).update == nullptr; }

SDL_Surface *backgroundPicture() {
    const ScreenRow &row = screenRow(game.currentScreen);
    return row.background ? row.background() : nullptr;
}

void drawScreenOverlay() {
    const ScreenRow &row = screenRow(game.currentScreen);
    if (row.draw)
        row.draw(row.texts);
}

bool handleNavigation(NavAction action) {
    const ScreenRow &row = screenRow(game.currentScreen);
    return row.navigate ? row.navigate(action) : false;
}

void handleKeyPress(SDLKey key, uint16_t unicode) {
    const ScreenRow &row = screenRow(game.currentScreen);
    if (row.press)
        row.press(key, unicode);
}
