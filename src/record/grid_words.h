// The words of the progress grids and the class view, as one plain record a caller can fill
// in another language (the grids' marks stay the same in every language).
#pragma once

#include <string>
#include <vector>

// How many fact states there are (FactState of record/progress_record.h).
constexpr int FactStateCount = 6;
// How many grids: multiplication, division, addition, subtraction, in that order.
constexpr int GridCount = 4;

// The words --progress and --class-progress print, all in one language and one character
// set (the terminal's): englishGridWords() holds the English they print with no content
// file; the shell fills another from the content file's words in the terminal's language.
struct GridWords {
    std::string words[FactStateCount];  // each state's words, indexed by FactState
    std::string legend[FactStateCount]; // each state's legend line after its mark, by FactState
    std::string legendIntro;            // the line above the legend
    // The heading's format: {1} player, {2} record's file, {3} facts played, {4} games,
    // {5} last day played, each filled once; empty for the English heading, which leaves
    // out the player, games and day it has not got.
    std::string heading;
    std::string gridTitles[GridCount];   // as GridTitles
    std::string stuckLabel;              // before a grid's stuck facts ("Stuck:")
    std::string beyondTwelve;            // the heading of the facts beyond the grids
    std::string operations[GridCount];   // the class view's operation names, in the grids' order
    std::string games, minutes, lastPlayed; // the class view's columns
    std::string classStuck;              // the heading of the facts most children are stuck on
    std::string classNone;               // the class view with no record at all
    // The class view's first line: {1} where the records came from, {2} how many children;
    // empty for the English one, which says "1 child".
    std::string classHeading;
    std::string classMarks;              // the line saying what the columns count
    std::string noneYet;                 // after an operation no child is stuck on
};
const GridWords &englishGridWords();

// text with each {n} (n 1..9) replaced by values[n-1]; a placeholder without a value stays.
std::string filledIn(const std::string &text, const std::vector<std::string> &values);

