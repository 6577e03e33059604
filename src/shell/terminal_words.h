// The words --progress and --class-progress print: the content file's, in the language the
// environment asks for, in the terminal's character set.
#pragma once

#include <string>

#include "record/grid_words.h"

// Loads the working directory's plimo.xml and picks the environment's language
// (prepareTerminalLanguage); a file that is there but cannot lend its words is said in one
// line on standard error (one that is simply not there is not: the print is English then,
// as from any other folder).
void prepareTerminalWords();

// The grids' and class view's words after prepareTerminalWords: englishGridWords() when the
// environment's language is English or not one of the file's, else the file's words in
// that language, each converted to the terminal's character set.
GridWords terminalGridWords();

// The line --progress prints when there is no record at path yet, ending in a newline.
std::string noProgressLine(const std::string &path);
