// One game's tallies of the facts asked, for the progress record.
#include "game/fact_tally.h"

#include "ground/clock.h"

bool rememberProgress = false;

namespace {

std::vector<FactOutcome> outcomes;
const Problem *leadingProblem = nullptr; // the leading problem being timed
size_t leadingOutcome = 0;               // its entry in outcomes
int32_t leadingSince = 0;                // when it became the leading one (tick)
bool wrongThisTime = false;              // answered wrong since it became the leading one
bool slowThisTime = false;               // came near the edge since then

bool tallying() { return rememberProgress && game.gameMode != Sign; }

// The leading problem is the one being timed (a problem placed at the head some other
// way starts its asking now).
void followHead() {
    if (game.problems && game.problems != leadingProblem)
        noteFactLeading(game.problems);
}

} // namespace

void startFactTally() {
    outcomes.clear();
    leadingProblem = nullptr;
}

void noteFactLeading(const Problem *problem) {
    if (!tallying())
        return;
    leadingProblem = problem;
    leadingSince = now;
    wrongThisTime = slowThisTime = false;
    for (leadingOutcome = 0; leadingOutcome < outcomes.size(); leadingOutcome++)
        if (outcomes[leadingOutcome].fact == problem->text)
            break;
    if (leadingOutcome == outcomes.size()) {
        outcomes.emplace_back();
        outcomes.back().fact = problem->text;
    }
    outcomes[leadingOutcome].asked++;
}

void noteFactRight(const Problem *leading) {
    if (!tallying() || !leading)
        return;
    followHead();
    FactOutcome &outcome = outcomes[leadingOutcome];
    int32_t ms = tickDiff(now, leadingSince);
    outcome.rightAnswerMs.push_back(ms < 0 ? 0 : ms);
    if (!wrongThisTime)
        outcome.rightFirstTry++;
    leadingProblem = nullptr;
    if (leading->next)
        noteFactLeading(leading->next);
}

void noteFactWrong() {
    if (!tallying() || !game.problems)
        return;
    followHead();
    if (!wrongThisTime)
        outcomes[leadingOutcome].wrong++;
    wrongThisTime = true;
}

void noteFactTooSlow() {
    if (!tallying() || !game.problems)
        return;
    followHead();
    if (!slowThisTime)
        outcomes[leadingOutcome].tooSlow++;
    slowThisTime = true;
}

const std::vector<FactOutcome> &factOutcomes() { return outcomes; }
