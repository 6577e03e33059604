// The content file: languages, their screens and items, and the selected language.
#pragma once

#include <string>
#include <tinyxml.h>

// The parsed content file "plimo.xml"; constructed before main, destroyed after the
// exit handlers, loaded once and never changed.
extern TiXmlDocument ContentDocument;

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
