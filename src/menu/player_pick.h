// "Who is playing?": the names of the class list (--class) in columns, one picked with
// the arrows and Return; the child picked plays until the next one is picked.
#pragma once

#include <cstdint>
#include <string>

#include "content/content.h"
#include "ground/game_state.h"

// Names per column, top to bottom; the next name starts the next column.
constexpr int PlayerPickRows = 14;
// The first name's row and the rows' pitch (pixels); the title stands above them.
constexpr int PlayerPickTop = 80;
constexpr int PlayerPickPitch = 20;
constexpr int PlayerPickTitleY = 40;
// The hint's row, under the menu panel, where a line as wide as the screen less
// PlayerPickHintMargin on either side stands centred (a wider one is shortened).
constexpr int PlayerPickHintY = 436;
constexpr int PlayerPickHintMargin = 10;
// Where names may reach (pixels, their shadow included): the menu panel's right edge
// less its margin.
constexpr int PlayerPickRight = 624;
// The room left of each column for its cursor (pixels): the cursor swings within it.
constexpr int PlayerPickCursorRoom = 32;

// How many columns count names take (1 to 3 for up to ClassListMax names).
int playerPickColumns(int count);

// Where column (0-based) of a layout of columns starts, and how many pixels a name drawn
// there may take, its shadow included.
int playerPickColumnX(int column, int columns);
int playerPickNameRoom(int columns);

// A checked name (UTF-8) as the font draws it: each character as its ISO-8859-1 byte,
// a hyphen as the soft hyphen (the font's hyphen within a word; '-' is the problems'
// wide minus). A byte of anything else (never in a checked name) shows as '?'.
std::string drawnName(const char *utf8);

// text (font bytes) as drawMenuText draws it within width pixels, its shadow included:
// whole when it fits, otherwise its longest beginning that fits followed by "...",
// without spaces before the dots ("" when not even the dots fit).
std::string fittedMenuText(const std::string &text, int width);

// Entering "Who is playing?": the highlight reaches every name of the class list and
// starts on the child playing now (the first name when that child is not in the list).
void enterPlayerPick();

// The title, the names in columns, the cursor at the highlighted name and the hint
// centred under the panel, over the menu background; the texts come from the current language's "players"
// screen (English when it has none).
void drawPlayerPick(const ContentScreen *texts);

// The arrows move the highlight (Up and Down within a column, Left and Right across
// columns to the same row, or the last name of a shorter column), with the move sound
// also where it cannot move; Return picks the highlighted child (settings.player) and
// leads to the main menu; Escape goes back to the languages.
bool navigatePlayerPick(NavAction action);
