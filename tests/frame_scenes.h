// Whole-frame scenes of every screen, set up deterministically from the game's real
// data; shared by the frame checksum test and the benchmarks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The tick every scene is drawn at (manual clock and the pass's `now`), in ms.
constexpr uint32_t SceneTick = 123457;

// One scene: a name and how to put the game state into it.
struct FrameScene {
    const char *name;     // e.g. "main-menu", "playing-heavy"
    void (*setUp)();      // leaves the game state, clock and screen ready for a frame
};

// Every scene, in a fixed order: the screens of the game, several menu selections and
// languages, both help pictures, the burst at several times, and in-game fields from
// typical to heavy.
const std::vector<FrameScene> &frameScenes();

// The scene named name, or null.
const FrameScene *findFrameScene(const std::string &name);

// Loads the pictures, measures the font and reads the content file from the working
// directory, as start-up does but without the audio. Frees pictures loaded by an
// earlier call first.
void loadSceneResources();

// Frees what loadSceneResources loaded and the game state's lists.
void releaseSceneResources();

// Puts the game back to its start-up state (lists and feedback freed), selects the
// first language, seeds rand with a fixed value and sets the clock and `now` to SceneTick.
void resetSceneState();

// FNV-1a 64 over the 640 x 480 pixels of the screen, row by row, each pixel as its four
// bytes from least to most significant.
uint64_t screenChecksum();

// FNV-1a 64 over the problem and particle lists and the field's numbers: the state one
// logic step leaves behind.
uint64_t fieldChecksum();

// Number of particles in flight.
int sceneParticleCount();

// Number of problems on the field.
int sceneProblemCount();
