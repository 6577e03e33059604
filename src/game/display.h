// The in-game picture and the end of a game.
#pragma once

#include <cstdint>

// Draws the prompt, problems, highlight, score, feedback text and particles.
void drawPlaying();

// Ends a game: burst centre, menu music, failed sound, empties the field.
void enterGameOver();

// Paints the growing dark red disc of GameOver's first second.
void drawGameOverBurst();

// Vertical offset of the feedback text e ms after it appeared (64-bit safe).
int64_t feedbackOffset(int64_t elapsedMs, bool rising);
