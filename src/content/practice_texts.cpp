// The practice screen's words: looked up by name in the current language, with fallbacks
// that keep an older content file playing, and their placeholders filled safely.
#include "content/practice_texts.h"

#include "content/content.h"
#include "ground/game_state.h"

const char *const PracticeScreenName = "practice";

// In PracticeTextId order; the English is the content file's own (a test holds them equal).
const PracticeTextItem practiceTextItems[PracticeTextCount] = {
    {"summary", "{1} answered, {2} missed, {3} at first try, {4} s", 4},
    {"markWrong", "wrong", 0},
    {"markSlow", "slow", 0},
    {"listLegend", "wrong: a wrong answer; slow: too late", 0},
    {"pauseHint", "Press a key to go on", 0},
    {"classTitle", "Who is playing?", 0},
    {"classHint", "Choose with the arrows, then press Return", 0},
    {"fluent", "fluent", 0},
    {"sometimesWrong", "sometimes wrong", 0},
    {"rightButSlow", "right but slow", 0},
    {"stuck", "stuck", 0},
    {"notYetAsked", "not yet asked", 0},
    {"games", "games", 0},
    {"minutes", "minutes", 0},
    {"lastPlayed", "last played", 0},
    {"fluentRule", "right within {1} s on two of the last three askings, on two days or more", 1},
    {"addition", "Addition", 0},
    {"subtraction", "Subtraction", 0},
    {"multiplication", "Multiplication", 0},
    {"division", "Division", 0},
    {"additionGrid", "row plus column", 0},
    {"subtractionGrid", "row is the number taken away, column the answer", 0},
    {"multiplicationGrid", "row times column", 0},
    {"divisionGrid", "row is the divisor, column the answer", 0},
    {"progressHeading", "Progress kept in {1}: {2} facts played", 2},
    {"progressNone", "No progress kept yet: {1} does not exist.", 1},
    {"legendIntro", "Each fact is marked by how the child answers it over all the games kept:", 0},
    {"beyondTwelve", "Facts beyond 12 (hardest difficulty):", 0},
    {"classStuck", "Facts most children are stuck on:", 0},
    {"classNone", "No child's progress kept yet.", 0},
    {"rightSoFar", "right so far", 0},
    {"legendFluent",
     "fluent: asked 3 times or more; of the last 3, right within {1} s at least twice, on two days or more", 1},
    {"legendRightSoFar",
     "right so far: right and quick in its last askings, not yet asked enough or on enough days to tell", 0},
    {"legendRightButSlow", "right but slow: right in its last askings, but not quickly enough", 0},
    {"legendSometimesWrong",
     "sometimes wrong: of its last askings, at least one wrong or too slow, but no more than half", 0},
    {"legendStuck", "stuck: more than half of its last askings wrong or too slow", 0},
    {"legendNotYetPlayed", "not yet played", 0},
    {"progressOf", "Progress of {1} kept in {2}: {3} facts played in {4} games, last on {5}.", 5},
    {"classOf", "Class progress from {1}: {2} children.", 2},
    {"classMarks", "Facts per operation: fluent (F), right but slow (s), sometimes wrong (w), stuck (X)", 0},
    {"noneYet", "none", 0},
};

// The number of a placeholder starting at p ("{7}" or "{12}", 0 for "{0}"), with *length
// set to its bytes; -1 when p starts none.
static int placeholderAt(const char *p, int *length) {
    if (p[0] != '{' || p[1] < '0' || p[1] > '9')
        return -1;
    int number = p[1] - '0';
    int digits = 1;
    if (p[2] >= '0' && p[2] <= '9') {
        number = number * 10 + (p[2] - '0');
        digits = 2;
    }
    if (p[1 + digits] != '}')
        return -1;
    *length = digits + 2;
    return number;
}

bool placeholdersMatch(const char *text, int count) {
    int seen[100] = {};
    for (const char *p = text; *p; p++) {
        int length = 0;
        int number = placeholderAt(p, &length);
        if (number < 0)
            continue;
        // {0}, a number past the item's and a repeat are all faults of the translation.
        if (number == 0 || number > count || ++seen[number] > 1)
            return false;
        p += length - 1;
    }
    for (int n = 1; n <= count; n++)
        if (seen[n] != 1)
            return false;
    return true;
}

const char *practiceTextOf(TiXmlElement *language, PracticeTextId id) {
    if (!language || id < 0 || id >= PracticeTextCount)
        return nullptr;
    // The menus' search, except that a screen without a name is stepped over: the start-up
    // check does not look this far, and an odd element must not cost the words.
    TiXmlElement *nameless;
    TiXmlElement *screen = findScreenOf(language, PracticeScreenName, &nameless);
    const PracticeTextItem &want = practiceTextItems[id];
    // Items by name, whatever their order: the first one of that name counts.
    for (TiXmlElement *item = firstItem(screen); item; item = item->NextSiblingElement()) {
        const char *name = item->Attribute("name");
        if (!name || asciiCaseCompare(name, want.name) != 0)
            continue;
        const char *text = item->Attribute("text");
        return text && placeholdersMatch(text, want.placeholders) ? text : nullptr;
    }
    return nullptr;
}

const char *practiceText(PracticeTextId id) {
    if (id < 0 || id >= PracticeTextCount)
        return "";
    if (const char *text = practiceTextOf(game.currentLanguage, id))
        return text;
    for (TiXmlElement *language = firstLanguage(); language; language = language->NextSiblingElement())
        if (const char *text = practiceTextOf(language, id))
            return text;
    return practiceTextItems[id].english;
}

std::string fillText(const char *format, const std::vector<std::string> &values) {
    std::string out;
    if (!format)
        return out;
    for (const char *p = format; *p;) {
        int length = 0;
        int number = placeholderAt(p, &length);
        if (number >= 1 && static_cast<size_t>(number) <= values.size()) {
            out += values[static_cast<size_t>(number) - 1];
            p += length;
        } else {
            out += *p++;
        }
    }
    return out;
}
