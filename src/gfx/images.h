// The start-up pictures and the background of each screen.
#pragma once

#include <SDL.h>

// The eight converted pictures, loaded once at start-up and kept until exit.
extern SDL_Surface *splashImage;
extern SDL_Surface *menuBackground;
extern SDL_Surface *helpSignImage;
extern SDL_Surface *helpImage;
extern SDL_Surface *neutralImage;
extern SDL_Surface *goodImage;
extern SDL_Surface *badImage;
extern SDL_Surface *fontImage;

// Reads the BMP file name from the working directory as it is, unconverted. Null when
// the file is missing, not a BMP, or claims a pixel format SDL cannot hold.
SDL_Surface *readBmp(const char *name);

// Reads the BMP file name from the working directory and converts it to the screen's
// pixel format (a software surface). Null when the file is missing or not a BMP.
SDL_Surface *loadImage(const char *name);

// Loads the eight start-up pictures in their fixed order; a picture that cannot be
// loaded ends start-up with a message naming its file.
void loadImages();

// The in-game picture for the leading problem's position: goodImage on an empty field
// or beyond x 6000 (tenths of a pixel), neutralImage beyond 2000, badImage (the danger
// picture) from 2000 down. Reads the state only.
SDL_Surface *playingBackground();

// The current screen's background: on Playing the picture of playingBackground; null
// (nothing) during GameOver's first 1000 ms. Reads the state only.
SDL_Surface *backgroundPicture();

// Whether picture is a plain copy of screen rows: the screen's size, its 32-bit format,
// no colour key, alpha or lock.
bool copiesPlainly(const SDL_Surface *picture);

// Draws backgroundPicture whole at (0, 0), the screen unlocked: rows copied when it
// copiesPlainly, otherwise SDL's blit.
void drawBackground();

// Blits picture whole with its top-left corner at (x, y) (pixels, 16-bit as SDL holds
// them), unconverted. A drawing primitive: recorded (by its pictureKey) or skipped as
// the draw pass says.
void blitPicture(SDL_Surface *picture, int x, int y);

// A key of picture's size, format and pixels: equal keys mean, but for a one in 2^64
// chance, the same picture.
uint64_t pictureKey(SDL_Surface *picture);
