// The practice settings joined to the game: the hooks that let the pace, the shown fact,
// rounds, the pause, missed facts asked again, chosen facts and the game's fact record
// act at the game's moments. With every setting off they leave the game exactly as it
// is: they draw no random number and change nothing the game shows.
#pragma once

// Puts the practice settings' hooks in force (gameHooks); the program does this once at
// start, before the first game.
void installPracticeHooks();
