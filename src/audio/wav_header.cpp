// The WAV header check made before the mixer sees a sound effect.
#include "audio/wav_header.h"

#include <cstring>

#include "ground/little_endian.h"

const char *wavHeaderFault(const unsigned char *bytes, size_t size, WavShape *shape) {
    if (size < 12 || memcmp(bytes, "RIFF", 4) != 0 || memcmp(bytes + 8, "WAVE", 4) != 0)
        return "not a WAV file";
    // SDL 1.2 takes a length that reads "WAVE" for a file without one, and so reads its
    // chunks from another place than the ones checked here.
    if (memcmp(bytes + 4, "WAVE", 4) == 0)
        return "a RIFF length that reads WAVE";
    // Chunks follow one another with no padding between them, as SDL 1.2 reads them.
    size_t at = 12;
    const unsigned char *format = nullptr;
    for (;;) {
        if (size - at < 8)
            return format ? "no sample data" : "no format chunk";
        const unsigned char *chunk = bytes + at;
        uint32_t length = le32(chunk + 4);
        bool data = memcmp(chunk, "data", 4) == 0;
        if (!format) {
            bool skipped = memcmp(chunk, "LIST", 4) == 0 || memcmp(chunk, "fact", 4) == 0;
            if (!skipped && memcmp(chunk, "fmt ", 4) != 0)
                return "no format chunk where one belongs";
            if (!skipped && length < 16)
                return "the format chunk is cut short";
            if (!skipped)
                format = chunk + 8;
        }
        if (length > size - at - 8)
            return data ? "the sample data is cut short" : "a chunk is cut short";
        // SDL 1.2 reads each chunk it meets as one block, and an empty one as a failed read.
        if (length == 0)
            return data ? "no sample data" : "an empty chunk";
        if (data && format)
            break;
        at += 8 + size_t(length);
    }
    const unsigned char *chunk = bytes + at;
    uint32_t dataBytes = le32(chunk + 4);
    if (le16(format) != 1)
        return "not plain PCM samples";
    int channels = le16(format + 2);
    uint32_t rate = le32(format + 4);
    int blockBytes = le16(format + 12);
    int bits = le16(format + 14);
    if (channels < 1 || channels > 2)
        return "neither mono nor stereo";
    if (bits != 8 && bits != 16)
        return "neither 8 nor 16 bits a sample";
    if (rate < MinWavRate || rate > MaxWavRate)
        return "a sample rate outside 4000..192000 Hz";
    if (blockBytes != channels * bits / 8)
        return "a block size that does not match its channels and bits";
    if (dataBytes < uint32_t(blockBytes))
        return "no sample data";
    if (shape) {
        shape->channels = channels;
        shape->bitsPerSample = bits;
        shape->rate = rate;
        shape->dataBytes = dataBytes;
    }
    return nullptr;
}
