// The process entry point of the game.
#include "shell/shell.h"

int main(int argc, char **argv) { return runProgram(argc, argv); }
