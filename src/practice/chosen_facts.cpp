// Facts a teacher chooses: the tables and addends every problem is drawn from.
#include "practice/chosen_facts.h"

#include "ground/settings.h"

#include <cstdio>
#include <cstdlib>

static void setList(ChosenList *list, const int *numbers, int count) {
    list->count = 0;
    for (int i = 0; i < count && i < MaxChosenNumbers; i++)
        list->numbers[list->count++] = numbers[i];
}

bool chooseTables(const int *numbers, int count, const char *option, char *why, size_t size) {
    bool divisor = false;
    for (int i = 0; i < count; i++)
        divisor = divisor || numbers[i] != 0;
    if (!divisor) {
        snprintf(why, size,
                 "%s: no division can be asked with these tables (a divisor cannot be 0); choose a table from 1 to 19 "
                 "as well",
                 option);
        return false;
    }
    setList(&settings.tables, numbers, count);
    return true;
}

bool chooseAddends(const int *numbers, int count, const char *option, char *why, size_t size) {
    // Every addend makes sums, and a difference can always take it away from a larger
    // number: no list of addends leaves a mode without problems.
    (void)option;
    (void)why;
    (void)size;
    setList(&settings.addends, numbers, count);
    return true;
}

// One number of list, drawn.
static int drawFrom(const ChosenList &list) { return list.numbers[rand() % list.count]; }

bool drawChosenOperands(ChosenOperation operation, int bound, int *first, int *second) {
    const ChosenList &list =
        operation == ChosenAddition || operation == ChosenSubtraction ? settings.addends : settings.tables;
    if (list.count == 0)
        return false;
    switch (operation) {
    case ChosenSubtraction: {
        // Takes away the chosen number; the answer keeps to the difficulty's range.
        int takenAway = drawFrom(list);
        *first = takenAway + rand() % bound;
        *second = takenAway;
        return true;
    }
    case ChosenDivision: {
        // Quotient first, as the generator draws it; the divisor is a nonzero table
        // (chooseTables made sure there is one).
        *first = rand() % bound;
        int divisor = 0;
        while (divisor == 0)
            divisor = drawFrom(list);
        *second = divisor;
        return true;
    }
    case ChosenAddition:
    case ChosenMultiplication:
    default: {
        // The chosen number on either side: 7 * 3 and 3 * 7 are both facts of 7.
        int chosen = drawFrom(list);
        int other = rand() % bound;
        bool chosenFirst = rand() % 2 == 0;
        *first = chosenFirst ? chosen : other;
        *second = chosenFirst ? other : chosen;
        return true;
    }
    }
}
