// The content file's words on a terminal: the language the environment asks for and the
// terminal's character set, for what plimo prints (--progress, --class-progress).
#pragma once

#include <string>

// The language the environment asks messages in: the first of LC_ALL, LC_MESSAGES and
// LANG that is set and not empty decides; its language part ("de" of "de_DE.UTF-8",
// "nb" and "nn" read as "no"), lower case, when a language of the loaded content file
// carries that code; "en" otherwise (C, POSIX, a language the file lacks, nothing set).
std::string languageFromEnvironment();

// Makes the language of the content file whose code attribute is code (ASCII case
// ignored) game.currentLanguage. False, with the current language unchanged, when no
// language carries it (or code is null).
bool selectLanguageByCode(const char *code);

// Loads the content file plimo.xml of the working directory as the game reads it, without
// the game's refusal to start (a file the menus could not use still lends its words), and
// selects the environment's language, else English, else the first. Returns "" or a
// one-line note naming the file and why its words cannot be read; the built-in English
// serves then.
std::string prepareTerminalLanguage();

// The terminal's character set: nl_langinfo(CODESET) under the environment's LC_CTYPE
// (the program's own locale is left as it was). When the system lacks that locale, the
// character set its name states ("de_DE.UTF-8" gives "UTF-8"); else "ANSI_X3.4-1968".
std::string terminalCodeset();

// A text of the content file (ISO-8859-1, the font's soft hyphen standing for a word's
// hyphen) in the character set codeset: converted with iconv, each character iconv cannot
// convert (or every one, when iconv knows neither set) written in plain ASCII ("é" as "e",
// "ß" as "ss"). ASCII bytes pass as they are, so a format's placeholders survive:
// convert a format first, then fill in texts that are already the terminal's (a path).
std::string toTerminalText(const std::string &contentText, const char *codeset);

// toTerminalText in terminalCodeset().
std::string toTerminalText(const std::string &contentText);
