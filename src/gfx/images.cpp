// The start-up pictures and the background of each screen.
#include "gfx/images.h"

#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/game_state.h"
#include "ground/startup.h"

SDL_Surface *splashImage = nullptr;
SDL_Surface *menuBackground = nullptr;
SDL_Surface *helpSignImage = nullptr;
SDL_Surface *helpImage = nullptr;
SDL_Surface *neutralImage = nullptr;
SDL_Surface *goodImage = nullptr;
SDL_Surface *badImage = nullptr;
SDL_Surface *fontImage = nullptr;

// Whether a loaded picture's pixel format is one SDL can really hold: a header that
// claims a bit depth such as 4100 leaves a format whose depth and pixel size disagree,
// or a paletted one without its palette, and converting or blitting it would crash.
static bool pictureFormatSound(const SDL_PixelFormat *format) {
    switch (format->BitsPerPixel) {
    case 8:
        return format->BytesPerPixel == 1 && format->palette != nullptr;
    case 15:
    case 16:
        return format->BytesPerPixel == 2;
    case 24:
        return format->BytesPerPixel == 3;
    case 32:
        return format->BytesPerPixel == 4;
    default:
        return false;
    }
}

SDL_Surface *readBmp(const char *name) {
    SDL_RWops *stream = SDL_RWFromFile(name, "rb");
    if (!stream)
        return nullptr;
    // The loader closes the stream itself, whether it succeeds or not.
    SDL_Surface *loaded = SDL_LoadBMP_RW(stream, 1);
    if (!loaded)
        return nullptr;
    if (!pictureFormatSound(loaded->format)) {
        SDL_FreeSurface(loaded);
        SDL_SetError("the header claims a pixel format that cannot be read");
        return nullptr;
    }
    return loaded;
}

SDL_Surface *loadImage(const char *name) {
    SDL_Surface *loaded = readBmp(name);
    if (!loaded)
        return nullptr;
    // Converted once to the screen's own format, blits need no conversion and the
    // font's pixels compare and copy as screen pixels.
    SDL_Surface *converted = SDL_ConvertSurface(loaded, screenSurface->format, 0);
    SDL_FreeSurface(loaded);
    return converted;
}

void loadImages() {
    static const struct {
        const char *file;
        SDL_Surface **image;
    } startupImages[] = {
        {"splash.bmp", &splashImage},
        {"menubg.bmp", &menuBackground},
        {"help_plusminus.bmp", &helpSignImage},
        {"help.bmp", &helpImage},
        {"ingame_neutral.bmp", &neutralImage},
        {"ingame_good.bmp", &goodImage},
        {"ingame_bad.bmp", &badImage},
        {"font_32.bmp", &fontImage},
    };
    for (const auto &entry : startupImages) {
        *entry.image = loadImage(entry.file);
        // Every screen needs its picture; going on without one would only blit nothing
        // or, for the font, measure nothing, so the player is told which file is at fault.
        if (!*entry.image)
            failStartup("%s: cannot load picture: %s", entry.file, SDL_GetError());
    }
}

SDL_Surface *playingBackground() {
    const Problem *leading = game.problems;
    if (!leading || leading->x > 6000)
        return goodImage;
    if (leading->x > 2000)
        return neutralImage;
    return badImage;
}

void drawBackground() {
    SDL_Surface *picture = nullptr;
    switch (game.currentScreen) {
    case Splash:
        picture = splashImage;
        break;
    case LanguagePick:
    case MainMenu:
    case Credits:
    case Difficulty:
        picture = menuBackground;
        break;
    case Help:
        picture = game.gameMode == Sign ? helpSignImage : helpImage;
        break;
    case Playing:
        picture = playingBackground();
        break;
    case GameOver:
        // The burst grows over the last game picture for the first second; the elapsed
        // time is unsigned so that it stays right when the counter wraps.
        if (clockTicks() - static_cast<uint32_t>(game.screenEnteredAt) > 1000)
            picture = menuBackground;
        break;
    default:
        break;
    }
    if (picture)
        SDL_UpperBlit(picture, nullptr, screenSurface, nullptr);
}
