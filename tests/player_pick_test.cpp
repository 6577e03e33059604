// "Who is playing?" on the real loop: real key events through the event pump, the screen
// machine's state and the pixels of the frames drawn with a fixture font whose glyphs are
// coloured blocks (9 pixels apart, 10 high).
#include <gtest/gtest.h>

#include <SDL_mixer.h>
#include <string>
#include <vector>

#include "content/content.h"
#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/game_state.h"
#include "ground/settings.h"
#include "menu/player_pick.h"
#include "shell/shell.h"
#include "support.h"

namespace {

const uint32_t Backdrop = 0x203040;

uint32_t pixel(int x, int y) { return pixelAt(screenSurface, x, y) & 0xFFFFFF; }

bool isGlyphFace(uint32_t p) { return (p & 0xFF00FF) == 0x800040; }

// Where the cursor's face is: its leftmost column and top row, and how many pixels it has.
struct CursorSpot {
    int x = -1, y = -1, pixels = 0;
};
CursorSpot cursorSpot() {
    CursorSpot spot;
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++)
            if (pixel(x, y) == fixtureGlyphColour('>')) {
                spot.x = spot.x < 0 ? x : std::min(spot.x, x);
                spot.y = spot.y < 0 ? y : spot.y;
                spot.pixels++;
            }
    return spot;
}

// n names whose first letters are A..Z, then a..z, each followed by "bc" (or given).
void setClass(int n, const char *first = nullptr) {
    settings.classList = ClassList{};
    for (int i = 0; i < n; i++) {
        char c = static_cast<char>(i < 26 ? 'A' + i : 'a' + i - 26);
        snprintf(settings.classList.names[i], PlayerNameBytes, "%cbc", c);
    }
    if (first)
        snprintf(settings.classList.names[0], PlayerNameBytes, "%s", first);
    settings.classList.count = n;
    settings.remember = true;
}

class PlayerPickLoop : public ::testing::Test {
  protected:
    void SetUp() override {
        startSdlForTests();
        ASSERT_TRUE(startTestAudio());
        resetGame();
        SDL_Surface *loaded = nullptr;
        {
            ScratchDir fontDir;
            writeFixtureFont("font.bmp");
            loaded = SDL_LoadBMP("font.bmp");
        }
        ASSERT_NE(loaded, nullptr);
        savedFont = fontImage;
        fontImage = SDL_ConvertSurface(loaded, screenSurface->format, SDL_SWSURFACE);
        SDL_FreeSurface(loaded);
        measureFont();
        savedBackground = menuBackground;
        menuBackground = screenFormatSurface(640, 480);
        SDL_FillRect(menuBackground, nullptr, Backdrop);
        // Languages A and B have the class screen's texts, C has none.
        auto withPlayers = [](const std::string &name, const char *title, const char *hint) {
            return replaced(languageXml(name), "</language>",
                            std::string("<screen name=\"practice\"><item name=\"classTitle\" text=\"") + title +
                                "\"/><item name=\"classHint\" text=\"" + hint + "\"/></screen></language>");
        };
        dir.write("plimo.xml", withPlayers("A", "Wa", "Ha") + withPlayers("B", "Vb", "Hb") + languageXml("C"));
        loadContent();
        tick = 5000;
        clockSet(tick);
        game.requestedScreen = LanguagePick;
        pass();
    }
    void TearDown() override {
        SDL_FreeSurface(fontImage);
        fontImage = savedFont;
        measureFont();
        SDL_FreeSurface(menuBackground);
        menuBackground = savedBackground;
        resetGame();
    }
    // One pass of the main loop, 10 ms after the last; true when the program is to end.
    bool pass() {
        tick += 10;
        clockSet(tick);
        return runPass();
    }
    // A key pressed and released, then a pass in which its effect is entered and drawn.
    bool press(SDLKey key) {
        Mix_HaltChannel(-1);
        pushKeyStroke(key);
        bool ends = pass();
        pass();
        return ends;
    }
    uint32_t tick = 0;
    SDL_Surface *savedFont = nullptr, *savedBackground = nullptr;
    ScratchDir dir;
};

TEST_F(PlayerPickLoop, WithoutAClassTheLanguageLeadsToTheMainMenuAsAlways) {
    press(SDLK_RETURN);
    EXPECT_EQ(game.currentScreen, MainMenu);
    press(SDLK_ESCAPE);
    EXPECT_EQ(game.currentScreen, MainMenu);
    EXPECT_EQ(game.menuSelection, 7) << "Escape only points at the quit entry";
}

