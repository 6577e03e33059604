// The name the player typed to start the game, for the lines that tell them what to type.
#include "shell/command_name.h"

#include <cstdlib>

const char *commandName() {
    const char *name = getenv("PLIMO_COMMAND_NAME");
    return name && name[0] != '\0' ? name : "plimo";
}

