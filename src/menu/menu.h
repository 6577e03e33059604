// The menu screens: their drawing and the meaning of each navigation key.
#pragma once

#include <SDL.h>

#include "ground/game_state.h"

// The swing of the menu cursor and language arrows, 0..10 pixels, from the pass's tick.
int cursorOffset(int32_t tick);

// Draws the current menu screen's texts, cursor and (on LanguagePick) picture.
void drawMenuScreen();

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

// Acts on one released navigation key. True when the program is to end.
bool handleNavigation(NavAction action);
