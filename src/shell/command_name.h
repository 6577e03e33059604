// The name the player typed to start the game, for the lines that tell them what to type.
#pragma once

// The command's name as messages and --help should write it: the launcher's name when a
// launcher named itself in PLIMO_COMMAND_NAME (./play.sh does, since a checkout has no
// plimo on the PATH), otherwise "plimo", the installed command. Never null or empty;
// the text stays valid for the whole run. A launcher that names itself starts the game
// in a window unless --fullscreen is given (it passes "window" on).
const char *commandName();

