// The game's hooks and their defaults: the game as it stands without any setting.
#include "game/hooks.h"

namespace {

void nothingAtTick(int32_t) {}
bool noOwnProblem() { return false; }
bool alwaysRoom() { return true; }
bool noWish() { return false; }
int32_t noTopSpeed() { return INT32_MAX; }
bool neverHeld() { return false; }
bool pointsAsUsual(int32_t) { return false; }
bool typedFeedback(int32_t, char *, size_t) { return false; }
bool lostAtEdge(int32_t) { return false; }
bool noEnd(int32_t) { return false; }
void noStall(int32_t) {}
void noEndAction(GameEnd) {}
bool ownOperands(char, int, int *, int *) { return false; }
void nothingDrawn() {}

} // namespace

GameHooks defaultGameHooks() {
    GameHooks hooks;
    hooks.gameStarting = nothingAtTick;
    hooks.spawnOwnProblem = noOwnProblem;
    hooks.problemSpawned = nothingAtTick;
    hooks.roomForProblem = alwaysRoom;
    hooks.spawnWanted = noWish;
    hooks.quickEntry = noWish;
    hooks.leadingWhole = nothingAtTick;
    hooks.topSpeed = noTopSpeed;
    hooks.fieldHeld = neverHeld;
    hooks.answeredRight = pointsAsUsual;
    hooks.answeredWrong = typedFeedback;
    hooks.leadingChanged = nothingAtTick;
    hooks.reachedWarning = nothingAtTick;
    hooks.reachedEdge = lostAtEdge;
    hooks.gameOverDue = noEnd;
    hooks.clockStalled = noStall;
    hooks.gameEnded = noEndAction;
    hooks.chooseOperands = ownOperands;
    hooks.drawOverField = nothingDrawn;
    return hooks;
}

GameHooks gameHooks = defaultGameHooks();

void restoreGameHooks() { gameHooks = defaultGameHooks(); }
