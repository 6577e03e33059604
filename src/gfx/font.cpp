// The bitmap font: glyph metrics, 1x and 2x glyph drawing and the three text styles.
#include "gfx/font.h"

#include <algorithm>

#include "app/shell.h"
#include "gfx/images.h"
#include "gfx/surface.h"

int32_t glyphLeft[256];
int32_t glyphWidth[256];

// The first character with a cell; cell i holds character FirstGlyph + i.
constexpr int FirstGlyph = 33;
constexpr int SpaceChar = 32;
constexpr int TableCells = 256;

// Cells of the font picture that the tables can describe: whole w x w squares, at most
// as many as the tables hold.
static int usableCells(const SDL_Surface *font) {
    if (!font || font->w <= 0)
        return 0;
    return std::min(font->h / font->w, TableCells);
}

const char *fontImageFault(const SDL_Surface *font) {
    if (!font)
        return "no picture";
    if (font->w <= 0)
        return "the picture is 0 pixels wide, so it has no cells";
    if (font->h < font->w)
        return "the picture is less than one cell high";
    if (font->h / font->w > TableCells)
        return "the picture has more than 256 cells";
    return nullptr;
}

void checkFontImage() {
    if (const char *fault = fontImageFault(fontImage))
        failStartup("font_32.bmp: unusable font: %s", fault);
}

bool measureFont() {
    std::fill(glyphLeft, glyphLeft + TableCells, 0);
    std::fill(glyphWidth, glyphWidth + TableCells, 0);
    int cells = usableCells(fontImage);
    if (cells == 0)
        return true;
    if (!lockIfNeeded(fontImage))
        return false;
    int w = fontImage->w;
    for (int i = 0; i < cells; i++) {
        int left = w, right = 0;
        for (int r = 0; r < w; r++) {
            const uint32_t *row = pixelRow(fontImage, i * w + r);
            for (int k = 0; k < w; k++) {
                if (row[k] != 0) {
                    left = std::min(left, k);
                    right = std::max(right, k);
                }
            }
        }
        glyphLeft[i] = left;
        // Rightmost minus leftmost, not plus one: the game's spacing has always been
        // this tight, and the 1x drawing stops one column short to match.
        glyphWidth[i] = right - left;
    }
    unlockIfNeeded(fontImage);
    return true;
}

// The pixel a lit glyph pixel g leaves over the screen pixel s.
template <int Mode> static inline uint32_t blendGlyph(uint32_t g, uint32_t s) {
    if (Mode == Shadow)
        return blendMultiply(g ^ 0x00FFFFFF, s);
    if (Mode == Average)
        return blendAverage(g, s);
    if (Mode == Add)
        return blendAddSaturate(g, s);
    return g;
}

// The cell index of ch, or -1 for a character that has no cell in the current font
// (the space, control bytes, anything past the last whole cell).
static int glyphIndex(int ch) {
    if (ch < FirstGlyph || ch > 255)
        return -1;
    int g = ch - FirstGlyph;
    return g < usableCells(fontImage) ? g : -1;
}

// [first, last) of the offsets j in [0, count) whose screen coordinate origin + j lies
// in [0, limit); an empty range when none does. Wide arithmetic, so that no coordinate
// can overflow however far off the screen the glyph is placed.
static void clipRange(int origin, int count, int limit, int *first, int *last) {
    long long lo = std::max(0LL, -static_cast<long long>(origin));
    long long hi = std::min(static_cast<long long>(count), static_cast<long long>(limit) - origin);
    if (hi <= lo) {
        *first = *last = 0;
        return;
    }
    *first = static_cast<int>(lo);
    *last = static_cast<int>(hi);
}

template <int Mode> static void glyphRows1x(int x, int y, int g) {
    int w = fontImage->w;
    int j0, j1, r0, r1;
    clipRange(x, glyphWidth[g], ScreenWidth, &j0, &j1);
    clipRange(y, w, ScreenHeight, &r0, &r1);
    int n = j1 - j0;
    for (int r = r0; r < r1 && n > 0; r++) {
        // Clipped columns do not shift the mapping: screen x + j shows font left + j.
        const uint32_t *src = pixelRow(fontImage, g * w + r) + glyphLeft[g] + j0;
        uint32_t *dst = pixelRow(screenSurface, y + r) + (x + j0);
        for (int k = 0; k < n; k++) {
            uint32_t gp = src[k];
            if (gp != 0)
                dst[k] = blendGlyph<Mode>(gp, dst[k]);
        }
    }
}

