// The BMP and WAV header checks that stand before SDL's picture loader and the mixer:
// every well-formed kind passes, every malformed one is named, and what they refuse never
// reaches the libraries (the crash on a 1 Hz effect, the loader's reads past a cut header).
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "audio/audio.h"
#include "audio/wav_header.h"
#include "gfx/bmp_header.h"
#include "gfx/images.h"
#include "support.h"

namespace {

void put16(std::string &s, unsigned v) {
    s.push_back(char(v & 0xFF));
    s.push_back(char((v >> 8) & 0xFF));
}
void put32(std::string &s, uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

// A BMP with an info header of infoSize bytes (12: the old core header), the palette
// and masks it needs, and rows of zero pixels.
struct Bmp {
    int32_t width = 4, height = 3;
    int bits = 24;
    uint32_t infoSize = 40, compression = 0, colours = 0;
    int paletteEntries = 0;
    bool masks = false;
    std::string bytes() const {
        std::string info;
        put32(info, infoSize);
        if (infoSize == 12) {
            put16(info, unsigned(width));
            put16(info, unsigned(height));
            put16(info, 1);
            put16(info, unsigned(bits));
        } else {
            put32(info, uint32_t(width));
            put32(info, uint32_t(height));
            put16(info, 1);
            put16(info, unsigned(bits));
            put32(info, compression);
            put32(info, 0);
            put32(info, 2835);
            put32(info, 2835);
            put32(info, colours);
            put32(info, 0);
            info.resize(infoSize, '\0');
        }
        if (masks) {
            put32(info, 0xF800);
            put32(info, 0x07E0);
            put32(info, 0x001F);
        }
        info += std::string(size_t(paletteEntries) * (infoSize == 12 ? 3 : 4), '\x40');
        uint32_t at = 14 + uint32_t(info.size());
        long long rowBytes = (static_cast<long long>(width) * bits + 31) / 32 * 4;
        long long rows = height < 0 ? -static_cast<long long>(height) : height;
        std::string s = "BM";
        put32(s, 0);
        put32(s, 0);
        put32(s, at);
        s += info;
        if (rowBytes > 0 && rowBytes * rows < 4 << 20)
            s += std::string(size_t(rowBytes * rows), '\0');
        return s;
    }
};

Bmp with(void (*change)(Bmp &)) {
    Bmp b;
    change(b);
    return b;
}

TEST(BmpHeader, WellFormedKindsPassAndEveryFaultIsNamed) {
    struct Case {
        const char *label;
        std::string bytes;
        const char *fault; // null: accepted; otherwise a word of the reason
        int32_t maxSide = MaxBmpSide;
    };
    std::string cut = Bmp().bytes();
    const Case cases[] = {
        {"24 bits", Bmp().bytes(), nullptr},
        {"top-down 32 bits", with([](Bmp &b) { b.height = -3, b.bits = 32; }).bytes(), nullptr},
        {"8 bits, 256 colours", with([](Bmp &b) { b.bits = 8, b.paletteEntries = 256; }).bytes(), nullptr},
        {"4 bits, 5 colours", with([](Bmp &b) { b.bits = 4, b.colours = 5, b.paletteEntries = 5; }).bytes(), nullptr},
        {"1 bit, 2 colours", with([](Bmp &b) { b.bits = 1, b.paletteEntries = 2; }).bytes(), nullptr},
        {"core header, 24 bits", with([](Bmp &b) { b.infoSize = 12; }).bytes(), nullptr},
        {"16 bits, bit fields", with([](Bmp &b) { b.bits = 16, b.compression = 3, b.masks = true; }).bytes(), nullptr},
        {"version 5 header", with([](Bmp &b) { b.infoSize = 124; }).bytes(), nullptr},
        {"640 x 480 within the screen", with([](Bmp &b) { b.width = 640, b.height = 480; }).bytes(), nullptr, 640},

        {"empty", "", "not a BMP"},
        {"a PNG", "\x89PNG\r\n\x1a\n", "not a BMP"},
        {"the file header only", cut.substr(0, 14), "cut short"},
        {"cut at 22 bytes", cut.substr(0, 22), "cut short"},
        {"cut in the info header", cut.substr(0, 40), "cut short"},
        {"info header of 20 bytes", with([](Bmp &b) { b.infoSize = 20; }).bytes(), "unknown size"},
        {"no width", with([](Bmp &b) { b.width = 0; }).bytes(), "no pixels"},
        {"negative width", with([](Bmp &b) { b.width = -4; }).bytes(), "no pixels"},
        {"no height", with([](Bmp &b) { b.height = 0; }).bytes(), "no pixels"},
        {"height INT_MIN", with([](Bmp &b) { b.height = INT_MIN; }).bytes(), "larger"},
        {"641 wide for a 640 screen", with([](Bmp &b) { b.width = 641; }).bytes(), "larger", 640},
        {"32768 high", with([](Bmp &b) { b.width = 1, b.height = 32768; }).bytes(), "larger"},
        {"16383 x 16383 in 54 bytes", with([](Bmp &b) { b.width = b.height = 16383; }).bytes().substr(0, 54), "cut short"},
        {"4100 bits", with([](Bmp &b) { b.bits = 4100; }).bytes(), "bit depth"},
        {"RLE compressed", with([](Bmp &b) { b.bits = 8, b.compression = 1, b.paletteEntries = 256; }).bytes(), "compressed"},
        {"300 colours for 8 bits", with([](Bmp &b) { b.bits = 8, b.colours = 300, b.paletteEntries = 300; }).bytes(), "palette"},
        {"palette cut short", with([](Bmp &b) { b.bits = 8, b.paletteEntries = 256; }).bytes().substr(0, 54 + 1000), "cut short"},
        {"the last pixel row cut short", cut.substr(0, cut.size() - 1), "cut short"},
        {"bit fields without their masks", with([](Bmp &b) { b.bits = 16, b.compression = 3; }).bytes().substr(0, 60), "cut short"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        const unsigned char *bytes = reinterpret_cast<const unsigned char *>(c.bytes.data());
        BmpShape shape;
        const char *fault = bmpHeaderFault(bytes, c.bytes.size(), c.bytes.size(), c.maxSide, c.maxSide, &shape);
        if (!c.fault) {
            EXPECT_EQ(nullptr, fault) << fault;
            EXPECT_LE(shape.bytesNeeded, c.bytes.size());
        } else {
            ASSERT_NE(nullptr, fault);
            EXPECT_NE(nullptr, strstr(fault, c.fault)) << fault;
        }
    }
}

// Through the game's reader: accepted pictures load with the header's size, refused ones
// never reach SDL's loader and leave the reason as SDL's error.
TEST(BmpHeader, ReadBmpLoadsWhatPassesAndRefusesTheRest) {
    startSdlForTests();
    ScratchDir dir;
    dir.write("good.bmp", with([](Bmp &b) { b.width = 5, b.height = -7, b.bits = 8, b.paletteEntries = 256; }).bytes());
    SDL_Surface *good = readBmp("good.bmp");
    ASSERT_NE(nullptr, good) << SDL_GetError();
    EXPECT_EQ(5, good->w);
    EXPECT_EQ(7, good->h);
    SDL_FreeSurface(good);

    // The reason is the check's: SDL's loader never saw these (it read values it never
    // read from the first, and allocated 1 GiB for the last on sdl12-compat).
    struct Fault {
        const char *file;
        const char *reason;
    } faults[] = {
        {"header_cut_at_22.bmp", "the BMP header is cut short"},
        {"height_int_min.bmp", "the BMP header claims a picture larger than allowed"},
        {"claims_16383_square.bmp", "the BMP file is cut short"},
    };
    for (const Fault &f : faults) {
        const char *fault = f.file;
        SCOPED_TRACE(fault);
        FILE *in = fopen((sourceDir() + "/tests/data/faults/" + fault).c_str(), "rb");
        ASSERT_NE(nullptr, in);
        std::string bytes(4096, '\0');
        bytes.resize(fread(&bytes[0], 1, bytes.size(), in));
        fclose(in);
        dir.write(fault, bytes);
        EXPECT_EQ(nullptr, readBmp(fault));
        EXPECT_STREQ(f.reason, SDL_GetError());
    }
    EXPECT_EQ(nullptr, readBmp("missing.bmp"));
}

// A PCM WAV: the fmt fields, the samples, and chunks placed before the format.
struct Wav {
    unsigned format = 1, channels = 1, bits = 16, blockBytes = 0;
    uint32_t rate = 22050, dataBytes = 64, fmtBytes = 16;
    std::string before, after; // whole chunks before "fmt " and between it and "data"
    bool dataFirst = false;
    std::string bytes() const {
        std::string fmt = "fmt ";
        put32(fmt, fmtBytes);
        std::string fields;
        put16(fields, format);
        put16(fields, channels);
        put32(fields, rate);
        put32(fields, rate * channels * bits / 8);
        put16(fields, blockBytes ? blockBytes : channels * bits / 8);
        put16(fields, bits);
        fields.resize(fmtBytes, '\0');
        fmt += fields;
        std::string data = "data";
        put32(data, dataBytes);
        data += std::string(dataBytes < 4096 ? dataBytes : 16, '\x10');
        std::string body = "WAVE" + before + (dataFirst ? data + fmt : fmt + after + data);
        std::string s = "RIFF";
        put32(s, uint32_t(body.size()));
        return s + body;
    }
};

Wav wav(void (*change)(Wav &)) {
    Wav w;
    change(w);
    return w;
}

std::string chunk(const char *id, uint32_t length) {
    std::string s = id;
    put32(s, length);
    return s + std::string(length < 4096 ? length : 0, 'x');
}

TEST(WavHeader, WellFormedKindsPassAndEveryFaultIsNamed) {
    struct Case {
        const char *label;
        std::string bytes;
        const char *fault;
    };
    std::string good = Wav().bytes();
    const Case cases[] = {
        {"mono 16 bits", good, nullptr},
        {"stereo 8 bits 4000 Hz", wav([](Wav &w) { w.channels = 2, w.bits = 8, w.rate = 4000; }).bytes(), nullptr},
        {"192000 Hz", wav([](Wav &w) { w.rate = 192000; }).bytes(), nullptr},
        {"LIST and fact before the format", wav([](Wav &w) { w.before = chunk("LIST", 10) + chunk("fact", 4); }).bytes(), nullptr},
        {"a cue chunk before the data", wav([](Wav &w) { w.after = chunk("cue ", 28); }).bytes(), nullptr},
        {"an 18-byte format chunk", wav([](Wav &w) { w.fmtBytes = 18; }).bytes(), nullptr},

        {"empty", "", "not a WAV"},
        {"RIFF without WAVE", "RIFF\x04\0\0\0AVI ", "not a WAV"},
        {"a RIFF length that reads WAVE", "RIFFWAVE" + good.substr(8), "reads WAVE"},
        {"an Ogg file", "OggS\0\x02\0\0\0\0\0\0\0\0", "not a WAV"},
        {"the RIFF header only", good.substr(0, 12), "no format"},
        {"data before the format", wav([](Wav &w) { w.dataFirst = true; }).bytes(), "no format chunk where"},
        {"another chunk before the format", wav([](Wav &w) { w.before = chunk("junk", 4); }).bytes(), "no format chunk where"},
        {"a 14-byte format chunk", wav([](Wav &w) { w.fmtBytes = 14; }).bytes(), "format chunk is cut short"},
        {"cut in the format chunk", good.substr(0, 30), "cut short"},
        {"floating-point samples", wav([](Wav &w) { w.format = 3, w.bits = 32; }).bytes(), "PCM"},
        {"extensible format", wav([](Wav &w) { w.format = 0xFFFE; }).bytes(), "PCM"},
        {"ADPCM", wav([](Wav &w) { w.format = 2, w.bits = 4; }).bytes(), "PCM"},
        {"no channels", wav([](Wav &w) { w.channels = 0; }).bytes(), "mono"},
        {"256 channels", wav([](Wav &w) { w.channels = 256, w.bits = 8; }).bytes(), "mono"},
        {"24 bits", wav([](Wav &w) { w.bits = 24; }).bytes(), "bits"},
        {"1 Hz", wav([](Wav &w) { w.rate = 1; }).bytes(), "sample rate"},
        {"3999 Hz", wav([](Wav &w) { w.rate = 3999; }).bytes(), "sample rate"},
        {"192001 Hz", wav([](Wav &w) { w.rate = 192001; }).bytes(), "sample rate"},
        {"22579200 Hz", wav([](Wav &w) { w.rate = 22579200; }).bytes(), "sample rate"},
        {"a block of 3 bytes for mono 16 bits", wav([](Wav &w) { w.blockBytes = 3; }).bytes(), "block"},
        {"no samples", wav([](Wav &w) { w.dataBytes = 0; }).bytes(), "no sample data"},
        {"no data chunk", good.substr(0, 36), "no sample data"},
        {"data claiming 4 GiB", wav([](Wav &w) { w.dataBytes = 0xFFFFFFF0u; }).bytes(), "sample data is cut short"},
        {"an empty chunk before the data", wav([](Wav &w) { w.after = chunk("cue ", 0); }).bytes(), "empty chunk"},
        {"an empty LIST before the format", wav([](Wav &w) { w.before = chunk("LIST", 0); }).bytes(), "empty chunk"},
        {"a chunk claiming 4 GiB before the data", wav([](Wav &w) { w.after = chunk("cue ", 0xFFFFFFF0u); }).bytes(), "chunk is cut short"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        const char *fault = wavHeaderFault(reinterpret_cast<const unsigned char *>(c.bytes.data()), c.bytes.size(), nullptr);
        if (!c.fault) {
            EXPECT_EQ(nullptr, fault) << fault;
        } else {
            ASSERT_NE(nullptr, fault);
            EXPECT_NE(nullptr, strstr(fault, c.fault)) << fault;
        }
    }
}

// Through the game's loader with the mixer open: a good effect loads, a broken one is
// silent with one line naming its file (on classic SDL the 1 Hz one crashed in the
// conversion), a missing one as before.
TEST(WavHeader, BrokenEffectIsSilentWithOneLine) {
    startSdlForTests();
    if (!startTestAudio())
        GTEST_SKIP() << "no audio device";
    ScratchDir dir;
    dir.write("good.wav", wav([](Wav &w) { w.channels = 2, w.rate = 11025; }).bytes());
    // Converted from this rate, the samples end inside a device frame.
    dir.write("odd_rate.wav", wav([](Wav &w) { w.rate = 131073, w.dataBytes = 102; }).bytes());
    FILE *in = fopen((sourceDir() + "/tests/data/faults/rate_1_hz.wav").c_str(), "rb");
    ASSERT_NE(nullptr, in);
    std::string oneHz(4096, '\0');
    oneHz.resize(fread(&oneHz[0], 1, oneHz.size(), in));
    fclose(in);
    dir.write("broken.wav", oneHz);

    testing::internal::CaptureStderr();
    Mix_Chunk *good = loadEffect("good.wav");
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
    ASSERT_NE(nullptr, good);
    Mix_FreeChunk(good);
    Mix_Chunk *odd = loadEffect("odd_rate.wav");
    ASSERT_NE(nullptr, odd);
    EXPECT_EQ(0u, odd->alen % 4) << "the effect ends inside a 16-bit stereo frame";
    Mix_FreeChunk(odd);

    struct Case {
        const char *file;
        const char *line;
    } cases[] = {
        {"broken.wav", "broken.wav: a sample rate outside 4000..192000 Hz, this effect stays silent\n"},
        // What the data-file reader refuses is named with its reason, as the music's is.
        {"missing.wav", "missing.wav: cannot load, this effect stays silent: No such file or directory\n"},
        {"folder.wav", "folder.wav: cannot load, this effect stays silent: not a regular file\n"},
        // Over the reader's limit: refused whole, never cut short and played.
        {"big.wav", "big.wav: cannot load, this effect stays silent: larger than 16777216 bytes\n"},
    };
    ASSERT_EQ(0, mkdir((dir.path() + "/folder.wav").c_str(), 0755));
    std::string big = wav([](Wav &w) { w.dataBytes = 16 << 20; }).bytes();
    big.resize((16 << 20) + 44, '\x10');
    dir.write("big.wav", big);
    for (const Case &c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(nullptr, loadEffect(c.file)) << c.file;
        EXPECT_EQ(c.line, testing::internal::GetCapturedStderr());
    }
}

} // namespace
