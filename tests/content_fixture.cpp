// Test helpers shared by the content and menu tests: content files, WAVs, the start-up
// picture set and a fixture font. Each test file that uses them declares them itself.
#include <SDL.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "audio/audio.h"
#include "content/content.h"
#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/surface.h"
#include "support.h"

namespace contentFixture {

// The default text of an item: "<screen>-<index>".
std::string defaultItemText(const std::string &screen, int index) {
    return screen + "-" + std::to_string(index);
}

// One screen element with count items.
std::string screenXml(const std::string &name, int count,
                      std::string (*text)(const std::string &, int) = defaultItemText) {
    std::string s = "  <screen name=\"" + name + "\">\n";
    for (int i = 1; i <= count; i++)
        s += "    <item text=\"" + text(name, i) + "\"/>\n";
    return s + "  </screen>\n";
}

// A complete language: the three attributes and the five screens with the items they need.
std::string languageXml(const std::string &name,
                        std::string (*text)(const std::string &, int) = defaultItemText,
                        const std::string &element = "language") {
    std::string s = "<" + element + " langpick=\"pick-" + name + "\" image=\"lang_" + name +
                    ".bmp\" name=\"" + name + "\">\n";
    for (const ContentScreen &screen : contentScreens)
        s += screenXml(screen.name, screen.itemsNeeded, text);
    return s + "</" + element + ">\n";
}

static void put16(std::string &s, unsigned v) {
    s.push_back(char(v & 0xFF));
    s.push_back(char((v >> 8) & 0xFF));
}
static void put32(std::string &s, unsigned v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

// One second of 16-bit stereo 44.1 kHz silence as a WAV file.
void writeSilentWav(const std::string &path) {
    const unsigned frames = 44100, bytes = frames * 4;
    std::string s = "RIFF";
    put32(s, 36 + bytes);
    s += "WAVEfmt ";
    put32(s, 16);
    put16(s, 1);
    put16(s, 2);
    put32(s, 44100);
    put32(s, 44100 * 4);
    put16(s, 4);
    put16(s, 16);
    s += "data";
    put32(s, bytes);
    s.append(bytes, '\0');
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        abort();
    fwrite(s.data(), 1, s.size(), f);
    fclose(f);
}

// The seven effect files, in the current directory.
void writeEffects() {
    for (const char *name : {"menuselect.wav", "menumove.wav", "failed.wav", "wrong.wav",
                             "correct.wav", "cleared.wav", "typing.wav"})
        writeSilentWav(name);
}

// The fixture font's colour for character ch: distinct per character, never 0.
uint32_t fixtureGlyphColour(int ch) { return 0x800000u | (uint32_t(ch) << 8) | 0x40u; }

// Cell of character ch holds a 10 x 10 block at columns 2..11 (so the 1x face shows
// columns 2..10: nine pixels, advance 9); '~' (126) is an empty cell.
static uint32_t fixtureFontPixel(int x, int y) {
    int ch = 33 + y / 32, row = y % 32;
    if (ch == '~' || row >= 10 || x < 2 || x > 11)
        return 0;
    return fixtureGlyphColour(ch);
}

// Writes the fixture font (characters 33..126) as a 24-bit BMP.
void writeFixtureFont(const std::string &path) { writeBmp(path, 32, 32 * 94, fixtureFontPixel); }

static uint32_t grey(int, int) { return 0x808080; }

// The eight start-up pictures, the fixture font among them, in the current directory.
void writeStartupPictures() {
    for (const char *name : {"splash.bmp", "menubg.bmp", "help_plusminus.bmp", "help.bmp",
                             "ingame_neutral.bmp", "ingame_good.bmp", "ingame_bad.bmp"})
        writeBmp(name, 640, 480, grey);
    writeFixtureFont("font_32.bmp");
}

// Makes the fixture font the game's font (converted to the screen format) and measures it.
void useFixtureFont() {
    static SDL_Surface *fixture = nullptr;
    if (!fixture) {
        std::string path = "/tmp/plimo-fixture-font-" + std::to_string(getpid()) + ".bmp";
        writeFixtureFont(path);
        SDL_Surface *loaded = SDL_LoadBMP(path.c_str());
        remove(path.c_str());
        if (!loaded)
            abort();
        fixture = SDL_ConvertSurface(loaded, screenSurface->format, SDL_SWSURFACE);
        SDL_FreeSurface(loaded);
    }
    fontImage = fixture;
    measureFont();
}

// Opens the audio device once, with the silent effects, so that sounds[] are loaded.
void openTestAudio() {
    if (sounds[SoundMenuSelect] && sounds[SoundMenuMove])
        return;
    ScratchDir dir;
    writeEffects();
    openAudio();
}

} // namespace contentFixture
