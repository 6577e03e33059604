// The playing field (not yet built).
#include "game/field.h"

#include "app/game_state.h"

int32_t spawnInterval() { return 7000 / (game.difficulty + 1); }
void enterPlaying() {}
void updateField() {}
