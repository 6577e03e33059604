// The bitmap font (not yet built).
#include "gfx/font.h"

int32_t glyphLeft[256];
int32_t glyphWidth[256];

bool measureFont() { return true; }
void checkFontImage() {}
void drawGlyph(int, int, int, int) {}
void drawGlyph2x(int, int, int, int) {}
void drawMenuText(int, int, const char *) {}
void drawSmallText(int, int, const char *) {}
void drawBigText(int, int, const char *) {}
