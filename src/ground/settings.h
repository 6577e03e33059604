// The settings of one run: the one record of what a parent, a teacher or the command
// line chose, beside the run-time GameState. Written only where settings are read (the
// command line and the page's settings, both through shell/options); everything else
// reads it. Zero-initialised, every setting off: the specified game.
#pragma once

#include <cstdint>

// Numbers a chosen-facts list can hold: 0 to ChosenNumberMax, each once.
constexpr int ChosenNumberMax = 19;
// The numbers the page's panel offers in a list (0 to PageListMax).
constexpr int PageListMax = 12;
// Most numbers in one list: every number once.
constexpr int MaxChosenNumbers = ChosenNumberMax + 1;

// The length of a round (minutes): RoundMinutesMin to RoundMinutesMax, and the length
// --practice gives when no round is chosen.
constexpr int32_t RoundMinutesMin = 1;
constexpr int32_t RoundMinutesMax = 30;
constexpr int32_t PracticeRoundMinutes = 10;

// The bytes a player's name takes in Settings, its terminator included (a name of 24
// characters takes at most 48 bytes of UTF-8; record/players.h checks names).
constexpr int PlayerNameBytes = 64;
// The most names a class list holds.
constexpr int ClassListMax = 40;

// The children of a class (--class), in the order given, each name canonical (trimmed,
// UTF-8) and none twice however spelt in case.
struct ClassList {
    int count = 0; // 0: no class list; no "Who is playing?" screen
    char names[ClassListMax][PlayerNameBytes] = {};
};

// A list of chosen numbers (--tables, --addends), in the order given.
struct ChosenList {
    int count = 0; // 0: no list given, the difficulty's whole range
    int numbers[MaxChosenNumbers] = {};
};

struct Settings {
    // Practice settings for parents and teachers (practice/).
    bool gentlePace = false;   // spawns and speed follow the child's recent answer times
    bool showAnswers = false;  // a wrong answer shows the whole fact and holds the field until copied
    bool repeatMissed = false; // missed facts come back until answered right twice in a row
    bool practiceList = false; // the game-over menu lists the facts missed in that game
    int32_t roundMinutes = 0;  // RoundMinutesMin..RoundMinutesMax: the game is a round; 0 none
    bool clearView = false;    // the problem to answer and the typed answer large, white on a dark panel
    ChosenList tables;         // --tables: a factor of every product, the divisor of every quotient
    ChosenList addends;        // --addends: an addend of every sum, what every difference takes away
    // The progress record (record/).
    bool remember = false;     // each game's facts are kept in the progress record
    // Players (record/players.h).
    char player[PlayerNameBytes] = {}; // the child playing (--player, or picked from the class), canonical UTF-8; "" none
    ClassList classList;               // --class: the names "Who is playing?" offers
    // What the command line asks of the program itself (shell/).
    bool help = false;         // print the options and end
    bool progress = false;     // print the progress record and end
    bool forget = false;       // delete the progress record and end
    bool classProgress = false; // print the class's progress and end
    bool assumeYes = false;    // --forget deletes without asking (for scripts)
    bool fullscreen = false;   // the full screen although other words are given
    bool window = false;       // some word asks for a window (any word but --help and --fullscreen)
};
extern Settings settings;

// Whether the P key pauses a game, and the page shows its Pause key: some setting for
// parents and teachers is on.
inline bool pauseOffered(const Settings &s) {
    return s.gentlePace || s.showAnswers || s.repeatMissed || s.practiceList || s.roundMinutes > 0 || s.clearView ||
           s.tables.count > 0 || s.addends.count > 0 || s.remember;
}
