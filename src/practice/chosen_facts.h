// Facts a teacher chooses (--tables, --addends): every product and quotient from the
// chosen tables, every sum and difference with a chosen addend. With no list given
// nothing changes and the problem generator draws exactly as it always has.
#pragma once

#include <cstddef>

// Most numbers in one list: 0 to 19, each once.
constexpr int MaxChosenNumbers = 20;

struct ChosenList {
    int count = 0; // 0: no list given, the difficulty's whole range
    int numbers[MaxChosenNumbers] = {};
};

struct ChosenFacts {
    ChosenList tables;  // --tables: a factor of every product, the divisor of every quotient
    ChosenList addends; // --addends: an addend of every sum, what every difference takes away
};
extern ChosenFacts chosenFacts;

// Sets a list from count numbers (0 to 19, as the option reader checked). Returns false,
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
