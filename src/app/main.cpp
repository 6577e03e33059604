// The process entry point of the game.
#include "app/shell.h"

int main(int argc, char **argv) { return runProgram(argc, argv); }