template <int Mode> static void glyphRows2x(int x, int y, int g) {
    int w = fontImage->w;
    int j0, j1;
    clipRange(x, 2 * glyphWidth[g], ScreenWidth, &j0, &j1);
    if (j0 >= j1)
        return;
    // Cell row r covers screen rows y + 2r and y + 2r + 1; a pair is drawn only when its
    // upper row is on the screen, so r runs from ceil(-y / 2) while y + 2r < 480.
    long long top = y;
    long long span = ScreenHeight - top;
    int rFirst = static_cast<int>(std::min(top >= 0 ? 0 : (1 - top) / 2, static_cast<long long>(w)));
    int rEnd = static_cast<int>(std::min(span <= 0 ? 0 : (span + 1) / 2, static_cast<long long>(w)));
    for (int r = rFirst; r < rEnd; r++) {
        int upper = y + 2 * r;
        const uint32_t *src = pixelRow(fontImage, g * w + r) + glyphLeft[g];
        uint32_t *dst = pixelRow(screenSurface, upper) + (x + j0);
        // The lower row takes the upper row's result; its own old pixel plays no part.
        uint32_t *below = upper + 1 < ScreenHeight ? pixelRow(screenSurface, upper + 1) + (x + j0) : nullptr;
        for (int j = j0; j < j1; j++) {
            // Offsets 0, 1, 1, 2, 2, ..., W: the rightmost lit column appears once at the end.
            uint32_t gp = src[(j + 1) >> 1];
            if (gp == 0)
                continue;
            uint32_t out = blendGlyph<Mode>(gp, dst[j - j0]);
            dst[j - j0] = out;
            if (below)
                below[j - j0] = out;
        }
    }
}

using GlyphRows = void (*)(int x, int y, int g);

// Picks the pixel loop once per glyph, so that the loops themselves carry no mode test.
static GlyphRows glyphRowsFor(int mode, bool doubled) {
    switch (mode) {
    case Shadow:
        return doubled ? glyphRows2x<Shadow> : glyphRows1x<Shadow>;
    case Average:
        return doubled ? glyphRows2x<Average> : glyphRows1x<Average>;
    case Add:
        return doubled ? glyphRows2x<Add> : glyphRows1x<Add>;
    default:
        return doubled ? glyphRows2x<Copy> : glyphRows1x<Copy>;
    }
}

// One glyph inside the font surface's lock; a glyph whose lock fails is simply not drawn.
static void drawGlyphScaled(int x, int y, int ch, int mode, bool doubled) {
    int g = glyphIndex(ch);
    if (g < 0 || glyphWidth[g] <= 0)
        return;
    if (!lockIfNeeded(fontImage))
        return;
    glyphRowsFor(mode, doubled)(x, y, g);
    unlockIfNeeded(fontImage);
}

void drawGlyph(int x, int y, int ch, int mode) { drawGlyphScaled(x, y, ch, mode, false); }

void drawGlyph2x(int x, int y, int ch, int mode) { drawGlyphScaled(x, y, ch, mode, true); }

// One text style: per character its shadow glyph, then its face, then the pen moves.
static void drawText(int x, int y, const char *text, void (*glyph)(int, int, int, int),
                     int shadowOffset, int faceMode, int scale) {
    int w = fontImage ? fontImage->w : 0;
    int penX = x;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; p++) {
        int ch = *p;
        if (ch == SpaceChar) {
            penX += scale * (w / 4);
            continue;
        }
        // Bytes below the first cell (tabs, newlines) have no glyph and no width.
        if (ch < FirstGlyph)
            continue;
        glyph(penX + shadowOffset, y + shadowOffset, ch, Shadow);
        glyph(penX, y, ch, faceMode);
        penX += scale * glyphWidth[ch - FirstGlyph];
    }
}

void drawMenuText(int x, int y, const char *text) { drawText(x, y, text, drawGlyph, 2, Copy, 1); }

void drawSmallText(int x, int y, const char *text) { drawText(x, y, text, drawGlyph, 1, Average, 1); }

void drawBigText(int x, int y, const char *text) { drawText(x, y, text, drawGlyph2x, 1, Average, 2); }
