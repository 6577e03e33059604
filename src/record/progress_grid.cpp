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

const GridWords &englishGridWords() {
    static const GridWords english = [] {
        GridWords w;
        const char *const words[FactStateCount] = {"not yet played", "fluent",          "right so far",
                                                   "right but slow", "sometimes wrong", "stuck"};
        char fluent[200];
        snprintf(fluent, sizeof fluent,
                 "fluent: asked 3 times or more; of the last 3, right within %d s at least twice, on two days or more",
                 static_cast<int>(FluentAnswerMs / 1000));
        const char *const legend[FactStateCount] = {
            "not yet played",
            fluent,
            "right so far: right and quick in its last askings, not yet asked enough or on enough days to tell",
            "right but slow: right in its last askings, but not quickly enough",
            "sometimes wrong: of its last askings, at least one wrong or too slow, but no more than half",
            "stuck: more than half of its last askings wrong or too slow",
        };
        for (int i = 0; i < FactStateCount; i++)
            w.words[i] = words[i], w.legend[i] = legend[i];
        w.legendIntro = "Each fact is marked by how the child answered it the last times it was asked:";
        for (int g = 0; g < GridCount; g++)
            w.gridTitles[g] = GridTitles[g];
        w.stuckLabel = "Stuck:";
        w.beyondTwelve = "Facts beyond 12 (hardest difficulty):";
        const char *const operations[GridCount] = {"multiplication", "division", "addition", "subtraction"};
        for (int g = 0; g < GridCount; g++)
            w.operations[g] = operations[g];
        w.games = "games";
        w.minutes = "minutes";
        w.lastPlayed = "last played";
        w.classStuck = "Facts most children are stuck on:";
        w.classNone = "No progress kept yet. Play with --remember (and --player=NAME for each child) to keep it.";
        w.classMarks = "For each operation, how many facts are fluent (F), right but slow (s), sometimes wrong (w) and "
                       "stuck (X).";
        w.noneYet = "none";
        return w;
    }();
    return english;
}

std::string filledIn(const std::string &text, const std::vector<std::string> &values) {
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        size_t n = i + 2 < text.size() && text[i] == '{' && text[i + 2] == '}' ? text[i + 1] - '0' : 0;
        if (n >= 1 && n <= 9 && n <= values.size()) {
            out += values[n - 1];
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

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
    return englishGridWords().words[state >= 0 && state < FactStateCount ? state : FactNotPlayed].c_str();
}

std::vector<std::string> progressLegend(const GridWords &words) {
    std::vector<std::string> lines;
    for (FactState state : FactStatesInOrder)
        lines.push_back(std::string(1, markOf(state)) + " " + words.legend[state]);
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

std::string progressGridText(const ProgressRecord &record, const std::string &path, const GridWords &words) {
    const std::vector<ProgressRow> &rows = record.rows;
    std::string text;
    char line[160];
    std::string lastPlayed;
    for (const ProgressRow &row : rows)
        if (row.lastPlayed > lastPlayed)
            lastPlayed = row.lastPlayed;
    if (!words.heading.empty()) {
        // Every part always there: a translation cannot leave one out the way English does.
        text += filledIn(words.heading, {record.player.empty() ? "-" : record.player, path, std::to_string(rows.size()),
                                         std::to_string(record.games.size()), lastPlayed.empty() ? "-" : lastPlayed}) +
                "\n";
    } else {
        text += "Progress" + (record.player.empty() ? std::string() : " of " + record.player) + " kept in " + path +
                ": " + countOf(rows.size(), "fact", "facts") + " played";
        if (!record.games.empty())
            text += " in " + countOf(record.games.size(), "game", "games");
        text += lastPlayed.empty() ? ".\n" : ", last on " + lastPlayed + ".\n";
    }
    text += "\n" + words.legendIntro + "\n";
    for (const std::string &legend : progressLegend(words))
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
        text += words.gridTitles[grid];
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
            text += "  " + words.stuckLabel;
            for (size_t i = 0; i < stuck[grid].size(); i++)
                text += (i ? ", " : " ") + stuck[grid][i];
            text += "\n";
        }
    }
    if (!beyond.empty()) {
        text += "\n" + words.beyondTwelve + "\n";
        for (const ProgressRow *row : beyond) {
            snprintf(line, sizeof line, "  %-10s %s\n", row->fact.c_str(), words.words[factState(*row)].c_str());
            text += line;
        }
    }
    return text;
}
