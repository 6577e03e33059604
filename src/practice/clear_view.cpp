// The clear view: the problem to answer and the typed answer large on a dark panel.
#include "practice/clear_view.h"

#include <algorithm>

#include "game/display.h"
#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/particles.h"
#include "gfx/surface.h"
#include "ground/game_state.h"
#include "ground/settings.h"
#include "practice/panel.h"

namespace {

// Room (pixels) kept between a panel's edge and the face of its text; the doubled
// text's face stands between a quarter and three quarters of its cell.
constexpr int32_t Room = 6;

// text in the clear style with its top-left cell corner at (x, y), on a panel; moved
// left where it would reach past the screen's right edge (a problem entering is twice as
// wide here).
void drawClearLine(int32_t x, int32_t y, const char *text) {
    int32_t cell = 2 * (fontImage ? fontImage->w : 0);
    int32_t width = bigTextAdvance(text) + 2;
    x = std::min(x, ScreenWidth - 1 - Room - width);
    fillBox(x - Room, y + cell / 4 - Room, x + width + Room, y + 3 * cell / 4 + Room, PanelColour);
    drawClearText(x, y, text);
}

} // namespace

void drawClearView() {
    const Problem *leading = game.problems;
    if (!settings.clearView || !leading)
        return;
    // Centred on the small text's row: the doubled cell is twice as tall.
    int32_t cell = fontImage ? fontImage->w : 0;
    drawClearLine(leading->x / 10, leading->y - cell / 2, leading->text);
    char prompt[32];
    if (formatPrompt(prompt, sizeof prompt))
        drawClearLine(310, 420, prompt);
}
