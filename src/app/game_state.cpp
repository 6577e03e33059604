// The one instance of the run-time state.
#include "app/game_state.h"

GameState game;
