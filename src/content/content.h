// The content file: languages, their screens and items, and the selected language.
#pragma once

#include <cstddef>
#include <string>
#include <tinyxml.h>
#include <vector>

// The parsed content file "plimo.xml"; constructed before main, destroyed after it
// returns, loaded once and never changed.
extern TiXmlDocument ContentDocument;

// The deepest element nesting a content file may have; the game's own file needs 3.
constexpr int MaxContentDepth = 256;

// The most '<' bytes a content file may hold (about 350 languages' worth): the parser
// cannot nest deeper than this, which keeps its stack safe whatever the markup.
constexpr int MaxContentTags = 16384;

// How deeply the elements of an XML text are nested (an upper estimate for malformed
// text). Looks at bytes only; never recurses.
int xmlNestingDepth(const char *bytes, size_t size);

// Why the file fileName is too deeply nested or holds too many tags to be parsed
// safely, or "" when it is fine (or cannot be read: loading reports that).
std::string contentShapeFault(const char *fileName);

// The largest content file read (the game's own is about 30 KB).
constexpr size_t MaxContentBytes = size_t(64) << 20;

// contentShapeFault of a content file's bytes already read.
std::string contentShapeFaultOf(const char *bytes, size_t size);

// Parses size bytes of a content file into document (emptied first) as the parser's own
// file loading would: CR and CR LF read as LF, the text ending at its first NUL byte, an
// empty file an error. The parser works on a zero-padded copy, so that no malformed
// ending can take it past the bytes.
void parseContentBytes(TiXmlDocument &document, const char *bytes, size_t size);

// Reads the content file fileName once (a regular file, opened without blocking) and,
// unless it is too deep, has too many tags or is larger than MaxContentBytes, parses it
// into document. Returns that shape fault ("" when there is none; the document is then
// parsed, or carries the parser's error, "Failed to open file" for a file that cannot
// be read).
std::string loadContentFile(TiXmlDocument &document, const char *fileName);

// Loads ContentDocument from the working directory and selects the first language.
void loadContent();

// The screen of currentLanguage whose name matches (ASCII case-insensitive), searching
// from its first screen child across every following sibling element. Null when none
// matches or a candidate lacks its name (start-up refuses such files).
TiXmlElement *findScreen(const char *name);

// Steps currentLanguage along the language list, wrapping at either end.
void nextLanguage();
void previousLanguage();

// The first element of the language list, or null.
TiXmlElement *firstLanguage();

// The first item of a screen, or null; further items are its next sibling elements.
TiXmlElement *firstItem(TiXmlElement *screen);

// The text of item number index (1-based) of the named screen of currentLanguage,
// or "" when there is none.
const char *screenItemText(const char *screenName, int index);

// Compares as _stricmp does: ASCII letters folded to lower case. <0, 0 or >0.
int asciiCaseCompare(const char *a, const char *b);

// Checks a loaded document the way the menus will read it. Returns "" when every
// language and screen can serve, otherwise one line naming the file, the language,
// the screen and what is missing.
std::string checkContent(TiXmlDocument &document, const char *fileName);

// The five screens of texts the menus read, and how many items each needs: the one
// place of both (the screen table, the menus and the start-up check read them here).
struct ContentScreen {
    const char *name; // as the menus look it up
    int itemsNeeded;  // items read by position, from 1
};
enum ContentScreenId {
    MainTexts,
    CreditsTexts,
    DifficultyTexts,
    HelpTexts,
    GameOverTexts,
    ContentScreenCount,
};
extern const ContentScreen contentScreens[ContentScreenCount];

// One thing in a content document that the menus could not use.
struct ContentFault {
    std::string message;      // without the file name, e.g. `language 2 ("Deutsch"): ...`
    const TiXmlNode *where;   // the element at fault (for its line), or null
};

// Every fault of a loaded document, in the order the start-up check meets them; the
// first one is what checkContent reports. Walks past faults instead of stopping.
std::vector<ContentFault> listContentFaults(TiXmlDocument &document);

// How a language of the list is named in messages: `language 2 ("Deutsch")`, counted
// from 1; `language 2 (no name)` when it lacks the attribute.
std::string describeLanguage(const TiXmlElement *language, int position);

// The screen of language named name, walked as findScreen walks. Candidates without a
// name are stepped over; the first of them met before the match (or the end) is
// stored in *nameless (null when there was none). Null when no candidate matches.
TiXmlElement *findScreenOf(TiXmlElement *language, const char *name, TiXmlElement **nameless);
