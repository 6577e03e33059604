// Facts a teacher chooses (--tables, --addends): every product and quotient from the
// chosen tables, every sum and difference with a chosen addend. With no list given
// nothing changes and the problem generator draws exactly as it always has.
#pragma once

#include <cstddef>

#include "ground/settings.h"

// Sets settings.tables or settings.addends from count numbers (0 to ChosenNumberMax, as
// the option reader checked). Returns false,
// with the reason naming option (as the player wrote it) in why (size bytes), when the
// list makes some mode it governs ask nothing at any difficulty: tables without any number
// but 0 leave division (and the mix's quotients) without a divisor.
bool chooseTables(const int *numbers, int count, const char *option, char *why, size_t size);
bool chooseAddends(const int *numbers, int count, const char *option, char *why, size_t size);

// The operations a chosen list can govern, as their signs.
enum ChosenOperation { ChosenAddition = '+', ChosenSubtraction = '-', ChosenMultiplication = '*', ChosenDivision = '/' };

// Draws the two operands of one problem of operation from the chosen list that governs
// it, the other number below bound (the difficulty's range): a + b and a * b with a or b
// (which one, drawn) from the list; a - b with b from the list and a - b below bound;
// a / b (first the quotient, then the divisor) with a nonzero divisor from the list.
// Returns false, drawing nothing, when no list governs operation: the caller draws as
// it always has.
bool drawChosenOperands(ChosenOperation operation, int bound, int *first, int *second);
