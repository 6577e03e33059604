// The bitmap font: glyph metrics, 1x and 2x glyph drawing and the three text styles.
#include "gfx/font.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "gfx/images.h"
#include "gfx/regions.h"
#include "gfx/surface.h"
#include "ground/startup.h"

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

// The runs of lit pixels of every cell row, found by measureFont so that drawing
// visits only ink and not the black around it: the runs of font row `row` (cell i, row
// r is row i * w + r) are inkRuns[inkRowStart[row]] up to inkRuns[inkRowStart[row + 1]].
// They describe the picture inkFont as it was measured; for any other picture the
// glyph loops fall back to whole rows.
struct InkRun {
    int32_t start; // first lit column of the run, within the cell
    int32_t end;   // one past its last lit column
};
static std::vector<InkRun> inkRuns;
static std::vector<int32_t> inkRowStart;
static const SDL_Surface *inkFont = nullptr;
static int inkFontW = 0, inkFontH = 0;

bool measureFont() {
    std::fill(glyphLeft, glyphLeft + TableCells, 0);
    std::fill(glyphWidth, glyphWidth + TableCells, 0);
    inkRuns.clear();
    inkRowStart.clear();
    inkFont = nullptr;
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
            inkRowStart.push_back(static_cast<int32_t>(inkRuns.size()));
            for (int k = 0; k < w; k++) {
                if (row[k] == 0)
                    continue;
                left = std::min(left, k);
                right = std::max(right, k);
                if (k > 0 && row[k - 1] != 0)
                    inkRuns.back().end = k + 1;
                else
                    inkRuns.push_back({k, k + 1});
            }
        }
        glyphLeft[i] = left;
        // Rightmost minus leftmost, not plus one: the game's spacing has always been
        // this tight, and the 1x drawing stops one column short to match.
        glyphWidth[i] = right - left;
    }
    inkRowStart.push_back(static_cast<int32_t>(inkRuns.size()));
    inkFont = fontImage;
    inkFontW = fontImage->w;
    inkFontH = fontImage->h;
    unlockIfNeeded(fontImage);
    return true;
}

// Where the glyph loops find the ink of one glyph's rows.
struct GlyphInk {
    const InkRun *runs;       // the runs of the whole font
    const int32_t *rowStart;  // rowStart[r] .. rowStart[r + 1]: the runs of cell row r
    bool measured;            // false: the runs do not describe fontImage
};

// The ink of cell g. A picture put in fontImage without being measured has no runs:
// its glyphs are drawn by testing every pixel of whole rows.
static GlyphInk glyphInk(int g) {
    bool measured = fontImage == inkFont && fontImage->w == inkFontW && fontImage->h == inkFontH;
    if (!measured)
        return {nullptr, nullptr, false};
    return {inkRuns.data(), inkRowStart.data() + static_cast<size_t>(g) * fontImage->w, true};
}

