// The start-up pictures and the background of each screen.
#pragma once

#include <SDL.h>
#include <cstdint>

#include "ground/game_state.h"

// The eight converted pictures, loaded once at start-up and kept until exit.
extern SDL_Surface *splashImage;
extern SDL_Surface *menuBackground;
extern SDL_Surface *helpSignImage;
extern SDL_Surface *helpImage;
extern SDL_Surface *neutralImage;
extern SDL_Surface *goodImage;
extern SDL_Surface *badImage;
extern SDL_Surface *fontImage;

// Reads the BMP file name from the working directory as it is, unconverted: opened as a
// regular file without blocking, its header checked before SDL's loader sees it (see
// readBmpFile). Null, with SDL's error saying why, when the file is missing, not a
// regular file, not a BMP, cut short, or claims a pixel format SDL cannot hold.
SDL_Surface *readBmp(const char *name);

// Reads a BMP picture from fd, a regular file of fileSize bytes open from its start
// (openDataFile), unconverted. Its header is checked first (bmpHeaderFault): a picture
// wider than maxWidth or taller than maxHeight pixels, cut short, compressed or of an
// unknown depth never reaches SDL's loader, which then reads from memory only the bytes
// the header accounts for. Null, with SDL's error saying why, when it cannot be used.
SDL_Surface *readBmpFile(int fd, uint64_t fileSize, int32_t maxWidth, int32_t maxHeight);

// Reads the BMP file name from the working directory and converts it to the screen's
// pixel format (a software surface). Null when the file is missing or not a BMP.
SDL_Surface *loadImage(const char *name);

// Loads the eight start-up pictures in their fixed order; a picture that cannot be
// loaded ends start-up with a message naming its file.
void loadImages();

// The in-game picture of a danger zone: goodImage far, neutralImage in the middle,
// badImage (the danger picture) near.
SDL_Surface *dangerZonePicture(DangerZone zone);

// The help picture for game.gameMode: helpSignImage for the sign quiz, else helpImage.
SDL_Surface *helpPicture();

// Whether picture is a plain copy of screen rows: the screen's size, its 32-bit format,
// no colour key, alpha or lock.
bool copiesPlainly(const SDL_Surface *picture);

// Draws picture whole at (0, 0), the screen unlocked: rows copied when it copiesPlainly,
// otherwise SDL's blit. Nothing for a null picture.
void drawBackground(SDL_Surface *picture);

// Blits picture whole with its top-left corner at (x, y) (pixels, 16-bit as SDL holds
// them), unconverted; pictureKey is the picture's pictureKey, which the caller holds (a
// picture kept between frames need not be hashed on each). A drawing primitive:
// recorded or skipped as the draw pass says.
void blitKeyedPicture(SDL_Surface *picture, uint64_t pictureKey, int x, int y);

// A key of picture's size, format and pixels: equal keys mean, but for a one in 2^64
// chance, the same picture.
uint64_t pictureKey(SDL_Surface *picture);
