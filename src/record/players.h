// Players by name (--player, --class): which names a child may go by, and the one
// spelling a name is kept under and compared by.
#pragma once

#include <string>

// The most characters a player's name holds.
constexpr int PlayerNameMaxChars = 24;

// Checks a name given in UTF-8: trimmed of spaces at both ends, it must hold 1 to
// PlayerNameMaxChars characters, each a letter the game's font draws in one of its
// languages (A-Z, a-z and the accented letters of Danish, German, English, Spanish,
// Finnish, French, Italian, Dutch, Norwegian, Portuguese, Swedish and Catalan: the
// letters of ISO-8859-1), a digit, a space, a hyphen or an apostrophe, and not begin
// with a dot. So no name holds a '/' or a '.', and none can lead out of a folder. True
// with the trimmed name in canonical (as given otherwise, in UTF-8); false with why (one
// clause naming what is wrong, without the name itself) and canonical untouched. A null
// given is an empty name.
bool checkPlayerName(const char *given, std::string *canonical, std::string *why);

// The name as names are compared: its letters in lower case ("Ana" and "ANA " are one
// child). name is a canonical name.
std::string playerKey(const std::string &name);
