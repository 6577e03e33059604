// What the page reads of the game: the screen in force, so that the on-screen arrows can
// move the language screen's highlight the way they point (controls.js); the progress
// record as the game judges it, so that the settings panel's grids (progress.js) show
// what plimo --progress prints, by the game's own rules; the most bytes a record may
// hold, which the page checks a stored record against before passing it on; and every
// other fact of the game the page needs (its screens, the settings' ranges, the marks,
// the record's place, whether the pause is offered), so that the page never writes one
// again. The class's exports are in web/class_exports.cpp.
#include <cstdio>
#include <emscripten.h>
#include <string>
#include <vector>

#include "ground/game_state.h"
#include "ground/settings.h"
#include "record/players.h"
#include "record/progress_grid.h"
#include "record/progress_record.h"

namespace {

// A JSON string of UTF-8 text.
std::string jsonString(const std::string &text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

const char *FactStateNames[] = {"notPlayed", "fluent", "rightSoFar", "slow", "wrong", "stuck"};

} // namespace


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
//   "L|mark|meaning|state"                  the legend, fluent first; state as in
//                                           plimoPageFacts' marks
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
    std::vector<std::string> legend = progressLegend();
    for (int i = 0; i < FactStateCount && i < static_cast<int>(legend.size()); i++)
        view += "L|" + legend[i].substr(0, 1) + "|" + legend[i].substr(2) + "|" + FactStateNames[FactStatesInOrder[i]] + "\n";
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


// What the page would otherwise write again, as JSON: the screens it needs, the ranges
// its settings panel offers, where the game keeps its record, each state's mark in the
// grids, and the longest name a player may have:
//   {"screens": {"LanguagePick": 2, ...}, "minutes": [1, 30], "listMax": 12,
//    "recordPath": "/home/web_user/.local/share/plimo/progress.csv",
//    "marks": {"fluent": "F", ...}, "nameMaxChars": 24,
//    "recordMaxBytes": 1048576}
// The argument is unused (the page asks every export with one).
EMSCRIPTEN_KEEPALIVE const char *plimoPageFacts(const char *) {
    static std::string facts;
    facts = "{\"screens\": {\"Splash\": " + std::to_string(Splash) + ", \"LanguagePick\": " +
            std::to_string(LanguagePick) + ", \"MainMenu\": " + std::to_string(MainMenu) + ", \"Playing\": " +
            std::to_string(Playing) + ", \"GameOver\": " + std::to_string(GameOver) + "}, \"minutes\": [" +
            std::to_string(RoundMinutesMin) + ", " + std::to_string(RoundMinutesMax) + "], \"listMax\": " +
            std::to_string(PageListMax) + ", \"recordPath\": " + jsonString(progressRecordPath()) + ", \"marks\": {";
    for (int i = 0; i < FactStateCount; i++) {
        FactState state = FactStatesInOrder[i];
        facts += std::string(i ? ", " : "") + jsonString(FactStateNames[state]) + ": " +
                 jsonString(std::string(1, markOf(state)));
    }
    facts += "}, \"nameMaxChars\": " + std::to_string(PlayerNameMaxChars) + ", \"recordMaxBytes\": " + std::to_string(ProgressRecordMaxBytes) + "}";
    return facts.c_str();
}

// Whether the running game offers the P key's pause (the page shows its Pause key then):
// 1 or 0; 0 before the game has read its words.
EMSCRIPTEN_KEEPALIVE int plimoPauseOffered() { return pauseOffered(settings) ? 1 : 0; }

}
