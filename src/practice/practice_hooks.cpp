// The practice settings joined to the game through its hooks.
#include "practice/practice_hooks.h"

#include <cstdint>

#include "game/hooks.h"
#include "ground/clock.h"
#include "ground/game_state.h"
#include "ground/settings.h"
#include "practice/chosen_facts.h"
#include "practice/clear_view.h"
#include "practice/fact_record.h"
#include "practice/pace.h"
#include "practice/repeats.h"
#include "practice/round.h"
#include "practice/shown_fact.h"

namespace {

void gameStarting(int32_t) {
    game.factHeld = 0;
    game.paused = 0;
    startFactRecord();
    startRound();
}

// A problem that comes onto an empty field leads from the moment it came.
void problemSpawned(int32_t tick) {
    if (!factRecord.leading)
        noteLeading(tick);
}

bool roomForProblem() { return !settings.gentlePace || paceRoomForProblem(); }

bool spawnWanted() { return settings.gentlePace && paceWantsProblem(); }

// With the settings that follow a child's answers, a problem is asked only once it can
// be read whole: it enters quickly, and its answer time counts from then.
bool quickEntry() { return settings.gentlePace || settings.showAnswers || settings.roundMinutes > 0; }

void leadingWhole(int32_t tick) {
    if (factRecord.leading == game.problems)
        factRecord.leadingSince = tick;
}

int32_t topSpeed() { return settings.gentlePace ? paceTopSpeed() : INT32_MAX; }

bool fieldHeld() { return game.paused || game.factHeld; }

bool answeredRight(int32_t tick) {
    // The hold ends first, so that its time is not the answer's.
    bool copied = releaseFact();
    if (settings.gentlePace && game.problems)
        paceNoteRight(!factRecord.leadingWrong, tickDiff(tick, factRecord.leadingSince), game.problems->x);
    noteRight(tick);
    noteRightAnswer(game.problems);
    return copied;
}

bool answeredWrong(int32_t, char *feedback, size_t size) {
    if (settings.gentlePace)
        paceStepBack(2);
    noteMissedFact(noteWrong());
    return showFact(feedback, size);
}

void reachedWarning(int32_t) {
    FactTally *fact = noteCloseCall();
    // Once per problem: the first step it is near the edge.
    if (fact && settings.gentlePace)
        paceStepBack(1);
    noteMissedFact(fact);
}

bool reachedEdge(int32_t tick) {
    if (settings.gentlePace)
        paceStepBack(2);
    noteMissedFact(noteTooSlow(tick));
    return roundGoesOn();
}

// A stall is no time of the child's: the leading problem's answer clock and a round's
// end move on by it, as after a pause. A paused game counts the stall in its pause.
void clockStalled(int32_t ms) {
    if (game.paused)
        return;
    holdLeadingClock(ms);
    if (game.roundEndsAt != 0) {
        int32_t end = tickAdd(game.roundEndsAt, ms);
        game.roundEndsAt = end == 0 ? 1 : end;
    }
}

void gameEnded(GameEnd) { closeFactRecord(); }

// Each step the field moved is a step of play.
bool gameOverDue(int32_t tick) {
    factRecord.playedSteps++;
    return roundOver(tick);
}

// The clear view under a shown fact, which stands beside the problem.
void drawOverField() {
    drawClearView();
    drawShownFact();
}

bool chooseOperands(char sign, int bound, int *first, int *second) {
    return drawChosenOperands(static_cast<ChosenOperation>(sign), bound, first, second);
}

} // namespace

void installPracticeHooks() {
    gameHooks.gameStarting = gameStarting;
    gameHooks.spawnOwnProblem = spawnMissedFact;
    gameHooks.problemSpawned = problemSpawned;
    gameHooks.roomForProblem = roomForProblem;
    gameHooks.spawnWanted = spawnWanted;
    gameHooks.quickEntry = quickEntry;
    gameHooks.leadingWhole = leadingWhole;
    gameHooks.topSpeed = topSpeed;
    gameHooks.fieldHeld = fieldHeld;
    gameHooks.answeredRight = answeredRight;
    gameHooks.answeredWrong = answeredWrong;
    gameHooks.leadingChanged = noteLeading;
    gameHooks.reachedWarning = reachedWarning;
    gameHooks.reachedEdge = reachedEdge;
    gameHooks.gameOverDue = gameOverDue;
    gameHooks.clockStalled = clockStalled;
    gameHooks.gameEnded = gameEnded;
    gameHooks.chooseOperands = chooseOperands;
    gameHooks.drawOverField = drawOverField;
}
