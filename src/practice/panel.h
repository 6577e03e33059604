// The practice settings' panels: a dark box with a pale border, behind a shown fact and
// the pause's bars.
#pragma once

#include <cstdint>

// The panel's colour and its border's: the font's own outline colour, dark enough for
// the averaged face of big text to stand at better than 4.5:1 on it.
constexpr uint32_t PanelColour = 0x1c1638;
constexpr uint32_t PanelBorderColour = 0xc6c5cd;

// Fills the box (x0, y0) to (x1, y1) (pixels, corners inclusive as fillBox has them)
// with a border of 2 pixels, on the locked screen.
void drawPanel(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
