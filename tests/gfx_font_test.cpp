// Tests of the font measurement, the glyph writers and the three text styles, on a
// fixture font built here and the real screen surface; and the sizes a child needs in
// the game's own font.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/surface.h"
#include "support.h"

namespace {

constexpr int CellSize = 32;
constexpr uint32_t Backdrop = 0x00C0C0C0;

// Ink of '!' (cell 0): columns 3..12 on every row, each pixel its own colour, with one
// transparent hole at column 5, row 2.
uint32_t bangPixel(int k, int r) {
    if (k < 3 || k > 12 || (k == 5 && r == 2))
        return 0;
    return (uint32_t(k) << 16) | (uint32_t(r + 1) << 8) | 0x40;
}

// Ink of '#' (cell 2): the whole cell.
uint32_t hashPixel(int k, int r) { return 0x200000 | (uint32_t(k) << 8) | uint32_t(r); }

// '&' (cell 5): row 0 holds the blend samples in columns 1..3 and an edge pixel at 4.
const uint32_t ampersandRow0[5] = {0, 0x808080, 0xFFFFFF, 0xFF123456, 0x010101};

// The fixture font: '!' cell 0, '"' cell 1 empty, '#' cell 2 full, '$' cell 3 a single
// column at 0, '%' cell 4 two pixels at columns 7 and 20, '&' cell 5 the blend samples,
// then 10 rows of ink below the last whole cell that no cell owns.
uint32_t fontPixel(int k, int y) {
    int cell = y / CellSize, r = y % CellSize;
    switch (cell) {
    case 0:
        return bangPixel(k, r);
    case 2:
        return hashPixel(k, r);
    case 3:
        return k == 0 && r < 4 ? 0x00FF00 : 0;
    case 4:
        return (k == 7 && r == 9) || (k == 20 && r == 30) ? 0x0000FF : 0;
    case 5:
        return r == 0 && k < 5 ? ampersandRow0[k] : 0;
    case 6:
        return 0xFFFFFF;
    default:
        return 0;
    }
}

SDL_Surface *makeFixtureFont() {
    SDL_Surface *font = screenFormatSurface(CellSize, 6 * CellSize + 10);
    for (int y = 0; y < font->h; y++)
        for (int k = 0; k < CellSize; k++)
            pixelAt(font, k, y) = fontPixel(k, y);
    return font;
}

uint32_t screenPixel(int x, int y) { return pixelAt(screenSurface, x, y); }

std::vector<uint32_t> screenSnapshot() {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < ScreenHeight; y++)
        pixels.insert(pixels.end(), pixelRow(screenSurface, y), pixelRow(screenSurface, y) + ScreenWidth);
    return pixels;
}

int changedPixels() { return pixelsOtherThan(Backdrop); }

// The screen pixel a Shadow glyph pixel g leaves over s.
uint32_t shadowed(uint32_t g, uint32_t s) { return blendMultiply(g ^ 0xFFFFFF, s); }

class GfxFont : public ::testing::Test {
  protected:
    void SetUp() override {
        startSdlForTests();
        resetGame();
        savedFont = fontImage;
        font = makeFixtureFont();
        fontImage = font;
        ASSERT_TRUE(measureFont());
        fillScreen(Backdrop);
    }
    void TearDown() override {
        fontImage = savedFont;
        measureFont();
        SDL_FreeSurface(font);
    }
    SDL_Surface *savedFont = nullptr;
    SDL_Surface *font = nullptr;
};

} // namespace

TEST_F(GfxFont, MeasuresLeftmostColumnAndWidthWithoutPlusOne) {
    EXPECT_EQ(3, glyphLeft[0]);
    EXPECT_EQ(9, glyphWidth[0]);
    // An empty cell.
    EXPECT_EQ(CellSize, glyphLeft[1]);
    EXPECT_EQ(-CellSize, glyphWidth[1]);
    EXPECT_EQ(0, glyphLeft[2]);
    EXPECT_EQ(31, glyphWidth[2]);
    // Ink in column 0 alone: the rightmost column starts at 0 too, so the width is 0.
    EXPECT_EQ(0, glyphLeft[3]);
    EXPECT_EQ(0, glyphWidth[3]);
    // Extremes found on different rows.
    EXPECT_EQ(7, glyphLeft[4]);
    EXPECT_EQ(13, glyphWidth[4]);
    EXPECT_EQ(1, glyphLeft[5]);
    EXPECT_EQ(3, glyphWidth[5]);
    // The lit rows below the last whole cell belong to no cell.
    for (int i = 6; i < 256; i++) {
        EXPECT_EQ(0, glyphLeft[i]) << i;
        EXPECT_EQ(0, glyphWidth[i]) << i;
    }
}

