// The WAV header as the game checks it before the mixer sees a sound effect.
#pragma once

#include <cstddef>
#include <cstdint>

// What a WAV header says about its sound.
struct WavShape {
    int channels = 0;       // 1 or 2
    int bitsPerSample = 0;  // 8 or 16
    uint32_t rate = 0;      // samples a second, 4000..192000
    uint32_t dataBytes = 0; // the length of its sample data
};

// The sample rates an effect may have; SDL 1.2's conversion to the device's rate runs out
// of filter slots far outside them (below 87 Hz it crashes).
constexpr uint32_t MinWavRate = 4000;
constexpr uint32_t MaxWavRate = 192000;

// Why the size bytes of a WAV file must not reach the mixer, or null when they may:
// "RIFF" ... "WAVE"; then, as SDL 1.2 reads them, any "LIST" and "fact" chunks, a "fmt "
// chunk of at least 16 bytes saying PCM, 1 or 2 channels, 8 or 16 bits, a rate of
// 4000..192000 Hz and a block of channels x bits / 8 bytes; and at last a "data" chunk of
// at least one block. Every chunk up to the data lies whole within the file (the loader
// allocates what a chunk claims) and is not empty (SDL 1.2 fails on reading nothing).
// Fills *shape when not null.
const char *wavHeaderFault(const unsigned char *bytes, size_t size, WavShape *shape);
