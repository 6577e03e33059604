// Fuzz target: a content file's bytes, through the game's own depth guard, TinyXML's
// parse and the start-up check, then every lookup the menus make on it.
//
// Properties: a file the guard lets through never parses into a tree deeper than it has
// tags (so the parser's stack stays safe); a file the check accepts serves every screen
// of every language with its items and texts; the language steps are inverse walks; and
// no lookup misbehaves on a refused file either (the sanitizers watch the rest).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tinyxml.h>
#include <vector>

#include "content/content.h"
#include "ground/game_state.h"

namespace {

// Languages whose screens are looked up one by one; stepping back is quadratic in the
// list, so a list of thousands would only slow the fuzzer down.
const int LanguagesLooked = 64;

[[noreturn]] void broken(const char *what) {
    fprintf(stderr, "content property broken: %s\n", what);
    abort();
}

// The depth of the deepest element of the parsed tree, walked without recursion.
int treeDepth(const TiXmlNode *root) {
    int deepest = 0;
    std::vector<std::pair<const TiXmlNode *, int>> todo{{root, 0}};
    while (!todo.empty()) {
        auto [node, depth] = todo.back();
        todo.pop_back();
        for (const TiXmlNode *child = node->FirstChild(); child; child = child->NextSibling()) {
            int d = depth + (child->ToElement() ? 1 : 0);
            if (d > deepest)
                deepest = d;
            todo.push_back({child, d});
        }
    }
    return deepest;
}

void lookEverywhere(bool accepted) {
    int position = 0;
    for (TiXmlElement *language = firstLanguage(); language && position < LanguagesLooked;
         language = language->NextSiblingElement(), position++) {
        game.currentLanguage = language;
        describeLanguage(language, position + 1);
        for (const ContentScreen &want : contentScreens) {
            TiXmlElement *screen = findScreen(want.name);
            if (accepted && !screen)
                broken("an accepted file lacks a screen");
            TiXmlElement *item = firstItem(screen);
            for (int i = 1; i <= want.itemsNeeded; i++) {
                if (accepted && (!item || !item->Attribute("text")))
                    broken("an accepted file lacks an item or its text");
                if (item)
                    item = item->NextSiblingElement();
                screenItemText(want.name, i);
            }
        }
        if (accepted && (!language->Attribute("langpick") || !language->Attribute("image") ||
                         !language->Attribute("name")))
            broken("an accepted language lacks an attribute");
        // One step on and one back lands where it started, whatever the list holds.
        nextLanguage();
        previousLanguage();
        if (game.currentLanguage != language)
            broken("previousLanguage does not undo nextLanguage");
        previousLanguage();
        nextLanguage();
        if (game.currentLanguage != language)
            broken("nextLanguage does not undo previousLanguage");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const char *bytes = reinterpret_cast<const char *>(data);
    int guardDepth = xmlNestingDepth(bytes, size);
    long tags = static_cast<long>(std::count(bytes, bytes + size, '<'));
    // The game refuses such a file before parsing it.
    if (guardDepth > MaxContentDepth || tags > MaxContentTags)
        return 0;

    // Parsed as the game parses its file, from the bytes read once.
    parseContentBytes(ContentDocument, bytes, size);
    // The stack stays safe because no tree is deeper than the file has '<' bytes; the
    // scan's own depth may fall short where the parser reads markup differently.
    if (treeDepth(&ContentDocument) > tags)
        broken("the parser built a tree deeper than the file has tags");

    std::string fault = checkContent(ContentDocument, "plimo.xml");
    std::vector<ContentFault> faults = listContentFaults(ContentDocument);
    if (fault.empty() != faults.empty())
        broken("checkContent and listContentFaults disagree");
    lookEverywhere(fault.empty());
    game.currentLanguage = nullptr;
    ContentDocument.Clear();
    return 0;
}
