// The progress record as a teacher reads it: a grid of marks per operation.
#include "record/progress_grid.h"

#include <cstdio>

const char *const GridTitles[GridCount] = {
    "Multiplication: row * column (7 * 8 is row 7, column 8)",
    "Division: row is the divisor, column the answer (56 / 7 is row 7, column 8)",
    "Addition: row + column (9 + 4 is row 9, column 4)",
    "Subtraction: row is the number taken away, column the answer (13 - 9 is row 9, column 4)",
};

const FactState FactStatesInOrder[FactStateCount] = {FactFluent, FactRightSoFar, FactSlow,
                                                     FactWrong,  FactStuck,      FactNotPlayed};

namespace {

// The legend's explanation of each mark after the mark itself.
std::string legendText(FactState state) {
    char text[200];
    switch (state) {
    case FactFluent:
        snprintf(text, sizeof text,
                 "fluent: asked 3 times or more; of the last 3, right within %d s at least twice, on two days or more",
                 static_cast<int>(FluentAnswerMs / 1000));
        return text;
    case FactRightSoFar:
        return "right so far: right and quick in its last askings, not yet asked enough or on enough days to tell";
    case FactSlow:
        return "right but slow: right in its last askings, but not quickly enough";
    case FactWrong:
        return "sometimes wrong: of its last askings, at least one wrong or too slow, but no more than half";
    case FactStuck:
        return "stuck: more than half of its last askings wrong or too slow";
    case FactNotPlayed:
    default:
        return "not yet played";
    }
}

} // namespace

std::string countOf(size_t count, const char *one, const char *many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

char markOf(FactState state) {
    switch (state) {
    case FactFluent:
        return MarkFluent;
    case FactRightSoFar:
        return MarkRightSoFar;
    case FactSlow:
        return MarkSlow;
    case FactWrong:
        return MarkWrong;
    case FactStuck:
        return MarkStuck;
    case FactNotPlayed:
    default:
        return MarkNotPlayed;
    }
}

const char *wordOf(FactState state) {
    switch (state) {
    case FactFluent:
        return "fluent";
    case FactRightSoFar:
        return "right so far";
    case FactSlow:
        return "right but slow";
    case FactWrong:
        return "sometimes wrong";
    case FactStuck:
        return "stuck";
    case FactNotPlayed:
    default:
        return "not yet played";
    }
}

std::vector<std::string> progressLegend() {
    std::vector<std::string> lines;
    for (FactState state : FactStatesInOrder)
        lines.push_back(std::string(1, markOf(state)) + " " + legendText(state));
    return lines;
}

bool factCell(const std::string &fact, int *grid, int *row, int *column) {
    int a, b;
    char op;
    if (!splitFact(fact, &a, &op, &b) || a < 0 || b < 0)
        return false;
    switch (op) {
    case '*':
        *grid = 0, *row = a, *column = b;
        break;
    case '/':
        if (b == 0 || a % b != 0)
            return false;
        *grid = 1, *row = b, *column = a / b;
        break;
    case '+':
        *grid = 2, *row = a, *column = b;
        break;
    default:
        if (a < b)
            return false;
        *grid = 3, *row = b, *column = a - b;
        break;
    }
    return *row <= GridMax && *column <= GridMax;
}

std::string progressGridText(const ProgressRecord &record, const std::string &path) {
    const std::vector<ProgressRow> &rows = record.rows;
    std::string text;
    char line[160];
    std::string lastPlayed;
    for (const ProgressRow &row : rows)
        if (row.lastPlayed > lastPlayed)
            lastPlayed = row.lastPlayed;
    text += "Progress" + (record.player.empty() ? std::string() : " of " + record.player) + " kept in " + path + ": " +
            countOf(rows.size(), "fact", "facts") + " played";
    if (!record.games.empty())
        text += " in " + countOf(record.games.size(), "game", "games");
    text += lastPlayed.empty() ? ".\n" : ", last on " + lastPlayed + ".\n";
    text += "\nEach fact is marked by how the child answered it the last times it was asked:\n";
    for (const std::string &legend : progressLegend())
        text += "  " + legend + "\n";

    FactState cells[GridCount][GridMax + 1][GridMax + 1] = {};
    std::vector<std::string> stuck[GridCount];
    std::vector<const ProgressRow *> beyond;
    for (const ProgressRow &row : rows) {
        int grid, r, c;
        if (!factCell(row.fact, &grid, &r, &c)) {
            beyond.push_back(&row);
            continue;
        }
        cells[grid][r][c] = factState(row);
        if (cells[grid][r][c] == FactStuck)
            stuck[grid].push_back(row.fact);
    }
    for (int grid = 0; grid < GridCount; grid++) {
        text += "\n";
        text += GridTitles[grid];
        text += "\n     ";
        for (int c = 0; c <= GridMax; c++) {
            snprintf(line, sizeof line, "%3d", c);
            text += line;
        }
        text += "\n";
        for (int r = 0; r <= GridMax; r++) {
            snprintf(line, sizeof line, "  %2d ", r);
            text += line;
            for (int c = 0; c <= GridMax; c++) {
                text += "  ";
                text += markOf(cells[grid][r][c]);
            }
            text += "\n";
        }
        if (!stuck[grid].empty()) {
            text += "  Stuck:";
            for (size_t i = 0; i < stuck[grid].size(); i++)
                text += (i ? ", " : " ") + stuck[grid][i];
            text += "\n";
        }
    }
    if (!beyond.empty()) {
        text += "\nFacts beyond 12 (hardest difficulty):\n";
        for (const ProgressRow *row : beyond) {
            snprintf(line, sizeof line, "  %-10s %s\n", row->fact.c_str(), wordOf(factState(*row)));
            text += line;
        }
    }
    return text;
}
