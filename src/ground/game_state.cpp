// The one instance of the run-time state.
#include "ground/game_state.h"

GameState game;
