// The bitmap font: glyph metrics, 1x and 2x glyph drawing and the three text styles.
#pragma once

#include <cstdint>

// How a lit glyph pixel G meets the screen pixel S under it.
enum BlendMode : int32_t {
    Shadow = -1,  // blendMultiply(G ^ 0xFFFFFF, S): darkens
    Average = 0,  // blendAverage(G, S)
    Add = 1,      // blendAddSaturate(G, S)
    Copy = 3,     // G itself (any other value copies too)
};

// Per cell (character - 33): the leftmost lit column, and rightmost minus leftmost lit
// column (an empty cell: left = w, width = -w). Zero past the last measured cell.
extern int32_t glyphLeft[256];
extern int32_t glyphWidth[256];

// Measures every cell of fontImage into the tables. False when the font image cannot
// be locked (start-up then stops loading, as the game always has).
bool measureFont();

// Checks that fontImage can serve as a font (width above 0, at least one whole cell,
// no more cells than the tables hold); ends start-up with a message naming
// "font_32.bmp" otherwise.
void checkFontImage();

// Draws glyph ch with its leftmost lit column at screen column x and the cell's top row
// at row y, clipped to the screen, with the given BlendMode. 2x doubles rows and columns.
void drawGlyph(int x, int y, int ch, int mode);
void drawGlyph2x(int x, int y, int ch, int mode);

// The text styles: a darkening shadow then the face, glyph by glyph, from pen (x, y).
void drawMenuText(int x, int y, const char *text);  // 1x, shadow +2, face copied
void drawSmallText(int x, int y, const char *text); // 1x, shadow +1, face averaged
void drawBigText(int x, int y, const char *text);   // 2x, shadow +1, face averaged
