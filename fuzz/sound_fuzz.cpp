// Fuzz target: a sound effect's bytes, loaded by the game's own loadEffect into the open
// mixer (dummy audio driver) as start-up loads the seven effects.
//
// Properties: an effect the header check refuses is never handed to the mixer (so SDL
// 1.2's conversion never sees a rate of 1 Hz, which crashes it); one it accepts loads, in
// the device's format, with as many sample frames as the rate conversion gives it.
#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "audio/audio.h"
#include "audio/wav_header.h"

namespace {

[[noreturn]] void broken(const char *what) {
    fprintf(stderr, "sound property broken: %s\n", what);
    abort();
}

char effectFile[64];

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_AUDIO) < 0 || Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048) < 0) {
        fprintf(stderr, "no dummy audio: %s\n", SDL_GetError());
        abort();
    }
    snprintf(effectFile, sizeof effectFile, "/tmp/plimo-sound-fuzz-%d.wav", int(getpid()));
    atexit([] { remove(effectFile); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FILE *out = fopen(effectFile, "wb");
    if (!out || fwrite(data, 1, size, out) != size || fclose(out) != 0)
        abort();
    WavShape shape;
    bool accepted = wavHeaderFault(data, size, &shape) == nullptr;
    Mix_Chunk *chunk = loadEffect(effectFile);
    if (chunk && !accepted)
        broken("an effect the header check refuses was loaded");
    if (accepted) {
        if (!chunk)
            broken("an effect the header check accepts did not load");
        // The device's frames are 4 bytes (16-bit stereo): the samples, converted.
        if (chunk->alen % 4 != 0)
            broken("a loaded effect is not in whole device frames");
        Mix_FreeChunk(chunk);
    }
    return 0;
}
