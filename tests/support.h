// Shared helpers of the test suite: real SDL under dummy drivers, a manual clock,
// scratch working directories, pushed key events and running the real binary.
#pragma once

#include <SDL.h>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/audio.h"

// Starts SDL (video and audio) once for the whole test binary with the dummy drivers,
// opens a 640x480x32 window surface into screenSurface and switches the clock to manual.
void startSdlForTests();

// Frees the problem and particle lists and the feedback text and puts every field of
// the game state back to its start-up value.
void resetGame();

// A fresh scratch directory that becomes the working directory for its lifetime.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;
    const std::string &path() const { return dir; }
    // Writes bytes into the file name inside the directory.
    void write(const std::string &name, const std::string &bytes) const;

  private:
    std::string dir;
    std::string previous;
};

// Queues a key press or release, as the keyboard would.
void pushKeyDown(SDLKey key);
void pushKeyUp(SDLKey key);
// A press that types the character unicode on the player's layout (0 for none).
void pushKeyDownTyping(SDLKey key, Uint16 unicode);
// Press and release.
void pushKeyStroke(SDLKey key);

// Writes a 24-bit BMP of the given size filled by fill(x, y) -> 0xRRGGBB.
void writeBmp(const std::string &path, int width, int height, uint32_t (*fill)(int, int));

// Writes a 16-bit 44.1 kHz stereo WAV of a quiet tone lasting ms milliseconds.
void writeWav(const std::string &path, int ms);

// Opens the real mixer (dummy driver) once per process with the seven effects as
// generated 3-second tones. False when the device could not be opened or an effect did
// not load; sound checks are then skipped.
bool startTestAudio();
// True when sound is what its channel is playing now; true when its channel is silent.
bool soundPlaying(SoundId sound);
bool channelSilent(SoundId sound);

// A 32-bit surface of w x h pixels in the screen's format (unfilled).
SDL_Surface *screenFormatSurface(int w, int h);
// Fills the whole screen surface with colour.
void fillScreen(uint32_t colour);
// How many screen pixels differ from colour.
int pixelsOtherThan(uint32_t colour);

// Result of running a program as a child process.
struct ProcessResult {
    int exitStatus = -1;   // exit code, or -1 when killed by a signal or the time-out
    bool timedOut = false; // killed after the time-out
    std::string out;       // standard output
    std::string err;       // standard error
};

// Runs program with args in directory cwd, with extra environment settings
// ("NAME=value"), killing it after timeoutMs.
ProcessResult runProcess(const std::string &program, const std::vector<std::string> &args,
                         const std::string &cwd, const std::vector<std::string> &env,
                         int timeoutMs);

// Path of the game binary and of the source tree.
std::string plimoBinary();
std::string sourceDir();

// Content files shaped as the menus need them: a language with its langpick, image
// ("lang_<name>.bmp") and name attributes and the five screens, each with the items the
// game needs. Item n of screen s reads text(s, n), by default "<s>-<n>".
using ItemText = std::string (*)(const std::string &screen, int index);
std::string screenXml(const std::string &name, int count, ItemText text = nullptr);
std::string languageXml(const std::string &name, ItemText text = nullptr,
                        const std::string &element = "language");

// s with the first occurrence of from replaced by to; a test failure when from is absent.
std::string replaced(std::string s, const std::string &from, const std::string &to);

// The fixture font picture (characters 33..126 in 32 x 32 cells): the cell of ch holds a
// 10 x 10 block of fixtureGlyphColour(ch) at columns 2..11 (the 1x face shows nine
// columns, advance 9); the cell of '~' is empty.
void writeFixtureFont(const std::string &path);
uint32_t fixtureGlyphColour(int ch);

// The eight start-up pictures (small grey ones and the fixture font) in directory dir.
void writeStartupPictures(const std::string &dir);