TEST_F(GfxFont, MeasuringAgainForgetsCellsOfAnEarlierFont) {
    SDL_Surface *small = screenFormatSurface(CellSize, CellSize);
    SDL_FillRect(small, nullptr, 0);
    pixelAt(small, 10, 0) = 0xFFFFFF;
    pixelAt(small, 12, 31) = 0xFFFFFF;
    fontImage = small;
    ASSERT_TRUE(measureFont());
    EXPECT_EQ(10, glyphLeft[0]);
    EXPECT_EQ(2, glyphWidth[0]);
    EXPECT_EQ(0, glyphLeft[1]);
    EXPECT_EQ(0, glyphWidth[2]);
    fontImage = font;
    SDL_FreeSurface(small);
}

TEST_F(GfxFont, MoreCellsThanTheTablesHoldNeverWritePastThem) {
    SDL_Surface *tall = screenFormatSurface(2, 600);
    SDL_FillRect(tall, nullptr, 0);
    for (int y = 0; y < tall->h; y++)
        pixelAt(tall, 1, y) = 0x0000FF;
    fontImage = tall;
    ASSERT_TRUE(measureFont());
    for (int i = 0; i < 256; i++)
        ASSERT_EQ(1, glyphLeft[i]) << i;
    EXPECT_STREQ("the picture has more than 256 cells", fontImageFault(tall));
    fontImage = font;
    SDL_FreeSurface(tall);
}

TEST_F(GfxFont, FaultsOfTheFontPicture) {
    EXPECT_EQ(nullptr, fontImageFault(font));
    SDL_Surface *exact = screenFormatSurface(2, 512); // 256 cells: the tables' limit
    SDL_Surface *shortOne = screenFormatSurface(32, 31);
    SDL_Surface *narrow = screenFormatSurface(1, 257);
    ASSERT_TRUE(exact && shortOne && narrow);
    EXPECT_EQ(nullptr, fontImageFault(exact));
    EXPECT_STREQ("the picture is less than one cell high", fontImageFault(shortOne));
    EXPECT_STREQ("the picture has more than 256 cells", fontImageFault(narrow));
    // No zero-width picture can be made through SDL here, so one is described by hand.
    SDL_Surface zeroWide = *exact;
    zeroWide.w = 0;
    EXPECT_NE(nullptr, fontImageFault(&zeroWide));
    EXPECT_NE(nullptr, fontImageFault(nullptr));
    SDL_FreeSurface(exact);
    SDL_FreeSurface(shortOne);
    SDL_FreeSurface(narrow);
}

TEST_F(GfxFont, OneTimesDrawsFromLeftmostUpToButNotIncludingRightmostColumn) {
    drawGlyph(100, 50, '!', Copy);
    for (int r = 0; r < CellSize; r++)
        for (int j = 0; j < 9; j++)
            ASSERT_EQ(r == 2 && j == 2 ? Backdrop : bangPixel(3 + j, r), screenPixel(100 + j, 50 + r))
                << j << "," << r;
    EXPECT_EQ(9 * CellSize - 1, changedPixels());
}

TEST_F(GfxFont, TwoTimesRepeatsInnerColumnsAndShowsTheRightmostOnce) {
    const int columns[18] = {3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12};
    drawGlyph2x(100, 50, '!', Copy);
    for (int r = 0; r < CellSize; r++) {
        for (int j = 0; j < 18; j++) {
            uint32_t expected = bangPixel(columns[j], r);
            if (expected == 0)
                expected = Backdrop;
            ASSERT_EQ(expected, screenPixel(100 + j, 50 + 2 * r)) << j << "," << r;
            ASSERT_EQ(expected, screenPixel(100 + j, 51 + 2 * r)) << j << "," << r;
        }
    }
    // The hole at font column 5 shows twice on each of its two rows.
    EXPECT_EQ(18 * 2 * CellSize - 4, changedPixels());
}