// 30 names: columns of 14, 14 and 2, at x 240, 378 and 516.
TEST_F(PlayerPickLoop, ArrowsStopAtTheColumnsEdgesAndReturnPicks) {
    setClass(30);
    press(SDLK_RETURN);
    ASSERT_EQ(game.currentScreen, PlayerPick);
    struct Step {
        SDLKey key;
        int selection;
        int cursorColumnX, cursorY; // the highlighted name's place
    };
    const Step steps[] = {
        {SDLK_UP, 0, 240, 80},     {SDLK_LEFT, 0, 240, 80},   {SDLK_RIGHT, 14, 378, 80},
        {SDLK_RIGHT, 28, 516, 80}, {SDLK_RIGHT, 28, 516, 80}, {SDLK_DOWN, 29, 516, 100},
        {SDLK_DOWN, 29, 516, 100}, {SDLK_LEFT, 15, 378, 100}, {SDLK_UP, 14, 378, 80},
        {SDLK_UP, 14, 378, 80},    {SDLK_LEFT, 0, 240, 80},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(std::string(SDL_GetKeyName(s.key)) + " to " + std::to_string(s.selection));
        press(s.key);
        EXPECT_EQ(game.currentScreen, PlayerPick);
        EXPECT_EQ(game.menuSelection, s.selection);
        EXPECT_TRUE(soundPlaying(SoundMenuMove)) << "every arrow sounds, also where it cannot move";
        CursorSpot spot = cursorSpot();
        EXPECT_EQ(spot.pixels, 2 * 9 * 10) << "one cursor, two chevrons";
        EXPECT_EQ(spot.y, s.cursorY);
        EXPECT_GE(spot.x, s.cursorColumnX - 30);
        EXPECT_LE(spot.x, s.cursorColumnX - 20);
    }
    // The bottom of a full column, and Right from it into the shorter last column.
    for (int i = 0; i < 13; i++)
        press(SDLK_DOWN);
    EXPECT_EQ(game.menuSelection, 13);
    press(SDLK_DOWN);
    EXPECT_EQ(game.menuSelection, 13);
    EXPECT_EQ(cursorSpot().y, 340);
    press(SDLK_RIGHT);
    EXPECT_EQ(game.menuSelection, 27);
    press(SDLK_RIGHT);
    EXPECT_EQ(game.menuSelection, 29) << "the shorter column's last name";
    EXPECT_EQ(cursorSpot().y, 100);

    press(SDLK_RETURN);
    EXPECT_TRUE(soundPlaying(SoundMenuSelect));
    EXPECT_EQ(game.currentScreen, MainMenu);
    EXPECT_STREQ(settings.player, "dbc");
}

TEST_F(PlayerPickLoop, EscapeOnTheMainMenuHandsOverToTheNextChild) {
    setClass(5);
    snprintf(settings.player, PlayerNameBytes, "cbc"); // given as --player, in another case
    press(SDLK_RETURN);
    ASSERT_EQ(game.currentScreen, PlayerPick);
    EXPECT_EQ(game.menuSelection, 2) << "the highlight starts on the child playing";
    press(SDLK_DOWN);
    press(SDLK_RETURN);
    ASSERT_EQ(game.currentScreen, MainMenu);
    EXPECT_STREQ(settings.player, "Dbc");
    EXPECT_FALSE(press(SDLK_ESCAPE));
    EXPECT_EQ(game.currentScreen, PlayerPick);
    EXPECT_EQ(game.menuSelection, 3);
    EXPECT_EQ(cursorSpot().y, 140);
    press(SDLK_UP);
    press(SDLK_RETURN);
    EXPECT_STREQ(settings.player, "Cbc");
    // The main menu's last entry still quits.
    for (int i = 0; i < 7; i++)
        press(SDLK_DOWN);
    EXPECT_TRUE(press(SDLK_RETURN));
}

TEST_F(PlayerPickLoop, EscapeOnWhoIsPlayingGoesBackToTheLanguages) {
    setClass(3);
    press(SDLK_RETURN);
    ASSERT_EQ(game.currentScreen, PlayerPick);
    EXPECT_FALSE(press(SDLK_ESCAPE));
    EXPECT_EQ(game.currentScreen, LanguagePick);
    EXPECT_STREQ(settings.player, "") << "nobody picked";
}

