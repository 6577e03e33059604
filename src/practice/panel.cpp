// The practice settings' panels: a dark box with a pale border.
#include "practice/panel.h"

#include "gfx/particles.h"

void drawPanel(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    fillBox(x0, y0, x1, y1, PanelBorderColour);
    fillBox(x0 + 2, y0 + 2, x1 - 2, y1 - 2, PanelColour);
}
