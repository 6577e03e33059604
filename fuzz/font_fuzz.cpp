// Fuzz target: a font picture's bytes, loaded and converted by the game's loadImage,
// checked as start-up checks the font, measured, and drawn in every text style.
//
// Properties: a picture the check accepts measures without failing; every measured cell
// has its ink inside the cell (or is marked empty), the cells past the picture stay 0;
// drawing any byte at any place in any style stays inside the screen (the sanitizers
// watch the memory, the clip bounds keep the rest of the screen untouched).
#include <SDL.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/surface.h"

namespace {

// Pictures larger than this are skipped: the loader would only allocate them.
const long long MaxPixels = 4 << 20;
// Drawing every glyph of a wide font is slow and adds nothing the narrow ones miss.
const int MaxDrawnCell = 96;

[[noreturn]] void broken(const char *what) {
    fprintf(stderr, "font property broken: %s\n", what);
    abort();
}

int32_t readLe(const uint8_t *p, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; i--)
        v = v << 8 | p[i];
    return bytes == 2 ? int16_t(v) : int32_t(v);
}

// The picture size a BMP header claims, to skip pictures too large to be worth loading.
bool claimsHugePicture(const uint8_t *data, size_t size) {
    if (size < 26 || data[0] != 'B' || data[1] != 'M')
        return false;
    int32_t header = readLe(data + 14, 4);
    long long w, h;
    if (header == 12) {
        w = readLe(data + 18, 2);
        h = readLe(data + 20, 2);
    } else {
        w = readLe(data + 18, 4);
        h = readLe(data + 22, 4);
    }
    w = w < 0 ? -w : w;
    h = h < 0 ? -h : h;
    return w * h > MaxPixels;
}

void checkMetrics(const SDL_Surface *font) {
    int w = font->w;
    int cells = font->h / w;
    for (int i = 0; i < 256; i++) {
        if (i >= cells) {
            if (glyphLeft[i] != 0 || glyphWidth[i] != 0)
                broken("a cell past the picture has metrics");
            continue;
        }
        bool empty = glyphLeft[i] == w && glyphWidth[i] == -w;
        bool inked = glyphLeft[i] >= 0 && glyphWidth[i] >= 0 && glyphLeft[i] + glyphWidth[i] < w;
        if (!empty && !inked)
            broken("a measured cell's ink is not inside the cell");
    }
}

void drawEverything(const uint8_t *data, size_t size) {
    // Every byte value once, and the input's own bytes, at places the input picks too.
    static char all[256];
    for (int i = 1; i < 256; i++)
        all[i - 1] = char(i);
    char own[64] = {};
    memcpy(own, data, size < sizeof own - 1 ? size : sizeof own - 1);
    int x = size > 2 ? int(int8_t(data[size - 1])) * 6 : -20;
    int y = size > 2 ? int(int8_t(data[size - 2])) * 4 : 450;
    const uint32_t backdrop = 0x123456;
    SDL_FillRect(screenSurface, nullptr, backdrop);
    drawMenuText(x, y, all);
    drawSmallText(-x, 470 - y, own);
    drawBigText(x / 2, y / 2, all + 100);
    drawBigText(600, 460, own);
    drawGlyph(638, -3, 'A', Add);
    drawGlyph2x(-7, 478, 'W', Shadow);
}

// The picture goes through the game's own loadImage, from a file as at start-up.
char pictureFile[64];

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || !(screenSurface = SDL_SetVideoMode(640, 480, 32, 0))) {
        fprintf(stderr, "no dummy video: %s\n", SDL_GetError());
        abort();
    }
    snprintf(pictureFile, sizeof pictureFile, "/tmp/plimo-font-fuzz-%d.bmp", int(getpid()));
    atexit([] { remove(pictureFile); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (claimsHugePicture(data, size))
        return 0;
    FILE *out = fopen(pictureFile, "wb");
    if (!out || fwrite(data, 1, size, out) != size || fclose(out) != 0)
        abort();
    SDL_Surface *converted = loadImage(pictureFile);
    if (!converted)
        return 0;

    fontImage = converted;
    if (fontImageFault(converted) == nullptr) {
        if (!measureFont())
            broken("an accepted software font could not be measured");
        checkMetrics(converted);
        if (converted->w <= MaxDrawnCell)
            drawEverything(data, size);
    } else {
        // Start-up stops on such a picture; measuring it must still be harmless.
        measureFont();
    }
    fontImage = nullptr;
    SDL_FreeSurface(converted);
    return 0;
}