TEST_F(PlayerPickLoop, FortyNamesFitInThreeColumnsInsideThePanel) {
    setClass(40);
    press(SDLK_RETURN);
    ASSERT_EQ(game.currentScreen, PlayerPick);
    struct Place {
        char first;
        int x, y;
    };
    const Place places[] = {{'A', 240, 80},  {'N', 240, 340}, {'O', 378, 80},
                            {'b', 378, 340}, {'c', 516, 80},  {'n', 516, 300}};
    for (const Place &p : places) {
        EXPECT_EQ(pixel(p.x + 1, p.y + 1), fixtureGlyphColour(p.first)) << p.first;
        EXPECT_EQ(pixel(p.x + 9 + 1, p.y + 1), fixtureGlyphColour('b')) << p.first;
    }
    // Nothing of the names beyond the panel's margin, nor below their last row.
    int outside = 0;
    for (int y = 80; y < 430; y++)
        for (int x = 0; x < 640; x++)
            outside += isGlyphFace(pixel(x, y)) && (x >= 624 || y >= 350);
    EXPECT_EQ(outside, 0);
    // The title of language A, and its hint centred under the panel: 18 pixels from x 311.
    EXPECT_EQ(pixel(241, 41), fixtureGlyphColour('W'));
    EXPECT_EQ(pixel(312, 437), fixtureGlyphColour('H'));
    EXPECT_EQ(pixel(321, 437), fixtureGlyphColour('a'));
}

TEST_F(PlayerPickLoop, ALongNameIsShortenedWhereColumnsAreNarrow) {
    // Three columns leave 106 pixels a name: 8 glyphs and the three dots (101 with the
    // shadow); one column leaves 384, and the same name shows whole.
    const char *name = "Abcdefghijklmnopqrstuvwx";
    for (int count : {30, 14}) {
        SCOPED_TRACE(count);
        resetGame();
        game.currentLanguage = firstLanguage();
        setClass(count, name);
        clockSet(tick);
        game.requestedScreen = LanguagePick;
        pass();
        press(SDLK_RETURN);
        ASSERT_EQ(game.currentScreen, PlayerPick);
        EXPECT_EQ(pixel(240 + 7 * 9 + 1, 81), fixtureGlyphColour('h'));
        int letterI = 0, dots = 0;
        for (int x = 240; x < 378; x++) {
            letterI += pixel(x, 81) == fixtureGlyphColour('i');
            dots += pixel(x, 81) == fixtureGlyphColour('.');
        }
        if (count == 30) {
            EXPECT_EQ(letterI, 0);
            EXPECT_EQ(dots, 3 * 9);
            EXPECT_EQ(pixel(240 + 10 * 9 + 1, 81), fixtureGlyphColour('.'));
        } else {
            EXPECT_EQ(letterI, 9);
            EXPECT_EQ(dots, 0);
            EXPECT_EQ(pixel(240 + 23 * 9 + 1, 81), fixtureGlyphColour('x'));
        }
    }
}

TEST_F(PlayerPickLoop, TheTextsAreThoseOfTheChosenLanguage) {
    setClass(3);
    struct Case {
        int rights;                   // steps along the language list
        char title, hint, hintSecond; // first letter of the title, the hint's first two
        int hintX;                    // where the centred hint starts
    };
    // C has none: the first language's that has them, A's.
    const Case cases[] = {{1, 'V', 'H', 'b', 311}, {2, 'W', 'H', 'a', 311}};
    for (const Case &c : cases) {
        for (int i = 0; i < c.rights; i++)
            press(SDLK_RIGHT);
        press(SDLK_RETURN);
        ASSERT_EQ(game.currentScreen, PlayerPick);
        EXPECT_EQ(pixel(241, 41), fixtureGlyphColour(c.title));
        EXPECT_EQ(pixel(c.hintX + 1, 437), fixtureGlyphColour(c.hint));
        EXPECT_EQ(pixel(c.hintX + 10, 437), fixtureGlyphColour(c.hintSecond));
        EXPECT_NE(pixel(c.hintX - 1, 437), fixtureGlyphColour(c.hint)) << "centred, not further left";
        press(SDLK_ESCAPE);
        ASSERT_EQ(game.currentScreen, LanguagePick);
        // Back to A for the next case.
        while (std::string(game.currentLanguage->Attribute("name")) != "A")
            press(SDLK_RIGHT);
    }
}

// fittedMenuText at the edge of its width, with the fixture font (advance 9, shadow 2).
TEST_F(PlayerPickLoop, FittedTextAtTheEdgeOfItsWidth) {
    const struct {
        const char *text;
        int width;
        const char *fitted;
    } cases[] = {
        {"Abcdefghijk", 101, "Abcdefghijk"}, // 99 + 2
        {"Abcdefghijk", 100, "Abcdefg..."},  // 63 + 27 + 2 = 92; one more glyph is 101
        {"Ab cdefghijk", 100, "Ab cdefg..."}, // 63 + 8 + 27 + 2
        {"Ab cdefghijk", 54, "Ab..."},       // the space before the dots dropped
        {"Abcdefghijk", 29, "..."},
        {"Abcdefghijk", 28, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(fittedMenuText(c.text, c.width), c.fitted) << c.text << " in " << c.width;
}

} // namespace
