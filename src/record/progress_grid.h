// The progress record as a teacher reads it (plimo --progress): one 0-12 by 0-12 grid
// per operation, each fact marked fluent, slow, stuck or not yet played, with a legend.
#pragma once

#include <string>
#include <vector>

#include "record/grid_words.h"
#include "record/progress_record.h"

// Grid marks, one per FactState: the only place they are set (the page takes them, their
// words and the legend from the game through markOf, wordOf and progressLegend).
constexpr char MarkFluent = 'F', MarkRightSoFar = 'f', MarkSlow = 's', MarkWrong = 'w', MarkStuck = 'X',
               MarkNotPlayed = '.';
// Every state, in the legend's order.
extern const FactState FactStatesInOrder[FactStateCount];

// Largest number a grid's rows and columns show.
constexpr int GridMax = 12;

// The grids, in order: multiplication, division, addition, subtraction; each one's title
// (its name, then after ": " how its rows and columns are read).
extern const char *const GridTitles[GridCount];

// A state's mark in the grids, and its words ("fluent", "right so far", "right but slow",
// "sometimes wrong", "stuck", "not yet played").
char markOf(FactState state);
const char *wordOf(FactState state);

// The legend: each mark followed by a space and what it means, in FactStatesInOrder.
std::vector<std::string> progressLegend(const GridWords &words = englishGridWords());

// Where a fact sits: its grid (0 multiplication, 1 division, 2 addition, 3 subtraction)
// and its row and column. A division a / b sits at row b (the divisor), column a / b
// (the quotient), beside the product it undoes; a subtraction a - b at row b (what is
// taken away), column a - b (the difference). False when a number falls outside 0..12
// (or the division is not exact).
bool factCell(const std::string &fact, int *grid, int *row, int *column);

// "1 fact", "2 facts": count followed by one or many, as the count asks.
std::string countOf(size_t count, const char *one, const char *many);

// The whole text --progress prints for the record read from path: a heading (with the
// player's name when it has one), the legend, the four grids (each with its stuck facts
// listed under it) and the facts beyond 12.
// The words are words's (englishGridWords() by default).
std::string progressGridText(const ProgressRecord &record, const std::string &path,
                             const GridWords &words = englishGridWords());
