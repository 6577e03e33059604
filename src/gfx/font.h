// The bitmap font: glyph metrics, 1x and 2x glyph drawing and the three text styles.
#pragma once

#include <SDL.h>
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

// Clears the tables and measures every whole cell of fontImage into them (at most 256;
// nothing without a usable picture). False when the font picture cannot be locked
// (start-up then stops loading, as the game always has).
bool measureFont();

// Why font cannot serve as a font (a short reason), or null when it can: it must be at
// least 1 pixel wide, at least one w x w cell high and hold at most 256 cells.
const char *fontImageFault(const SDL_Surface *font);

// Checks that fontImage can serve as a font (width above 0, at least one whole cell,
// no more cells than the tables hold); ends start-up with a message naming
// "font_32.bmp" otherwise.
void checkFontImage();

// Draws glyph ch (a character code; the space and codes without a measured cell draw
// nothing) with its leftmost lit column at screen column x and the cell's top row at
// screen row y, in pixels, clipped to 640 x 480, with the given BlendMode. Locks the
// font picture for the draw (a failed lock drops the glyph); the caller holds the
// screen's lock. The 2x form draws cell row r on screen rows y + 2r and y + 2r + 1 (a
// pair whose upper row is off the screen is skipped whole) and shows font column
// glyphLeft + ceil(j / 2) on screen column x + j, for j in 0 .. 2 * glyphWidth - 1.
void drawGlyph(int x, int y, int ch, int mode);
void drawGlyph2x(int x, int y, int ch, int mode);

// The text styles: a darkening shadow then the face, glyph by glyph, from pen (x, y)
// in pixels; bytes are unsigned. A space advances w / 4 (twice that in big text),
// bytes 1..31 draw nothing and advance 0, others advance by their glyphWidth (doubled).
void drawMenuText(int x, int y, const char *text);  // 1x, shadow +2, face copied
void drawSmallText(int x, int y, const char *text); // 1x, shadow +1, face averaged
void drawBigText(int x, int y, const char *text);   // 2x, shadow +1, face averaged
// 2x, shadow +2, face copied: the font's own white face at full strength, for the clear
// view of a practice setting.
void drawClearText(int x, int y, const char *text);

// How far the pen of drawMenuText and drawSmallText moves over text, in pixels (the
// shadow of drawMenuText reaches two further).
int32_t menuTextAdvance(const char *text);

// How far the pen of drawBigText moves over text, in pixels (its shadow reaches one
// further).
int32_t bigTextAdvance(const char *text);
