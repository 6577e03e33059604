// Start-up, the resource loading order, the main loop's pass and the event pump.
#pragma once

#include <SDL.h>

#include "ground/game_state.h"

// Runs the whole program as main does: SDL start-up, the window (full screen when
// argc < 2), loadResources, the main loop. Returns 0 when the player ends the program;
// exits with status 1 after one line on standard error when SDL or the video mode fails.
int runProgram(int argc, char **argv);

// The end of the program: closes the audio device, then shuts SDL down. Run after the
// main loop and before a start-up failure's exit; never from an exit handler.
void shutDown();

// Loads every resource in its fixed order: the eight pictures, the font metrics, the
// content file (checked) and the audio. A picture, the font or the content file that
// cannot serve ends the process through failStartup.
void loadResources();

// One pass of the main loop: frameTick, then every queued event. Returns true when the
// program is to end (a quit event, or navigation asked for it).
bool runPass();

// The program ends in the middle of a game (the window closed, a signal, the display
// lost): the game ends there (GameQuit) and its facts judged so far are kept, as at any
// end of a game (--remember); once per game. Nothing off the Playing screen.
void keepGameInProgress();

// Forgets which keys are held, so that none of their releases counts (the focus left).
void forgetHeldKeys();

// Handles one SDL event as the pump does. Returns true when the program is to end.
bool handleEvent(const SDL_Event &event);

// The navigation action of a released key; false when the key has none.
bool navActionForKey(SDLKey key, NavAction *action);
