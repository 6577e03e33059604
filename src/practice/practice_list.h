// What the game-over menu adds for parents and teachers: a round's summary and the list
// of facts to practise (--practice-list).
#pragma once

#include <cstdint>

// Most facts the game-over menu lists.
constexpr int MaxListedFacts = 6;

// How wide a line under the game-over menu's score may be (pixels): to the right edge of
// the menu's panel from its column.
constexpr int32_t GameOverLineWidth = 384;

// The facts of the last game to practise, most missed first (then in the order first
// missed), at most MaxListedFacts, each as formatFact writes it followed by its mark in
// the child's language: the content file's "wrong" when it was answered wrong, its
// "slow" when it only ran out of time (reached the left edge, or came near it); returns
// how many.
int practiceListLines(char lines[MaxListedFacts][32]);

// Where a line of small text is cut to fit width (pixels): its length when it fits; else
// the comma of the ", " nearest its middle that leaves both halves within width (the
// second half starts after the space); its length when none does.
int splitAt(const char *text, int32_t width);

// The game-over menu's practice additions, drawn from (left, top) between its score line
// and its entries: a round's summary (on two lines when it is wider than
// GameOverLineWidth), then the practice list (when chosen) in columns of three lines,
// the second at least 180 pixels on and clear of the first's widest line, and left out
// where it would not fit on the menu's panel.
void drawGameOverPractice(int left, int top);