// The runs of cell row r into [*first, *last): the measured ink or, without it, one
// run wider than any glyph, so that the loops visit every column the glyph tables
// name, lit or not.
static inline void rowInk(const GlyphInk &ink, int r, const InkRun **first, const InkRun **last) {
    static const InkRun wholeRow = {-(1 << 28), 1 << 28};
    if (!ink.measured) {
        *first = &wholeRow;
        *last = &wholeRow + 1;
        return;
    }
    *first = ink.runs + ink.rowStart[r];
    *last = ink.runs + ink.rowStart[r + 1];
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

// Blends count glyph pixels src[k] over the screen pixels dst[k]. With allLit (a
// measured run) every one of them is ink and the loop has no test; otherwise black
// glyph pixels leave the screen alone.
template <int Mode>
static inline void blendSpan(const uint32_t *src, uint32_t *dst, int count, bool allLit) {
    if (allLit) {
        for (int k = 0; k < count; k++)
            dst[k] = blendGlyph<Mode>(src[k], dst[k]);
        return;
    }
    for (int k = 0; k < count; k++) {
        if (src[k] != 0)
            dst[k] = blendGlyph<Mode>(src[k], dst[k]);
    }
}

// The 2x form of blendSpan for the screen offsets from .. from + count - 1 of a glyph:
// offset j shows glyph column (j + 1) / 2 of src, and the result computed over the
// upper row dst is written to the lower row below as well.
template <int Mode>
static inline void blendSpan2x(const uint32_t *src, int from, uint32_t *dst, uint32_t *below, int count,
                               bool allLit) {
    for (int k = 0; k < count; k++) {
        uint32_t gp = src[(from + k + 1) >> 1];
        if (!allLit && gp == 0)
            continue;
        uint32_t out = blendGlyph<Mode>(gp, dst[k]);
        dst[k] = out;
        below[k] = out;
    }
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

template <int Mode> static void glyphRows1x(const DrawTarget &target, int x, int y, int g) {
    int w = fontImage->w;
    int left = glyphLeft[g];
    int j0, j1, r0, r1;
    clipRange(x, glyphWidth[g], ScreenWidth, &j0, &j1);
    clipRange(y, w, ScreenHeight, &r0, &r1);
    if (j0 >= j1)
        return;
    GlyphInk ink = glyphInk(g);
    for (int r = r0; r < r1; r++) {
        const InkRun *run, *end;
        rowInk(ink, r, &run, &end);
        const uint32_t *src = pixelRow(fontImage, g * w + r);
        uint32_t *dst = target.row(y + r);
        for (; run < end; run++) {
            // Clipped columns do not shift the mapping: screen x + j shows font left + j.
            int from = std::max(run->start - left, j0);
            int to = std::min(run->end - left, j1);
            if (from < to)
                blendSpan<Mode>(src + left + from, dst + x + from, to - from, ink.measured);
        }
    }
}

template <int Mode> static void glyphRows2x(const DrawTarget &target, int x, int y, int g) {
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
    int left = glyphLeft[g];
    GlyphInk ink = glyphInk(g);
    for (int r = rFirst; r < rEnd; r++) {
        const InkRun *run, *end;
        rowInk(ink, r, &run, &end);
        int upper = y + 2 * r;
        const uint32_t *src = pixelRow(fontImage, g * w + r) + left;
        uint32_t *dst = target.row(upper);
        // The lower row takes the upper row's result; its own old pixel plays no part.
        // Off the screen, the upper row is written a second time instead.
        uint32_t *below = upper + 1 < ScreenHeight ? target.row(upper + 1) : dst;
        for (; run < end; run++) {
            // Font offset t shows on screen offsets 2t - 1 and 2t (0, 1, 1, 2, 2, ..., W),
            // so the leftmost lit column appears once at the start and the rightmost once
            // at the end.
            int from = std::max(2 * (run->start - left) - 1, j0);
            int to = std::min(2 * (run->end - left) - 1, j1);
            if (from < to)
                blendSpan2x<Mode>(src, from, dst + x + from, below + x + from, to - from, ink.measured);
        }
    }
}

using GlyphRows = void (*)(const DrawTarget &target, int x, int y, int g);

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

// One glyph into target inside the font surface's lock; a glyph whose lock fails is
// simply not drawn.
static void drawGlyphScaled(const DrawTarget &target, int x, int y, int ch, int mode, bool doubled) {
    int g = glyphIndex(ch);
    if (g < 0 || glyphWidth[g] <= 0)
        return;
    if (!lockIfNeeded(fontImage))
        return;
    glyphRowsFor(mode, doubled)(target, x, y, g);
    unlockIfNeeded(fontImage);
}

void drawGlyph(int x, int y, int ch, int mode) { drawGlyphScaled(screenTarget(), x, y, ch, mode, false); }

void drawGlyph2x(int x, int y, int ch, int mode) { drawGlyphScaled(screenTarget(), x, y, ch, mode, true); }

// The pen walk of a text style from pen x: visit(penX, ch) for every character that has
// a glyph, at its pen position; a space advances scale * (w / 4), bytes below the first
// cell (tabs, newlines) advance nothing, others their glyphWidth times scale. Returns
// the pen after the text. Wide arithmetic, so that no pen position can overflow.
template <class Visit> static long long walkPen(long long x, const char *text, int scale, Visit visit) {
    long long w = fontImage ? fontImage->w : 0;
    long long penX = x;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; p++) {
        int ch = *p;
        if (ch == SpaceChar) {
            penX += scale * (w / 4);
            continue;
        }
        if (ch < FirstGlyph)
            continue;
        visit(penX, ch);
        penX += scale * static_cast<long long>(glyphWidth[ch - FirstGlyph]);
    }
    return penX;
}

// The pixels a text style may write from pen (x, y): every glyph's cell rows and its
// drawn columns, for the shadow and the face, clipped to the screen.
static Box textBox(int x, int y, const char *text, int shadowOffset, int scale) {
    long long w = fontImage ? fontImage->w : 0;
    long long left = 0, right = 0;
    bool any = false;
    walkPen(x, text, scale, [&](long long penX, int ch) {
        long long advance = scale * static_cast<long long>(glyphWidth[ch - FirstGlyph]);
        if (advance <= 0)
            return;
        long long from = std::min(penX, penX + shadowOffset);
        long long to = std::max(penX, penX + shadowOffset) + advance;
        left = any ? std::min(left, from) : from;
        right = any ? std::max(right, to) : to;
        any = true;
    });
    if (!any)
        return Box{0, 0, 0, 0};
    long long top = std::min<long long>(y, static_cast<long long>(y) + shadowOffset);
    long long bottom = std::max<long long>(y, static_cast<long long>(y) + shadowOffset) + scale * w;
    return clipBox(left, top, right, bottom);
}

// One text style: per character its shadow glyph, then its face, then the pen moves.
static void drawTextStyle(int x, int y, const char *text, bool doubled, int shadowOffset, int faceMode) {
    int scale = doubled ? 2 : 1;
    // Only the record pass compares keys; painting needs the box alone.
    uint64_t key = 0;
    if (drawPass == Record)
        key = keyBytes(keyOf(keyOf(keyOf(keyOf(FrameKeySeed, faceMode), scale), x), y), text, strlen(text));
    DrawTarget target = drawItem(textBox(x, y, text, shadowOffset, scale), key);
    if (!target)
        return;
    walkPen(x, text, scale, [&](long long penX, int ch) {
        // Pens beyond the int range draw nothing on the screen anyway.
        if (penX < INT_MIN / 2 || penX > INT_MAX / 2)
            return;
        int px = static_cast<int>(penX);
        drawGlyphScaled(target, px + shadowOffset, y + shadowOffset, ch, Shadow, doubled);
        drawGlyphScaled(target, px, y, ch, faceMode, doubled);
    });
}

void drawMenuText(int x, int y, const char *text) { drawTextStyle(x, y, text, false, 2, Copy); }

void drawSmallText(int x, int y, const char *text) { drawTextStyle(x, y, text, false, 1, Average); }

void drawBigText(int x, int y, const char *text) { drawTextStyle(x, y, text, true, 1, Average); }

void drawClearText(int x, int y, const char *text) { drawTextStyle(x, y, text, true, 2, Copy); }

int32_t menuTextAdvance(const char *text) {
    long long advance = walkPen(0, text, 1, [](long long, int) {});
    return static_cast<int32_t>(std::max(-(1LL << 30), std::min(advance, 1LL << 30)));
}

int32_t bigTextAdvance(const char *text) {
    long long advance = walkPen(0, text, 2, [](long long, int) {});
    return static_cast<int32_t>(std::max(-(1LL << 30), std::min(advance, 1LL << 30)));
}
