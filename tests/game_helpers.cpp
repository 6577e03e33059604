// Shared set-up of the game tests: hand-made problems, list counts, a small generated font.
#include "game_helpers.h"

#include <SDL.h>
#include <cstring>

#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/particles.h"
#include "gfx/surface.h"
#include "support.h"

namespace gametest {

Problem *addProblem(const char *text, int32_t answer, int32_t answerDigits, int32_t x, int32_t y) {
    Problem *problem = new Problem{answer, answerDigits, strdup(text), x, y, nullptr};
    appendProblem(problem);
    return problem;
}

int problemCount() {
    int n = 0;
    for (Problem *p = game.problems; p; p = p->next)
        n++;
    return n;
}

int particleCount() {
    int n = 0;
    for (Particle *p = game.particles; p; p = p->next)
        n++;
    return n;
}

void installTestFont() {
    static SDL_Surface *font = nullptr;
    if (!font) {
        const int w = 8, cells = 223;
        font = screenFormatSurface(w, w * cells);
        SDL_FillRect(font, nullptr, 0);
        for (int cell = 0; cell < cells; cell++)
            for (int r = 1; r <= 6; r++)
                for (int k = 1; k <= 6; k++)
                    pixelAt(font, k, cell * w + r) = 0xFFFFFF;
    }
    fontImage = font;
    measureFont();
}

} // namespace gametest
