// Players by name: the names a child may go by, --player and --class as the command line
// reads them, every accepted letter in the game's font, and a refused name stopping the
// real program before any window with nothing written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <string>
#include <vector>

#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/surface.h"
#include "ground/settings.h"
#include "menu/player_pick.h"
#include "record/players.h"
#include "shell/options.h"
#include "support.h"

namespace {

struct NameCase {
    const char *given;
    const char *canonical; // null: refused
    const char *why;       // the start of the reason when refused
};

TEST(PlayerNames, AcceptedTrimmedOrRefusedWithTheReason) {
    const std::string letters = "\xc3\x80\xc3\x96\xc3\x98\xc3\xb6\xc3\xb8\xc3\xbf"; // ÀÖØöøÿ
    const std::string twentyFourTwoByte = "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9"
                                          "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9"
                                          "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9";
    const std::string more = std::string("  ") + twentyFourTwoByte + " ";
    const NameCase cases[] = {
        {"Ana", "Ana", nullptr},
        {"  ana  ", "ana", nullptr},
        {"Anne-Marie O'Neil", "Anne-Marie O'Neil", nullptr},
        {"Zo\xc3\xab 2", "Zo\xc3\xab 2", nullptr},
        {letters.c_str(), letters.c_str(), nullptr},
        {"\xc3\x9f", "\xc3\x9f", nullptr},                              // ß
        {"abcdefghijklmnopqrstuvwx", "abcdefghijklmnopqrstuvwx", nullptr}, // 24
        {more.c_str(), twentyFourTwoByte.c_str(), nullptr},              // 24 characters, 48 bytes
        {"abcdefghijklmnopqrstuvwxy", nullptr, "a name holds at most 24 characters, and this one 25"},
        {"", nullptr, "a name needs at least one character"},
        {"   ", nullptr, "a name needs at least one character"},
        {nullptr, nullptr, "a name needs at least one character"},
        {"../x", nullptr, "a name holds only letters, digits, spaces, hyphens and apostrophes, and '.' is"},
        {".hidden", nullptr, "a name holds only letters, digits, spaces, hyphens and apostrophes, and '.' is"},
        {"a/b", nullptr, "a name holds only letters, digits, spaces, hyphens and apostrophes, and '/' is"},
        {"a\\b", nullptr, "a name holds only letters, digits, spaces, hyphens and apostrophes, and '\\' is"},
        {"A\tB", nullptr, "a name holds only letters, digits, spaces, hyphens and apostrophes, and U+0009 is"},
        {"Ana,Ben", nullptr, "a name holds only letters, digits, spaces, hyphens and apostrophes, and ',' is"},
        {"2\xc3\x97" "3", nullptr, "a name holds only letters, digits, spaces, hyphens and apostrophes, and U+00D7"},
        {"\xc3\xb7", nullptr, "a name holds only letters, digits, spaces, hyphens and apostrophes, and U+00F7"},
        {"\xc2\xaa", nullptr, "a name holds only letters, digits, spaces, hyphens and apostrophes, and U+00AA"},
        {"\xc5\xb8", nullptr, "a name holds only letters, digits, spaces, hyphens and apostrophes, and U+0178"},
        {"D\xe2\x80\x99" "Angelo", nullptr, "a name holds only letters, digits, spaces, hyphens and apostrophes, and U+2019"},
        {"Jo\xe9", nullptr, "a name is written in UTF-8, and byte 0xE9 starts no character of it"},
        {"\xc0\xae\xc0\xae", nullptr, "a name is written in UTF-8, and byte 0xC0"},   // an overlong '.'
        {"\xed\xa0\x80", nullptr, "a name is written in UTF-8, and byte 0xED"},       // a surrogate
        {"\xe0\x81\x81", nullptr, "a name is written in UTF-8, and byte 0xE0"},       // an overlong 'A'
        {"\xc3", nullptr, "a name is written in UTF-8, and byte 0xC3"},               // cut short
    };
    for (const NameCase &c : cases) {
        SCOPED_TRACE(c.given ? c.given : "(null)");
        std::string canonical = "untouched", why;
        bool ok = checkPlayerName(c.given, &canonical, &why);
        EXPECT_EQ(ok, c.canonical != nullptr) << why;
        if (c.canonical) {
            EXPECT_EQ(canonical, c.canonical);
        } else {
            EXPECT_EQ(canonical, "untouched");
            EXPECT_EQ(why.compare(0, strlen(c.why), c.why), 0) << why;
        }
    }
}

TEST(PlayerNames, OneChildHoweverTheCaseIsWritten) {
    const std::pair<const char *, const char *> keys[] = {
        {"Ana", "ana"},
        {"ANA-MARIA O'NEIL", "ana-maria o'neil"},
        {"\xc3\x80NGEL", "\xc3\xa0ngel"},                        // ÀNGEL
        {"\xc3\x86\xc3\x98\xc3\x85", "\xc3\xa6\xc3\xb8\xc3\xa5"}, // ÆØÅ
        {"\xc3\x9e\xc3\x9f", "\xc3\xbe\xc3\x9f"},                 // Þ lowered, ß stays
        {"\xc3\xbf" "Z9", "\xc3\xbf" "z9"},                       // ÿ stays
    };
    for (const auto &k : keys)
        EXPECT_EQ(playerKey(k.first), k.second) << k.first;
}

// Every character a name may hold has ink in the game's own font, as the menus draw it.
TEST(PlayerNames, EveryAcceptedCharacterHasInkInTheGamesFont) {
    startSdlForTests();
    SDL_Surface *saved = fontImage;
    // In the screen's format, as start-up loads it.
    SDL_Surface *loaded = SDL_LoadBMP((sourceDir() + "/data/font_32.bmp").c_str());
    ASSERT_NE(loaded, nullptr);
    SDL_Surface *font = SDL_ConvertSurface(loaded, screenSurface->format, SDL_SWSURFACE);
    SDL_FreeSurface(loaded);
    ASSERT_NE(font, nullptr);
    fontImage = font;
    measureFont();
    int accepted = 0;
    for (int c = 0x21; c <= 0xFF; c++) {
        char utf8[3] = {static_cast<char>(c), 0, 0};
        if (c >= 0x80) {
            utf8[0] = static_cast<char>(0xC0 | (c >> 6));
            utf8[1] = static_cast<char>(0x80 | (c & 0x3F));
        }
        std::string canonical, why;
        if (!checkPlayerName(utf8, &canonical, &why))
            continue;
        accepted++;
        std::string drawn = drawnName(canonical.c_str());
        ASSERT_EQ(drawn.size(), 1u) << c;
        int byte = static_cast<unsigned char>(drawn[0]);
        EXPECT_EQ(byte, c == '-' ? 0xAD : c) << "a hyphen is drawn as the word hyphen";
        EXPECT_GT(glyphWidth[byte - 33], 0) << "no ink for character " << c;
    }
    // 26 + 26 letters, 10 digits, hyphen, apostrophe, 62 of ISO-8859-1's letters.
    EXPECT_EQ(accepted, 26 + 26 + 10 + 2 + 62);
    fontImage = saved;
    measureFont();
    SDL_FreeSurface(font);
}

class PlayerOptions : public ::testing::Test {
  protected:
    void SetUp() override { settings = Settings{}; }
    void TearDown() override { settings = Settings{}; }
    char why[1024] = "";
};

TEST_F(PlayerOptions, PlayerTakesTheTrimmedNameOrIsRefusedNamingIt) {
    EXPECT_EQ(readOption("--player= Zo\xc3\xab ", why, sizeof why), OptionApplied);
    EXPECT_STREQ(settings.player, "Zo\xc3\xab");
    EXPECT_FALSE(settings.remember) << "a player alone keeps no record unless asked";
    EXPECT_TRUE(settings.window);
    struct Refused {
        const char *word, *why;
    };
    const Refused refused[] = {
        {"--player", "--player: needs a name, as in --player=Ana"},
        {"--player=", "--player=: a name needs at least one character, and this one is empty"},
        {"--player=../x",
         "--player=../x: a name holds only letters, digits, spaces, hyphens and apostrophes, and '.' is none of these"},
        {"--player=abcdefghijklmnopqrstuvwxy",
         "--player=abcdefghijklmnopqrstuvwxy: a name holds at most 24 characters, and this one 25"},
        // Control bytes and stray bytes never reach the terminal; a long name is cut.
        {"--player=\x1b[2J\xe9",
         "--player=?[2J?: a name holds only letters, digits, spaces, hyphens and apostrophes, and U+001B is none of these"},
        {"--player=abcdefghijklmnopqrstuvwxyzabcdefgh",
         "--player=abcdefghijklmnopqrstuvwxyzabcdef...: a name holds at most 24 characters, and this one 34"},
    };
    for (const Refused &r : refused) {
        EXPECT_EQ(readOption(r.word, why, sizeof why), BadOptionValue) << r.word;
        EXPECT_STREQ(why, r.why);
        EXPECT_STREQ(settings.player, "Zo\xc3\xab") << "a refused name changes nothing";
    }
}

TEST_F(PlayerOptions, ClassTakesUpToFortyNamesEachOnceAndKeepsTheirRecords) {
    EXPECT_EQ(readOption("--class=Ana, Ben ,\xc3\x80ngel", why, sizeof why), OptionApplied);
    ASSERT_EQ(settings.classList.count, 3);
    EXPECT_STREQ(settings.classList.names[0], "Ana");
    EXPECT_STREQ(settings.classList.names[1], "Ben");
    EXPECT_STREQ(settings.classList.names[2], "\xc3\x80ngel");
    EXPECT_TRUE(settings.remember) << "a class keeps each child's record";

    std::string forty = "--class=1";
    for (int i = 2; i <= 40; i++)
        forty += "," + std::to_string(i);
    EXPECT_EQ(readOption(forty.c_str(), why, sizeof why), OptionApplied);
    EXPECT_EQ(settings.classList.count, 40);
    EXPECT_STREQ(settings.classList.names[39], "40");

    struct Refused {
        std::string word;
        const char *why;
    };
    const Refused refused[] = {
        {forty + ",41", "--class: more than 40 names (41 given)"},
        {forty + ",41,42", "--class: more than 40 names (42 given)"},
        {"--class", "--class: needs names, as in --class=Ana,Ben,Cleo"},
        {"--class=", "--class: name 1 (\"\"): a name needs at least one character, and this one is empty"},
        {"--class=Ana,,Ben", "--class: name 2 (\"\"): a name needs at least one character, and this one is empty"},
        {"--class=Ana,Ben,", "--class: name 3 (\"\"): a name needs at least one character, and this one is empty"},
        {"--class=Ana,Ben,ana ", "--class: names 1 (\"Ana\") and 3 (\"ana \") are one child"},
        {"--class=\xc3\x80ngel,\xc3\xa0NGEL", "--class: names 1 (\"\xc3\x80ngel\") and 2 (\"\xc3\xa0NGEL\") are one child"},
        {"--class=Ana,../x",
         "--class: name 2 (\"../x\"): a name holds only letters, digits, spaces, hyphens and apostrophes, and '.' is "
         "none of these"},
    };
    for (const Refused &r : refused) {
        EXPECT_EQ(readOption(r.word.c_str(), why, sizeof why), BadOptionValue) << r.word;
        EXPECT_STREQ(why, r.why);
        EXPECT_EQ(settings.classList.count, 40) << "a refused list changes nothing";
    }
}

bool emptyFolder(const std::string &path) {
    DIR *d = opendir(path.c_str());
    if (!d)
        return false;
    int entries = 0;
    while (dirent *e = readdir(d))
        entries += std::string(e->d_name) != "." && std::string(e->d_name) != "..";
    closedir(d);
    return entries == 0;
}

// The real program: a refused name is one line and status 2, before any window (a video
// driver that does not exist would end it with status 1), and nothing is written.
TEST(PlayerNames, ARefusedNameStopsTheProgramBeforeAnyWindow) {
    const std::vector<std::pair<std::string, std::string>> words = {
        {"--player=../x", "--player=../x: a name holds only letters"},
        {"--player=", "--player=: a name needs at least one character"},
        {"--player=abcdefghijklmnopqrstuvwxy", "--player=abcdefghijklmnopqrstuvwxy: a name holds at most 24"},
        {"--class=Ana,ana", "--class: names 1 (\"Ana\") and 2 (\"ana\") are one child"},
    };
    for (const auto &w : words) {
        ScratchDir home;
        ProcessResult r = runProcess(plimoBinary(), {"--remember", w.first}, sourceDir() + "/data",
                                     {"SDL_VIDEODRIVER=no-such-driver", "HOME=" + home.path(),
                                      "XDG_DATA_HOME=" + home.path() + "/data"},
                                     10000);
        EXPECT_EQ(r.exitStatus, 2) << w.first << ": " << r.err;
        EXPECT_EQ(r.err.compare(0, w.second.size(), w.second), 0) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(emptyFolder(home.path())) << w.first << " wrote into " << home.path();
    }
}

} // namespace