TEST_F(GfxFont, ClipsAtEachEdgeWithoutShifting) {
    struct Pin {
        int x, y;
        uint32_t colour;
    };
    struct Case {
        bool doubled;
        int x, y;
        int changed; // pixels drawn (the hole in '!' takes 1 at 1x, 4 at 2x when shown)
        std::vector<Pin> pins;
    } cases[] = {
        // Clipped columns keep their font columns.
        {false, -5, 50, 4 * CellSize, {{0, 50, bangPixel(8, 0)}, {3, 81, bangPixel(11, 31)}}},
        {false, 636, 50, 4 * CellSize - 1, {{636, 50, bangPixel(3, 0)}, {639, 50, bangPixel(6, 0)}}},
        // Offsets 3, 3, 4, 4, ..., 9 remain: font columns 6..12, clear of the hole.
        {true, -5, 50, 13 * 2 * CellSize, {{0, 50, bangPixel(6, 0)}, {1, 50, bangPixel(6, 0)}, {2, 50, bangPixel(7, 0)}}},
        {true, 636, 50, 4 * 2 * CellSize - 2,
         {{636, 51, bangPixel(3, 0)}, {637, 51, bangPixel(4, 0)}, {638, 51, bangPixel(4, 0)}, {639, 51, bangPixel(5, 0)}}},
        // Rows at the bottom and the top.
        {false, 100, 470, 10 * 9 - 1, {{100, 479, bangPixel(3, 9)}}},
        {false, 100, -30, 2 * 9, {{100, 0, bangPixel(3, 30)}, {100, 1, bangPixel(3, 31)}}},
        // Pairs r = 0..16 start on rows 447..479; the pair on rows 479/480 keeps row 479.
        {true, 100, 447, 33 * 18 - 4,
         {{100, 479, bangPixel(3, 16)}, {103, 479, bangPixel(5, 16)}, {115, 479, bangPixel(11, 16)}, {100, 446, Backdrop}}},
        // The pair on rows -1 and 0 draws nothing, not even row 0.
        {true, 100, -1, 62 * 18 - 4, {{100, 0, Backdrop}, {100, 1, bangPixel(3, 1)}, {100, 2, bangPixel(3, 1)}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << (c.doubled ? "2x at " : "1x at ") << c.x << "," << c.y);
        fillScreen(Backdrop);
        (c.doubled ? drawGlyph2x : drawGlyph)(c.x, c.y, '!', Copy);
        for (const Pin &pin : c.pins)
            EXPECT_EQ(pin.colour, screenPixel(pin.x, pin.y)) << pin.x << "," << pin.y;
        EXPECT_EQ(c.changed, changedPixels());
    }
}

TEST_F(GfxFont, GlyphsFarOffTheScreenDrawNothing) {
    for (int x : {INT_MIN, -1000, -62, 640, 100000, INT_MAX})
        for (int y : {INT_MIN, -64, 480, INT_MAX}) {
            drawGlyph(x, y, '!', Copy);
            drawGlyph2x(x, y, '#', Copy);
            drawGlyph(x, 50, '!', Copy);
            drawGlyph2x(x, 50, '#', Copy);
            drawGlyph(100, y, '!', Copy);
            drawGlyph2x(100, y, '#', Copy);
        }
    EXPECT_EQ(0, changedPixels());
}

TEST_F(GfxFont, BlendModesOfALitPixel) {
    struct Case {
        int mode;
        uint32_t grey, white, tinted;
    } cases[] = {
        // Shadow: 0x80 over 0xC0 gives 0x5F; white turns the screen black.
        {Shadow, 0x5F5F5F, 0x000000, 0xB1987E},
        {Average, 0xA0A0A0, 0xDFDFDF, 0x697A8B},
        {Add, 0xFFFFFF, 0xFFFFFF, 0xD2F4FF},
        // Copy stores the glyph pixel whole, top byte included; every other value copies.
        {Copy, 0x808080, 0xFFFFFF, 0xFF123456},
        {2, 0x808080, 0xFFFFFF, 0xFF123456},
        {-7, 0x808080, 0xFFFFFF, 0xFF123456},
    };
    for (const Case &c : cases) {
        fillScreen(Backdrop);
        drawGlyph(10, 10, '&', c.mode);
        EXPECT_EQ(c.grey, screenPixel(10, 10)) << c.mode;
        EXPECT_EQ(c.white, screenPixel(11, 10)) << c.mode;
        EXPECT_EQ(c.tinted, screenPixel(12, 10)) << c.mode;
        // The rightmost lit column is left out at 1x.
        EXPECT_EQ(Backdrop, screenPixel(13, 10)) << c.mode;
        EXPECT_EQ(3, changedPixels()) << c.mode;
    }
}

TEST_F(GfxFont, TwoTimesLowerRowTakesTheUpperRowsResult) {
    std::fill_n(pixelRow(screenSurface, 11), ScreenWidth, 0u);
    drawGlyph2x(10, 10, '&', Average);
    EXPECT_EQ(0xA0A0A0u, screenPixel(10, 10));
    EXPECT_EQ(0xA0A0A0u, screenPixel(10, 11));
    EXPECT_EQ(0x697A8Bu, screenPixel(14, 11));
    // The edge pixel (font column 4) appears once, at the right end.
    EXPECT_EQ(blendAverage(0x010101, Backdrop), screenPixel(15, 10));
    EXPECT_EQ(blendAverage(0x010101, Backdrop), screenPixel(15, 11));
    EXPECT_EQ(Backdrop, screenPixel(16, 10));
}

TEST_F(GfxFont, SpaceEmptyAndZeroWidthCellsAndControlBytesDrawNothing) {
    // Space, the empty cell '"', the zero-width '$', 'A' past the last cell, codes past
    // the tables and below the first cell.
    for (int ch : {32, 34, 36, 65, 255, 256, 1, 9, 10, 31, 0, -1, INT_MIN}) {
        drawGlyph(100, 50, ch, Copy);
        drawGlyph2x(100, 50, ch, Copy);
    }
    EXPECT_EQ(0, changedPixels());
}

TEST_F(GfxFont, MenuTextDrawsShadowThenCopiedFace) {
    drawMenuText(100, 50, "!");
    // Face alone in the top rows, shadow alone two columns past the face.
    EXPECT_EQ(bangPixel(3, 0), screenPixel(100, 50));
    EXPECT_EQ(bangPixel(4, 1), screenPixel(101, 51));
    EXPECT_EQ(shadowed(bangPixel(11, 0), Backdrop), screenPixel(110, 52));
    EXPECT_EQ(shadowed(bangPixel(11, 31), Backdrop), screenPixel(110, 83));
    // Where both fall the copied face covers the shadow.
    EXPECT_EQ(bangPixel(8, 5), screenPixel(105, 55));
    // Through the face's hole the shadow shows.
    EXPECT_EQ(shadowed(bangPixel(3, 0), Backdrop), screenPixel(102, 52));
}

TEST_F(GfxFont, SmallTextAveragesTheFaceOverItsShadow) {
    drawSmallText(100, 50, "!");
    EXPECT_EQ(blendAverage(bangPixel(3, 0), Backdrop), screenPixel(100, 50));
    EXPECT_EQ(shadowed(bangPixel(11, 4), Backdrop), screenPixel(109, 55));
    EXPECT_EQ(blendAverage(bangPixel(8, 5), shadowed(bangPixel(7, 4), Backdrop)), screenPixel(105, 55));
}

TEST_F(GfxFont, BigTextShadowIsOffsetByOnePixelNotTwo) {
    drawBigText(100, 50, "!");
    // The shadow's rightmost column (font column 12) lands at 101 + 17.
    EXPECT_EQ(Backdrop, screenPixel(118, 50));
    EXPECT_EQ(shadowed(bangPixel(12, 0), Backdrop), screenPixel(118, 51));
    EXPECT_EQ(shadowed(bangPixel(12, 0), Backdrop), screenPixel(118, 52));
    EXPECT_EQ(shadowed(bangPixel(12, 1), Backdrop), screenPixel(118, 53));
    EXPECT_EQ(blendAverage(bangPixel(3, 0), Backdrop), screenPixel(100, 50));
    EXPECT_EQ(blendAverage(bangPixel(3, 0), Backdrop), screenPixel(100, 51));
    EXPECT_EQ(Backdrop, screenPixel(119, 52));
}

TEST_F(GfxFont, EmptyTextDrawsNothing) {
    drawMenuText(100, 50, "");
    drawSmallText(100, 50, "");
    drawBigText(100, 50, "");
    EXPECT_EQ(0, changedPixels());
}

TEST_F(GfxFont, PenAdvances) {
    // By the glyph width (9), doubled in big text.
    drawMenuText(100, 50, "!!");
    EXPECT_EQ(bangPixel(3, 0), screenPixel(109, 50));
    fillScreen(Backdrop);
    drawBigText(100, 50, "!!");
    EXPECT_EQ(blendAverage(bangPixel(3, 0), Backdrop), screenPixel(118, 50));

    // A space moves w / 4 = 8, twice that in big text, and draws nothing.
    fillScreen(Backdrop);
    drawMenuText(100, 50, " !");
    EXPECT_EQ(Backdrop, screenPixel(107, 50));
    EXPECT_EQ(bangPixel(3, 0), screenPixel(108, 50));
    fillScreen(Backdrop);
    drawSmallText(100, 50, " !");
    EXPECT_EQ(blendAverage(bangPixel(3, 0), Backdrop), screenPixel(108, 50));
    fillScreen(Backdrop);
    drawBigText(100, 50, " !");
    EXPECT_EQ(Backdrop, screenPixel(115, 50));
    EXPECT_EQ(blendAverage(bangPixel(3, 0), Backdrop), screenPixel(116, 50));

    // A cell without ink moves the pen left by w (2w in big text).
    fillScreen(Backdrop);
    drawMenuText(100, 50, "\"!");
    EXPECT_EQ(bangPixel(3, 0), screenPixel(68, 50));
    EXPECT_EQ(Backdrop, screenPixel(100, 50));
    fillScreen(Backdrop);
    drawBigText(100, 50, "\"!");
    EXPECT_EQ(blendAverage(bangPixel(3, 0), Backdrop), screenPixel(36, 50));
}

TEST_F(GfxFont, BytesWithoutACellDrawNothingAndDoNotMove) {
    drawMenuText(100, 50, "!");
    std::vector<uint32_t> alone = screenSnapshot();
    // Control bytes, a character past the last measured cell, high bytes (unsigned) and
    // a zero-width glyph.
    for (const char *text : {"\t!", "\n\x01\x1f!", "A!", "\xff\x80!", "$!", "!\t", "!\xc8"}) {
        fillScreen(Backdrop);
        drawMenuText(100, 50, text);
        EXPECT_TRUE(alone == screenSnapshot()) << text;
    }
}

TEST_F(GfxFont, EachCharacterDrawsShadowAndFaceBeforeTheNext) {
    // '#' fills 31 columns; the empty cell steps back 32, so the shadow of the final '!'
    // (at pen 99, shadow from 101) falls on the face of '#', which must already be there.
    drawMenuText(100, 50, "#\"!");
    EXPECT_EQ(shadowed(bangPixel(11, 0), hashPixel(9, 2)), screenPixel(109, 52));
    EXPECT_EQ(bangPixel(3, 0), screenPixel(99, 50));
    EXPECT_EQ(hashPixel(30, 0), screenPixel(130, 50));
}

TEST_F(GfxFont, FontPictureThatMustBeLockedIsLockedForEachUse) {
    drawGlyph(100, 50, '!', Copy);
    drawGlyph2x(200, 50, '!', Average);
    std::vector<uint32_t> expected = screenSnapshot();

    // A colour-keyed, RLE-accelerated font keeps its pixels encoded away until locked.
    ASSERT_EQ(0, SDL_SetColorKey(font, SDL_SRCCOLORKEY | SDL_RLEACCEL, 0));
    SDL_Surface *scratch = screenFormatSurface(CellSize, CellSize);
    SDL_UpperBlit(font, nullptr, scratch, nullptr);
    SDL_FreeSurface(scratch);
    // SDL 1.2 over SDL 2 keeps its RLE encoding to itself and never asks for a lock.
    if (!(font->flags & SDL_RLEACCEL))
        GTEST_SKIP() << "this SDL does not report RLE-accelerated surfaces";
    ASSERT_TRUE(surfaceMustLock(font));

    ASSERT_TRUE(measureFont());
    EXPECT_EQ(3, glyphLeft[0]);
    EXPECT_EQ(9, glyphWidth[0]);
    EXPECT_EQ(-CellSize, glyphWidth[1]);
    EXPECT_EQ(0, font->locked);

    fillScreen(Backdrop);
    drawGlyph(100, 50, '!', Copy);
    EXPECT_EQ(0, font->locked);
    drawGlyph2x(200, 50, '!', Average);
    EXPECT_EQ(0, font->locked);
    EXPECT_TRUE(expected == screenSnapshot());
}

namespace {

// How a glyph of the game's own font is read off the screen, drawn alone with Copy.
enum class Reading {
    FaceHeight, // rows from the top to the bottom of its bright face
    Holes,      // backdrop pixels closed in by the glyph (4-connected), where the ground shows
    LineHeight, // rows from the highest ink of all the glyphs to the lowest, together
};

constexpr uint32_t Ground = 0x000080; // darker than any face, unlike any glyph pixel

bool isFace(uint32_t p) { return ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) > 435; }

// Reading r of glyph ch drawn at (100, 100), or for LineHeight the ink rows [*top, *bottom]
// widened to hold its ink.
int readGlyph(int ch, Reading r, int *top, int *bottom) {
    constexpr int X = 100, Y = 100, Size = CellSize;
    fillScreen(Ground);
    drawGlyph(X, Y, ch, Copy);
    if (r == Reading::Holes) {
        // Flood the ground in from the cell's border; what it cannot reach is a hole.
        std::vector<bool> reached(Size * Size, false);
        std::vector<int> todo;
        for (int i = 0; i < Size; i++)
            for (int at : {i, (Size - 1) * Size + i, i * Size, i * Size + Size - 1})
                todo.push_back(at);
        while (!todo.empty()) {
            int at = todo.back();
            todo.pop_back();
            int x = at % Size, y = at / Size;
            if (reached[at] || screenPixel(X + x, Y + y) != Ground)
                continue;
            reached[at] = true;
            if (x > 0)
                todo.push_back(at - 1);
            if (x < Size - 1)
                todo.push_back(at + 1);
            if (y > 0)
                todo.push_back(at - Size);
            if (y < Size - 1)
                todo.push_back(at + Size);
        }
        int holes = 0;
        for (int at = 0; at < Size * Size; at++)
            holes += !reached[at] && screenPixel(X + at % Size, Y + at / Size) == Ground;
        return holes;
    }
    int first = -1, last = -1;
    for (int y = 0; y < Size; y++)
        for (int x = 0; x < Size; x++) {
            uint32_t p = screenPixel(X + x, Y + y);
            if (r == Reading::FaceHeight ? isFace(p) : p != Ground) {
                first = first < 0 ? y : first;
                last = y;
            }
        }
    if (r == Reading::LineHeight && first >= 0) {
        *top = std::min(*top, first);
        *bottom = std::max(*bottom, last);
    }
    return first < 0 ? 0 : last - first + 1;
}

} // namespace

