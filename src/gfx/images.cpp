// The start-up pictures and the background of each screen (not yet built).
#include "gfx/images.h"

SDL_Surface *splashImage = nullptr;
SDL_Surface *menuBackground = nullptr;
SDL_Surface *helpSignImage = nullptr;
SDL_Surface *helpImage = nullptr;
SDL_Surface *neutralImage = nullptr;
SDL_Surface *goodImage = nullptr;
SDL_Surface *badImage = nullptr;
SDL_Surface *fontImage = nullptr;

SDL_Surface *loadImage(const char *) { return nullptr; }
void loadImages() {}
void drawBackground() {}
