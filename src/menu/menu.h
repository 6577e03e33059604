// The menu screens: their drawing and the meaning of each navigation key, one function
// of each per screen (the shell's screen table names them).
#pragma once

#include <SDL.h>

#include "content/content.h"
#include "ground/game_state.h"

// The main menu's entries beyond the six game modes (entries 0..5, GameMode order).
constexpr int MainMenuCreditsEntry = 6;
constexpr int MainMenuQuitEntry = 7;
// The difficulty menu's entry back to the main menu, after difficulties 0..3.
constexpr int DifficultyBackEntry = 4;
// The menus' left column (pixels): titles, entries and lines start there.
constexpr int MenuColumnX = 240;
// The game-over menu's entries.
constexpr int GameOverPlayAgainEntry = 0;
constexpr int GameOverMainMenuEntry = 1;

// The swing of the menu cursor and language arrows, 0..10 pixels, from the pass's tick.
int cursorOffset(int32_t tick);

// Each menu screen's texts, cursor and (on LanguagePick) picture, drawn over its
// background on the locked screen; texts is the content screen the items come from
// (null for the language screen, which reads the language list).
void drawLanguagePick(const ContentScreen *texts);
void drawMainMenu(const ContentScreen *texts);
void drawCredits(const ContentScreen *texts);
void drawDifficulty(const ContentScreen *texts);
void drawHelp(const ContentScreen *texts);
// The game-over menu leaves rows 200..330 of its column free between the score line
// (at 180) and the entries (from 340); the practice list is drawn there.
void drawGameOverMenu(const ContentScreen *texts);

// The language picture file's content as it is now, for this frame: file must be a plain
// name in the data folder (plainDataFileName) of a regular file holding a BMP of 1..640 x
// 1..480 pixels. Read and converted once (to the screen's format, unless it has a colour
// key or alpha), then kept while the file's identity (device,
// inode, size, modification time) stays the same; read again on the first call after it
// changes. Null when the file is missing or cannot be shown. The surface stays owned
// here and valid until the next call.
SDL_Surface *languagePicture(const char *file);

// How many times languagePicture has read a file (a kept picture is not counted again).
int languagePictureReads();

// Drops the kept language picture: the next languagePicture reads its file anew.
void forgetLanguagePicture();

// What one released navigation key does on each screen (sounds, selection, requested
// screen). True when the program is to end.
bool navigateSplash(NavAction action);
bool navigateLanguagePick(NavAction action);
bool navigateMainMenu(NavAction action);
bool navigateCredits(NavAction action);
bool navigateDifficulty(NavAction action);
bool navigateHelp(NavAction action);
bool navigatePlaying(NavAction action);
bool navigateGameOver(NavAction action);
