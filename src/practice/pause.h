// The pause of a game (practice): P stops the field, its clocks and the music, and a
// calm picture stands until any key goes on. Offered whenever a practice setting is on.
#pragma once

#include <SDL.h>
#include <cstdint>

#include "ground/game_state.h"

// Whether the P key pauses the game: some practice setting is on (chosen facts and the
// progress record included, as the page shows its Pause key for any of them).
bool pauseOffered();

// Pauses the game at tick `now`: the field, the answer block, the feedback, the round's
// end and the particles stand still, and the music is held. Nothing when already paused.
void pauseGame();

// Goes on after a pause: every clock of the game moves on by the time paused, so that
// the game goes on as it stood; the music goes on. Nothing when not paused.
void resumeGame();

// A key pressed on Playing: while paused any key but Escape goes on (Escape goes on when
// it is released, so that its release does not give the game up); otherwise P or the
// Pause key pauses when pauseOffered, and every other key is an answer key
// (handleGameKeyPress).
void handlePlayingKeyPress(SDLKey key, uint16_t unicode);

// The Playing screen's background: the menus' calm picture while paused, the game's
// own otherwise.
SDL_Surface *playingOrPauseBackground();

// Draws the Playing screen on the locked screen: while paused only the score and the
// pause picture (two pale bars on dark panels, in the middle of the background's
// panel), otherwise the game (drawPlaying).
void drawPlayingOrPause();
