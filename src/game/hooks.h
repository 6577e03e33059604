// The moments at which the game calls the settings above it, and the questions it asks
// them: one plain table of function pointers. The defaults make the game exactly as it
// stands without any setting; the practice settings install their own (practice/) and
// reach the game's state only through these calls and GameState.
#pragma once

#include <cstddef>
#include <cstdint>

// How a game came to its end.
enum GameEnd : int32_t {
    GameLost = 0,    // the leading problem reached the left edge
    GameGivenUp = 1, // Escape on the field
    RoundEnded = 2,  // a round's minutes are over
    GameQuit = 3,    // the program ends in the middle of a game (window closed, a signal, the display lost)
};

struct GameHooks {
    // A game starts at tick: the field is empty, the score and typing are reset, no
    // problem is placed yet (enterPlaying).
    void (*gameStarting)(int32_t tick);
    // A spawn is due: true when a setting placed the problem itself (placeProblem, its
    // fact filled in); false lets the game make a new one. Default false.
    bool (*spawnOwnProblem)();
    // A problem came onto the field at tick (it may be the new leading problem).
    void (*problemSpawned)(int32_t tick);
    // Whether the field may take one more problem at a due spawn. Default true.
    bool (*roomForProblem)();
    // Whether a spawn is wanted now, before its time (a field the settings want
    // fuller); it still needs room. Default false.
    bool (*spawnWanted)();
    // Whether new problems enter quickly, so that each is wholly on screen soon after it
    // comes (then moving at the field's speed). Default false.
    bool (*quickEntry)();
    // The leading problem became wholly on screen at tick (its quick entry ended).
    void (*leadingWhole)(int32_t tick);
    // The highest speed a due speed-up may reach (tenths of a pixel per step); a speed
    // above it comes down to it. Default INT32_MAX (no limit).
    int32_t (*topSpeed)();
    // Whether the field stands still in this step (nothing moves, spawns or speeds up).
    // Default false.
    bool (*fieldHeld)();
    // The leading problem is answered right at tick, before it leaves the field; true
    // when the answer scores no points (a fact copied after a mistake). Default false.
    bool (*answeredRight)(int32_t tick);
    // The leading problem is answered wrong at tick; true when the hook wrote the text to
    // show instead of the typed answer into feedback (size bytes). Default false.
    bool (*answeredWrong)(int32_t tick, char *feedback, size_t size);
    // The leading problem left the field at tick (answered, or missed in a game that
    // goes on): game.problems, possibly none, now leads.
    void (*leadingChanged)(int32_t tick);
    // The leading problem is in the warning band near the left edge in a step at tick
    // (called every such step).
    void (*reachedWarning)(int32_t tick);
    // The leading problem reached the left edge at tick: true when the game goes on
    // (the problem then leaves the field as missed), false when the game is lost.
    // Default false.
    bool (*reachedEdge)(int32_t tick);
    // After each field step at tick: true when the game ends now (a round's minutes are
    // over). Default false.
    bool (*gameOverDue)(int32_t tick);
    // The clock stood still for ms of ticks that the logic skipped (the process stopped,
    // a frozen session): nothing of the game happened in them.
    void (*clockStalled)(int32_t ms);
    // The game ended (how), with the field as it stood at that moment.
    void (*gameEnded)(GameEnd how);
    // Draws the operands of one problem of operation sign ('+', '-', '*', '/') below bound
    // from a chosen list: true when it drew them; false, drawing nothing, for the game's
    // own draw. Default false.
    bool (*chooseOperands)(char sign, int bound, int *first, int *second);
    // Draws over the field on the locked screen, after the feedback text and before the
    // particles.
    void (*drawOverField)();
};

// The hooks in force. Starts with the defaults; restoreGameHooks puts them back.
extern GameHooks gameHooks;

// The default hooks: the game without any setting.
GameHooks defaultGameHooks();
void restoreGameHooks();
