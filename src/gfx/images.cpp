// The start-up pictures and the background of each screen.
#include "gfx/images.h"

#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "gfx/bmp_header.h"
#include "gfx/regions.h"
#include "gfx/surface.h"
#include "ground/data_file.h"
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

SDL_Surface *readBmpFile(int fd, uint64_t fileSize, int32_t maxWidth, int32_t maxHeight) {
    std::vector<unsigned char> bytes;
    std::string why;
    if (!readOpenDataFile(fd, BmpHeadBytes, &bytes, &why)) {
        SDL_SetError("%s", why.c_str());
        return nullptr;
    }
    // SDL's loader trusts the header: cut short, it reads values it never read; claiming
    // a huge picture, it allocates it before finding the pixels missing.
    BmpShape shape;
    const char *fault = bmpHeaderFault(bytes.data(), bytes.size(), fileSize, maxWidth, maxHeight, &shape);
    if (fault) {
        SDL_SetError("%s", fault);
        return nullptr;
    }
    // The loader reads from memory what the header says the picture needs, and no more.
    if (bytes.size() < shape.bytesNeeded &&
        (lseek(fd, 0, SEEK_SET) != 0 || !readOpenDataFile(fd, shape.bytesNeeded, &bytes, &why) ||
         bytes.size() < shape.bytesNeeded)) {
        SDL_SetError("the BMP file is cut short");
        return nullptr;
    }
    SDL_RWops *stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (!stream)
        return nullptr;
    // The loader closes the stream itself, whether it succeeds or not.
    SDL_Surface *loaded = SDL_LoadBMP_RW(stream, 1);
    if (!loaded)
        return nullptr;
    if (!pictureFormatSound(loaded->format) || loaded->w != shape.width || loaded->h != shape.height) {
        SDL_FreeSurface(loaded);
        SDL_SetError("the header claims a pixel format that cannot be read");
        return nullptr;
    }
    return loaded;
}

SDL_Surface *readBmp(const char *name) {
    DataFileIdentity identity;
    std::string why;
    int fd = openDataFile(name, &identity, &why);
    if (fd < 0) {
        SDL_SetError("%s", why.c_str());
        return nullptr;
    }
    SDL_Surface *picture = readBmpFile(fd, static_cast<uint64_t>(identity.size), MaxBmpSide, MaxBmpSide);
    close(fd);
    return picture;
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

SDL_Surface *dangerZonePicture(DangerZone zone) {
    switch (zone) {
    case DangerNear:
        return badImage;
    case DangerMiddle:
        return neutralImage;
    default:
        return goodImage;
    }
}

SDL_Surface *helpPicture() { return game.gameMode == Sign ? helpSignImage : helpImage; }

bool copiesPlainly(const SDL_Surface *picture) {
    const SDL_PixelFormat *p = picture->format, *s = screenSurface->format;
    return picture->w == ScreenWidth && picture->h == ScreenHeight && screenSurface->w == ScreenWidth &&
           screenSurface->h == ScreenHeight && p->BitsPerPixel == 32 && s->BitsPerPixel == 32 &&
           p->Rmask == s->Rmask && p->Gmask == s->Gmask && p->Bmask == s->Bmask &&
           (picture->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA | SDL_RLEACCEL)) == 0 && !surfaceMustLock(picture);
}

void drawBackground(SDL_Surface *picture) {
    if (!picture)
        return;
    // A picture in the screen's own format and size is a plain copy of its rows, which
    // costs a third of SDL's general blit and gives the same pixels.
    if (copiesPlainly(picture) && lockIfNeeded(screenSurface)) {
        static const std::vector<SDL_Rect> wholeScreen = {{0, 0, ScreenWidth, ScreenHeight}};
        copyPictureRegions(picture, wholeScreen);
        unlockIfNeeded(screenSurface);
        return;
    }
    SDL_UpperBlit(picture, nullptr, screenSurface, nullptr);
}

void blitKeyedPicture(SDL_Surface *picture, uint64_t pictureKey, int x, int y) {
    uint64_t key = drawPass == Record ? keyOf(keyOf(pictureKey, x), y) : 0;
    Box box = clipBox(x, y, static_cast<long long>(x) + picture->w, static_cast<long long>(y) + picture->h);
    // SDL's blit writes the screen's pixels itself: it is asked for only when the item
    // is to be painted.
    if (!drawItem(box, key))
        return;
    SDL_Rect at;
    at.x = static_cast<Sint16>(x);
    at.y = static_cast<Sint16>(y);
    at.w = 0;
    at.h = 0;
    SDL_BlitSurface(picture, nullptr, screenSurface, &at);
}

uint64_t pictureKey(SDL_Surface *picture) {
    uint64_t h = keyOf(keyOf(keyOf(FrameKeySeed, picture->w), picture->h), picture->format->BitsPerPixel);
    h = keyOf(keyOf(keyOf(h, picture->format->Rmask), picture->format->Gmask), picture->format->Bmask);
    if (!lockIfNeeded(picture))
        return h;
    // Eight bytes at a time: a language picture is hashed on every frame it shows.
    size_t rowBytes = static_cast<size_t>(picture->w) * picture->format->BytesPerPixel;
    for (int y = 0; y < picture->h; y++) {
        const unsigned char *row = static_cast<const unsigned char *>(picture->pixels) +
                                   static_cast<size_t>(y) * picture->pitch;
        size_t i = 0;
        for (; i + 8 <= rowBytes; i += 8) {
            uint64_t word;
            memcpy(&word, row + i, 8);
            h = (h ^ word) * 0x9e3779b97f4a7c15ULL;
            h ^= h >> 29;
        }
        h = keyBytes(h, row + i, rowBytes - i);
    }
    if (picture->format->palette)
        h = keyBytes(h, picture->format->palette->colors,
                     sizeof(SDL_Color) * static_cast<size_t>(picture->format->palette->ncolors));
    unlockIfNeeded(picture);
    return h;
}
