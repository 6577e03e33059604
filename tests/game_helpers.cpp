// Shared set-up of the game tests: hand-made problems, a real mixer with tiny effects,
// a small generated font.
#include "game_helpers.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdio>
#include <cstring>
#include <string>

#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/particles.h"
#include "gfx/surface.h"
#include "support.h"

namespace gametest {

Problem *addProblem(const char *text, int32_t answer, int32_t answerDigits, int32_t x, int32_t y) {
    Problem *problem = new Problem{};
    problem->answer = answer;
    problem->answerDigits = answerDigits;
    problem->text = strdup(text);
    problem->x = x;
    problem->y = y;
    problem->next = nullptr;
    appendProblem(problem);
    return problem;
}

int problemCount() {
    int n = 0;
    for (Problem *p = game.problems; p; p = p->next)
        n++;
    return n;
}

int particleCount() {
    int n = 0;
    for (Particle *p = game.particles; p; p = p->next)
        n++;
    return n;
}

static void put16(std::string &s, unsigned v) {
    s.push_back(char(v & 0xFF));
    s.push_back(char((v >> 8) & 0xFF));
}

static void put32(std::string &s, unsigned v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

// A mono 8-bit WAV of a quiet square wave, long enough to still play when checked.
static std::string squareWav(int ms) {
    int frames = 11025 * ms / 1000;
    std::string s = "RIFF";
    put32(s, 36 + frames);
    s += "WAVEfmt ";
    put32(s, 16);
    put16(s, 1);
    put16(s, 1);
    put32(s, 11025);
    put32(s, 11025);
    put16(s, 1);
    put16(s, 8);
    s += "data";
    put32(s, frames);
    for (int i = 0; i < frames; i++)
        s.push_back(char((i / 20) % 2 ? 0x90 : 0x70));
    return s;
}

bool openTestAudio() {
    static int state = 0; // 0 not tried, 1 ready, -1 unavailable
    if (state == 0) {
        ScratchDir dir;
        const char *files[] = {"menuselect.wav", "menumove.wav", "failed.wav", "wrong.wav",
                               "correct.wav",    "cleared.wav",  "typing.wav"};
        for (const char *file : files)
            dir.write(file, squareWav(5000));
        openAudio();
        state = 1;
        for (int i = 0; i < SoundCount; i++)
            if (!sounds[i])
                state = -1;
    }
    return state == 1;
}

void silenceChannels() { Mix_HaltChannel(-1); }

bool soundPlaying(SoundId sound) {
    int channel = soundChannel(sound);
    return Mix_Playing(channel) && Mix_GetChunk(channel) == sounds[sound];
}

bool channelSilent(SoundId sound) { return !Mix_Playing(soundChannel(sound)); }

void installTestFont() {
    static SDL_Surface *font = nullptr;
    if (!font) {
        const SDL_PixelFormat *f = screenSurface->format;
        const int w = 8, cells = 223;
        font = SDL_CreateRGBSurface(SDL_SWSURFACE, w, w * cells, 32, f->Rmask, f->Gmask,
                                    f->Bmask, 0);
        SDL_FillRect(font, nullptr, 0);
        for (int cell = 0; cell < cells; cell++)
            for (int r = 1; r <= 6; r++)
                for (int k = 1; k <= 6; k++)
                    pixelAt(font, k, cell * w + r) = 0xFFFFFF;
    }
    fontImage = font;
    measureFont();
}

} // namespace gametest
