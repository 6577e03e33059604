// What the page reads of the game: the screen in force, so that the on-screen arrows can
// move the language screen's highlight the way they point (controls.js); and the progress
// record as the game judges it, so that the settings panel's grids (progress.js) show
// what plimo --progress prints, by the game's own rules; and the most bytes a record may
// hold, which the page checks a stored record against before passing it on.
#include <cstdio>
#include <emscripten.h>
#include <string>
#include <vector>

#include "record/progress_grid.h"
#include "record/progress_record.h"
#include "ground/game_state.h"

extern "C" {

// The screen in force (a ScreenId).
EMSCRIPTEN_KEEPALIVE int plimoScreen() { return game.currentScreen; }

// The most bytes a progress record may hold: the page sets a larger stored value aside
// as damaged before the game ever reads it.
EMSCRIPTEN_KEEPALIVE int plimoProgressMaxBytes() { return static_cast<int>(ProgressRecordMaxBytes); }

// The record's CSV text as the panel shows it, one line each, fields apart by "|":
//   "!|why"                                 the text is no record (nothing else follows)
//   "S|facts|last played|largest"           how many facts, the last date played, and the
//                                           largest number of a grid's rows and columns
//   "L|mark|meaning"                        the legend, fluent first
//   "G|title"                               each grid, in order ("Name: how to read it")
//   "C|grid|row|column|mark|fact|asked|right at the first try|wrong|too slow"
//                                           a fact in a grid (grid -1: beyond 12)
// Valid until the next call.
EMSCRIPTEN_KEEPALIVE const char *plimoProgressView(const char *csv) {
    static std::string view;
    std::vector<ProgressRow> rows;
    std::string why;
    if (*csv && !parseProgressRecord(csv, &rows, &why)) {
        view = "!|" + why + "\n";
        return view.c_str();
    }
    std::string lastPlayed;
    for (const ProgressRow &row : rows)
        if (row.lastPlayed > lastPlayed)
            lastPlayed = row.lastPlayed;
    view = "S|" + std::to_string(rows.size()) + "|" + lastPlayed + "|" + std::to_string(GridMax) + "\n";
    for (const std::string &legend : progressLegend())
        view += "L|" + legend.substr(0, 1) + "|" + legend.substr(2) + "\n";
    for (const char *title : GridTitles)
        view += std::string("G|") + title + "\n";
    for (const ProgressRow &row : rows) {
        int grid = -1, r = 0, c = 0;
        if (!factCell(row.fact, &grid, &r, &c))
            grid = -1;
        char line[160];
        snprintf(line, sizeof line, "C|%d|%d|%d|%c|%s|%lld|%lld|%lld|%lld\n", grid, r, c, markOf(factState(row)),
                 row.fact.c_str(), static_cast<long long>(row.asked), static_cast<long long>(row.rightFirstTry),
                 static_cast<long long>(row.wrong), static_cast<long long>(row.tooSlow));
        view += line;
    }
    return view.c_str();
}
}
