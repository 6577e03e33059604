// The playing field over time: starting a game, movement, speed-up, spawning and loss.
#include "game/field.h"

#include <algorithm>
#include <cstdlib>

#include "audio/audio.h"
#include "game/answers.h"
#include "game/hooks.h"
#include "game/problems.h"
#include "ground/clock.h"
#include "ground/game_state.h"

int32_t spawnInterval() { return 7000 / (game.difficulty + 1); }

// A deadline ms after tick from. The value 0 is kept for "spawn at once" (a cleared
// field), so a deadline that wraps onto exactly 0 is stored as 1: the logic clock only
// ever holds even values, so both fall due in the same step.
static int32_t deadlineAfter(int32_t from, int32_t ms) {
    int32_t deadline = tickAdd(from, ms);
    return deadline == 0 ? 1 : deadline;
}

// Whether deadline has passed at logic time now; strict, so a deadline equal to the
// step's time waits for the next step.
static bool deadlinePassed(int32_t deadline, int32_t logicNow) {
    return tickBefore(deadline, logicNow);
}

DangerZone dangerZone() {
    const Problem *leading = game.problems;
    if (!leading || leading->x > DangerFarX)
        return DangerFar;
    if (leading->x > DangerNearX)
        return DangerMiddle;
    return DangerNear;
}

// One spawn at tick: a problem a setting places itself (a missed fact asked again),
// otherwise a new problem.
static void spawnProblem(int32_t tick) {
    if (!gameHooks.spawnOwnProblem())
        generateProblem();
    gameHooks.problemSpawned(tick);
}

// The speed rule, at a due speed-up: one more, not past the settings' top speed (which
// brings it down when it has fallen).
static void raiseSpeed() { game.speed = std::min(game.speed + 1, gameHooks.topSpeed()); }

// The spawn rule, at a due spawn at tick: one problem, sometimes two, each only while the
// field has room. False when none could come (the spawn then stays due).
static bool spawnDue(int32_t tick) {
    if (!gameHooks.roomForProblem())
        return false;
    spawnProblem(tick);
    if (rand() % (10 - game.difficulty) == 0 && gameHooks.roomForProblem())
        spawnProblem(tick);
    return true;
}

void enterPlaying() {
    clearFeedback();
    game.typedDigits = 0;
    game.typedValue = 0;
    game.score = 0;
    game.inputBlockedUntil = 0;
    // A fresh game counts as a close call: its first clearing plays the cleared sound.
    game.alertFlag = 1;
    // `now` was read after the game music started (the shell starts it, as loading the
    // track takes time the player should not lose from the first spawn period).
    game.screenEnteredAt = now;
    // Every way out of a game frees the field already; this only guards against leaks.
    freeProblems();
    gameHooks.gameStarting(game.screenEnteredAt);
    spawnProblem(game.screenEnteredAt);
    game.speed = 1;
    game.nextSpawnAt = deadlineAfter(game.screenEnteredAt, spawnInterval());
    game.nextSpeedUpAt = game.nextSpawnAt;
}

void holdFieldClocks(int32_t ms) {
    if (game.nextSpawnAt != 0)
        game.nextSpawnAt = deadlineAfter(game.nextSpawnAt, ms);
    game.nextSpeedUpAt = deadlineAfter(game.nextSpeedUpAt, ms);
}

void missLeadingProblem(int32_t logicNow) {
    playSound(SoundFailed);
    freeLeadingProblem();
    resetTyping();
    gameHooks.leadingChanged(logicNow);
    // The field is never left empty for longer than a step.
    if (!game.problems)
        game.nextSpawnAt = 0;
}

void endGame(GameEnd how) {
    gameHooks.gameEnded(how);
    game.requestedScreen = GameOver;
}

void updateField() {
    if (gameHooks.fieldHeld())
        return;
    int32_t logicNow = game.logicClock;
    int32_t interval = spawnInterval();

    for (Problem *problem = game.problems; problem; problem = problem->next)
        problem->x -= game.speed;
    // Entering problems all stop at the same place, so the older stays ahead.
    if (gameHooks.quickEntry()) {
        for (Problem *problem = game.problems; problem; problem = problem->next) {
            if (problem->x <= EntryEndX)
                continue;
            problem->x = std::max(EntryEndX, problem->x - EntryTenthsPerStep);
            if (problem->x == EntryEndX && problem == game.problems)
                gameHooks.leadingWhole(logicNow);
        }
    }

    // The problems have already moved at the old speed in this step.
    if (deadlinePassed(game.nextSpeedUpAt, logicNow)) {
        game.nextSpeedUpAt = deadlineAfter(logicNow, interval);
        raiseSpeed();
    }

    // 0 means the player has just cleared the field: the spawn is due whatever the
    // logic clock shows, also once it has passed 2^31.
    // A spawn the settings want before its time leaves the schedule as it is.
    bool spawnTime = game.nextSpawnAt == 0 || deadlinePassed(game.nextSpawnAt, logicNow);
    if ((spawnTime || gameHooks.spawnWanted()) && spawnDue(logicNow) && spawnTime)
        game.nextSpawnAt = deadlineAfter(logicNow, interval);

    // Everything moves alike, so the leading problem is always the furthest left.
    if (game.problems && game.problems->x <= 0) {
        if (gameHooks.reachedEdge(logicNow))
            missLeadingProblem(logicNow);
        else
            endGame(GameLost);
    }
    if (game.requestedScreen != GameOver && gameHooks.gameOverDue(logicNow))
        endGame(RoundEnded);
    // A problem this near the edge is a close call: the next clearing of the field is
    // celebrated with the cleared sound.
    if (dangerZone() == DangerNear) {
        game.alertFlag = 1;
        gameHooks.reachedWarning(logicNow);
    }
}