TEST_F(GfxFont, TheGamesFontReadsForAChild) {
    SDL_Surface *loaded = SDL_LoadBMP((sourceDir() + "/data/font_32.bmp").c_str());
    ASSERT_NE(nullptr, loaded) << SDL_GetError();
    SDL_Surface *real = SDL_ConvertSurface(loaded, screenSurface->format, 0);
    SDL_FreeSurface(loaded);
    ASSERT_NE(nullptr, real);
    fontImage = real;
    ASSERT_TRUE(measureFont());
    // Every glyph a menu text may use: printable Latin-1 but the cursor's chevrons.
    std::string texts;
    for (int ch = 33; ch < 256; ch++)
        if (ch != '<' && ch != '>' && (ch < 127 || ch > 160))
            texts += static_cast<char>(ch);
    struct Case {
        const char *what;
        std::string glyphs;
        Reading reading;
        int least, most;
    } cases[] = {
        {"the problems' digits", "0123456789", Reading::FaceHeight, 16, CellSize},
        {"the menu cursor >>", "<>", Reading::FaceHeight, 20, CellSize},
        {"the ring of a", "\xe5", Reading::Holes, 1, CellSize},
        // Lines of menu text 20 pixels apart never touch.
        {"the menu texts' glyphs", texts, Reading::LineHeight, 1, 20},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        int top = CellSize, bottom = -1;
        for (unsigned char ch : c.glyphs) {
            int got = readGlyph(ch, c.reading, &top, &bottom);
            if (c.reading == Reading::LineHeight)
                continue;
            EXPECT_GE(got, c.least) << "'" << ch << "'";
            EXPECT_LE(got, c.most) << "'" << ch << "'";
        }
        if (c.reading == Reading::LineHeight) {
            EXPECT_GE(bottom - top + 1, c.least);
            EXPECT_LE(bottom - top + 1, c.most) << "ink on rows " << top << ".." << bottom;
        }
    }
    fontImage = font;
    measureFont();
    SDL_FreeSurface(real);
}
