// The one instance of the run-time state and the one record of the run's settings.
#include "ground/game_state.h"
#include "ground/settings.h"

GameState game;
Settings settings;
