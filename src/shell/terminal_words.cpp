// The progress and class prints' words from the content file, for the terminal.
#include "shell/terminal_words.h"

#include <cstdio>
#include <unistd.h>

#include "content/practice_texts.h"
#include "content/terminal_text.h"
#include "record/progress_record.h"

namespace {

bool wordsAreEnglish = true;

// An item as the terminal shows it (placeholders pass through unchanged).
std::string shown(PracticeTextId id) { return toTerminalText(practiceText(id)); }

} // namespace

void prepareTerminalWords() {
    std::string note = prepareTerminalLanguage();
    if (!note.empty() && access("plimo.xml", F_OK) == 0)
        fprintf(stderr, "%s\n", note.c_str());
    wordsAreEnglish = languageFromEnvironment() == "en";
}

GridWords terminalGridWords() {
    if (wordsAreEnglish)
        return englishGridWords();
    GridWords w;
    w.words[FactNotPlayed] = shown(LegendNotYetPlayed);
    w.words[FactFluent] = shown(WordFluent);
    w.words[FactRightSoFar] = shown(WordRightSoFar);
    w.words[FactSlow] = shown(WordRightButSlow);
    w.words[FactWrong] = shown(WordSometimesWrong);
    w.words[FactStuck] = shown(WordStuck);
    w.legend[FactNotPlayed] = shown(LegendNotYetPlayed);
    w.legend[FactFluent] = fillText(shown(LegendFluent).c_str(), {std::to_string(FluentAnswerMs / 1000)});
    w.legend[FactRightSoFar] = shown(LegendRightSoFar);
    w.legend[FactSlow] = shown(LegendRightButSlow);
    w.legend[FactWrong] = shown(LegendSometimesWrong);
    w.legend[FactStuck] = shown(LegendStuck);
    w.legendIntro = shown(LegendIntro);
    w.heading = shown(ProgressOf);
    // In the grids' order: multiplication, division, addition, subtraction.
    const PracticeTextId names[GridCount] = {NameMultiplication, NameDivision, NameAddition, NameSubtraction};
    const PracticeTextId reading[GridCount] = {GridMultiplication, GridDivision, GridAddition, GridSubtraction};
    for (int g = 0; g < GridCount; g++) {
        w.operations[g] = shown(names[g]);
        w.gridTitles[g] = w.operations[g] + ": " + shown(reading[g]);
    }
    std::string stuck = practiceText(WordStuck);
    if (!stuck.empty() && stuck[0] >= 'a' && stuck[0] <= 'z')
        stuck[0] = static_cast<char>(stuck[0] - 'a' + 'A');
    w.stuckLabel = toTerminalText(stuck + ":");
    w.beyondTwelve = shown(BeyondTwelve);
    w.games = shown(WordGames);
    w.minutes = shown(WordMinutes);
    w.lastPlayed = shown(WordLastPlayed);
    w.classStuck = shown(ClassStuck);
    w.classNone = shown(ClassNone);
    w.classHeading = shown(ClassOf);
    w.classMarks = shown(ClassMarks);
    w.noneYet = shown(NoneYet);
    return w;
}

std::string noProgressLine(const std::string &path) {
    if (wordsAreEnglish)
        return "No progress kept yet: " + path + " does not exist. Play with --remember to keep one.\n";
    return fillText(shown(ProgressNone).c_str(), {path}) + "\n";
}
