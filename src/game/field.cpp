// The playing field over time: starting a game, movement, speed-up, spawning and loss.
#include "ground/settings.h"
#include "game/field.h"

#include <algorithm>
#include <cstdlib>

#include "audio/audio.h"
#include "game/answers.h"
#include "practice/fact_record.h"
#include "practice/pace.h"
#include "practice/practice.h"
#include "game/problems.h"
#include "practice/round.h"
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

// One spawn: a missed fact that is due again (practice), otherwise a new problem.
static void spawnProblem() {
    if (!spawnMissedFact())
        generateProblem();
}

// The speed rule, at a due speed-up: one more, not past the gentle pace's limit (which
// brings it down when the child has slowed).
static void raiseSpeed() {
    game.speed++;
    if (settings.gentlePace)
        game.speed = std::min(game.speed, paceTopSpeed());
}

// The spawn rule, at a due spawn: one problem, sometimes two; the gentle pace puts a
// problem on the field only while it has room. False when none could come (the spawn
// then stays due).
static bool spawnDue() {
    if (settings.gentlePace && !paceRoomForProblem())
        return false;
    spawnProblem();
    if (rand() % (10 - game.difficulty) == 0 && (!settings.gentlePace || paceRoomForProblem()))
        spawnProblem();
    return true;
}

void enterPlaying() {
    clearFeedback();
    game.typedDigits = 0;
    game.typedValue = 0;
    game.score = 0;
    game.inputBlockedUntil = 0;
    game.factHeld = 0;
    game.paused = 0;
    // A fresh game counts as a close call: its first clearing plays the cleared sound.
    game.alertFlag = 1;
    // `now` was read after the game music started (the shell starts it, as loading the
    // track takes time the player should not lose from the first spawn period).
    game.screenEnteredAt = now;
    // Every way out of a game frees the field already; this only guards against leaks.
    freeProblems();
    startFactRecord();
    spawnProblem();
    noteLeading(game.screenEnteredAt);
    game.speed = 1;
    game.nextSpawnAt = deadlineAfter(game.screenEnteredAt, spawnInterval());
    game.nextSpeedUpAt = game.nextSpawnAt;
    startRound();
}

void holdFieldClocks(int32_t ms) {
    if (game.nextSpawnAt != 0)
        game.nextSpawnAt = deadlineAfter(game.nextSpawnAt, ms);
    game.nextSpeedUpAt = deadlineAfter(game.nextSpeedUpAt, ms);
    holdLeadingClock(ms);
}

void updateField() {
    if (game.paused || game.factHeld)
        return;
    int32_t logicNow = game.logicClock;
    int32_t interval = spawnInterval();

    for (Problem *problem = game.problems; problem; problem = problem->next)
        problem->x -= game.speed;

    // The problems have already moved at the old speed in this step.
    if (deadlinePassed(game.nextSpeedUpAt, logicNow)) {
        game.nextSpeedUpAt = deadlineAfter(logicNow, interval);
        raiseSpeed();
    }

    // 0 means the player has just cleared the field: the spawn is due whatever the
    // logic clock shows, also once it has passed 2^31.
    if ((game.nextSpawnAt == 0 || deadlinePassed(game.nextSpawnAt, logicNow)) && spawnDue())
        game.nextSpawnAt = deadlineAfter(logicNow, interval);
    // A problem that comes onto an empty field leads from the step it came in.
    if (game.problems && !factRecord.leading)
        noteLeading(logicNow);

    // Everything moves alike, so the leading problem is always the furthest left.
    if (game.problems && game.problems->x <= 0) {
        noteMissedFact(noteTooSlow(logicNow));
        if (roundGoesOn())
            missLeadingProblem(logicNow);
        else
            game.requestedScreen = GameOver;
    }
    if (roundOver(logicNow))
        game.requestedScreen = GameOver;
    // A problem this near the edge is a close call: the next clearing of the field is
    // celebrated with the cleared sound.
    if (dangerZone() == DangerNear) {
        game.alertFlag = 1;
        noteMissedFact(noteCloseCall());
    }
}
