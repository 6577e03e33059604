// What the game-over menu adds for parents and teachers: a round's summary and the list
// of facts to practise (--practice-list).
#pragma once

// Most facts the game-over menu lists.
constexpr int MaxListedFacts = 6;

// The facts of the last game to practise, most missed first (then in the order first
// missed), at most MaxListedFacts, each as formatFact writes it followed by its mark:
// " x" when it was answered wrong, " ..." when it only ran out of time (reached the left
// edge, or came near it); returns how many.
int practiceListLines(char lines[MaxListedFacts][32]);

// The game-over menu's practice additions, drawn from (left, top) between its score line
// and its entries: a round's summary line, then the practice list (when chosen) in two
// columns of three lines, 180 pixels apart.
void drawGameOverPractice(int left, int top);
