// Menu drawing: every text, the cursor and the language picture at their places on the
// real screen surface, drawn with a fixture font whose glyphs are coloured blocks; the
// practice list on the game-over menu.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "ground/settings.h"
#include "content/content.h"
#include "game/answers.h"
#include "practice/practice_hooks.h"
#include "practice/practice_list.h"
#include "practice/repeats.h"
#include "practice/panel.h"
#include "game_helpers.h"
#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/game_state.h"
#include "menu/menu.h"
#include "shell/frame.h"
#include "shell/screens.h"
#include "support.h"

namespace {

const uint32_t Backdrop = 0x336699;

// Ticks whose cursor swing is known: sin is 0 at 0, exactly 1.0 at 56639954 (glibc);
// 10 sin is -7.41 at 1065 (truncates to 7, where flooring would give 8) and 7.42 at 224.
const int32_t SwingNone = 0, SwingFull = 56639954, SwingSevenDown = 1065, SwingSevenUp = 224;

// Item n of every screen is the single letter 'a' + n - 1.
std::string letterItem(const std::string &, int index) { return std::string(1, char('a' + index - 1)); }

// Makes the fixture font the game's font (in the screen's format) and measures it.
void useFixtureFont() {
    static SDL_Surface *fixture = nullptr;
    if (!fixture) {
        ScratchDir dir;
        writeFixtureFont("font.bmp");
        SDL_Surface *loaded = SDL_LoadBMP("font.bmp");
        ASSERT_NE(nullptr, loaded);
        fixture = SDL_ConvertSurface(loaded, screenSurface->format, SDL_SWSURFACE);
        SDL_FreeSurface(loaded);
    }
    fontImage = fixture;
    measureFont();
}

uint32_t pixel(int x, int y) { return pixelAt(screenSurface, x, y) & 0xFFFFFF; }

uint32_t green(int, int) { return 0x00FF00; }
uint32_t red(int, int) { return 0xFF0000; }
uint32_t coordinates(int x, int y) { return uint32_t((x % 256) << 16 | (y % 256) << 8 | 0x80); }

class MenuDraw : public ::testing::Test {
  protected:
    void SetUp() override {
        startSdlForTests();
        resetGame();
        useFixtureFont();
        SDL_FillRect(screenSurface, nullptr, Backdrop);
        now = SwingNone;
        // Each test's pictures are its own, whatever name an earlier test used.
        forgetLanguagePicture();
    }
    void load(const std::string &xml) {
        dir.write("plimo.xml", xml);
        loadContent();
    }
    void draw(int screen) {
        game.currentScreen = screen;
        game.requestedScreen = screen;
        // The game-over menu follows the burst's first second.
        game.screenEnteredAt = tickAdd(now, -2000);
        SDL_FillRect(screenSurface, nullptr, Backdrop);
        drawScreenOverlay();
    }
    // A text whose first character is ch starts at (x, y): its face's top-left pixel is
    // there, and neither the pixel left of it nor the one above belongs to it.
    void expectTextAt(int x, int y, char ch) {
        SCOPED_TRACE("'" + std::string(1, ch) + "' at " + std::to_string(x) + "," + std::to_string(y));
        EXPECT_EQ(pixel(x, y), fixtureGlyphColour(ch));
        EXPECT_NE(pixel(x - 1, y), fixtureGlyphColour(ch));
        EXPECT_NE(pixel(x, y - 1), fixtureGlyphColour(ch));
    }
    ScratchDir dir;
};

TEST(MenuCursor, SwingIsTheTruncatedSineAndNeverPassesTen) {
    EXPECT_EQ(cursorOffset(SwingNone), 0);
    EXPECT_EQ(cursorOffset(SwingFull), 10);
    EXPECT_EQ(cursorOffset(SwingSevenDown), 7);
    EXPECT_EQ(cursorOffset(SwingSevenUp), 7);
    EXPECT_EQ(cursorOffset(-SwingSevenUp), 7);
    int highest = 0;
    for (int32_t t = 0; t < 20000; t++) {
        int swing = cursorOffset(t);
        ASSERT_GE(swing, 0);
        ASSERT_LE(swing, 10);
        highest = std::max(highest, swing);
    }
    EXPECT_EQ(highest, 9);
}

TEST_F(MenuDraw, MainMenuItemsAndCursor) {
    load(languageXml("A", letterItem));
    game.menuSelection = 0;
    draw(MainMenu);
    expectTextAt(240, 40, 'a');
    for (int i = 2; i <= 9; i++)
        expectTextAt(240, 100 + 40 * (i - 2), char('a' + i - 1));
    expectTextAt(220, 100, '>');
    // ">>" is two faces of nine columns side by side.
    EXPECT_EQ(pixel(237, 100), fixtureGlyphColour('>'));
    EXPECT_EQ(pixel(238, 100), Backdrop);

    game.menuSelection = 7;
    now = SwingFull;
    draw(MainMenu);
    expectTextAt(210, 380, '>');
    EXPECT_NE(pixel(220, 100), fixtureGlyphColour('>'));

    game.menuSelection = 3;
    now = SwingSevenDown;
    draw(MainMenu);
    expectTextAt(213, 220, '>');
}

TEST_F(MenuDraw, CreditsLinesAndCursor) {
    load(languageXml("A", letterItem));
    now = SwingSevenUp;
    draw(Credits);
    const int ys[] = {100, 140, 160, 180, 200, 220, 240, 280, 300, 380};
    for (int i = 0; i < 10; i++)
        expectTextAt(240, ys[i], char('a' + i));
    expectTextAt(213, 380, '>');
}

TEST_F(MenuDraw, DifficultyItemsAndCursor) {
    load(languageXml("A", letterItem));
    game.menuSelection = 1;
    draw(Difficulty);
    expectTextAt(240, 100, 'a');
    for (int i = 0; i < 5; i++)
        expectTextAt(240, 180 + 40 * i, char('b' + i));
    expectTextAt(220, 220, '>');
    EXPECT_NE(pixel(220, 180), fixtureGlyphColour('>'));
}

TEST_F(MenuDraw, HelpLineOnlyAndSplashNothing) {
    load(languageXml("A", letterItem));
    draw(Help);
    expectTextAt(200, 60, 'a');
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 200; x++)
            ASSERT_EQ(pixel(x, y), Backdrop) << "no cursor on Help";

    draw(Splash);
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++)
            ASSERT_EQ(pixel(x, y), Backdrop) << x << "," << y;
}

TEST_F(MenuDraw, GameOverMenuWithScoreLine) {
    load(languageXml("A", letterItem));
    game.menuSelection = 1;
    game.score = 42;
    draw(GameOver);
    expectTextAt(240, 100, 'a');
    // "b 42": b advances 9, the blank 8 (a quarter of the cell).
    expectTextAt(240, 180, 'b');
    expectTextAt(257, 180, '4');
    expectTextAt(266, 180, '2');
    expectTextAt(240, 340, 'c');
    expectTextAt(240, 380, 'd');
    expectTextAt(220, 380, '>');

    game.score = -7;
    draw(GameOver);
    expectTextAt(257, 180, '-');
    expectTextAt(266, 180, '7');

    // The practice list, when chosen: columns of three from (240, 220) and (420, 220).
    settings.practiceList = true;
    for (const char *text : {"1 + 2", "2 + 2", "3 + 2", "4 + 2"}) {
        gametest::addProblem(text, 1, 1, 4000, 0);
        rejectAnswer("9", 500);
        freeProblems();
    }
    draw(GameOver);
    for (auto [x, y, inked] : {std::tuple{241, 223, true}, {241, 291, true}, {421, 223, true}, {421, 257, false}})
        EXPECT_EQ(pixel(x, y) != Backdrop, inked) << x << "," << y;
}

// A label of 197 bytes leaves room in the 199-character line for the blank and one digit
// only. Blanks advance 8 and the empty '~' cell moves back 32, so the score lands on screen.
// Five more bytes of four blanks and a '~' advance nothing: a longer label fills the line.
int labelBytes = 197;
std::string longLabelItem(const std::string &screen, int index) {
    if (screen != "gameover" || index != 2)
        return letterItem(screen, index);
    std::string label = "b" + std::string(158, ' ') + std::string(38, '~');
    while (int(label.size()) < labelBytes)
        label += "    ~";
    return label;
}

TEST_F(MenuDraw, OverlongScoreLineIsCutShort) {
    labelBytes = 197;
    load(languageXml("A", longLabelItem));
    game.score = 42;
    draw(GameOver);
    expectTextAt(240, 180, 'b');
    // 240 + 9 + 158 * 8 - 38 * 32 = 297; the blank takes it to 305.
    expectTextAt(305, 180, '4');
    EXPECT_NE(pixel(314, 180), fixtureGlyphColour('2'));

    // A label of 300 bytes leaves no room: no score at all, whatever it is.
    labelBytes = 300;
    load(languageXml("A", longLabelItem));
    draw(GameOver);
    std::vector<uint32_t> with42, withMinus7;
    for (int x = 0; x < 640; x++)
        with42.push_back(pixel(x, 180));
    game.score = -7;
    draw(GameOver);
    for (int x = 0; x < 640; x++)
        withMinus7.push_back(pixel(x, 180));
    EXPECT_EQ(with42, withMinus7);
    expectTextAt(240, 180, 'b');
}

TEST_F(MenuDraw, EmptyItemLeavesItsLineBlank) {
    std::string screens = "<screen name=\"main\"><item text=\"a\"/><item text=\"b\"/><item text=\"\"/>"
                          "<item text=\"d\"/><item text=\"e\"/><item text=\"f\"/><item text=\"g\"/>"
                          "<item text=\"h\"/><item text=\"i\"/></screen>\n" +
                          screenXml("credits", 10) + screenXml("difficulty", 6) + screenXml("help", 1) +
                          screenXml("gameover", 4);
    load("<language langpick=\"p\" image=\"x.bmp\" name=\"n\">" + screens + "</language>");
    draw(MainMenu);
    expectTextAt(240, 100, 'b');
    for (int x = 238; x < 260; x++)
        EXPECT_EQ(pixel(x, 140), Backdrop);
    expectTextAt(240, 180, 'd');
    expectTextAt(240, 380, 'i');
}

std::string pickLanguage(const std::string &code, const std::string &picture) {
    std::string s = "<language langpick=\"" + code + "\" image=\"" + picture + "\" name=\"" + code +
                    "\">\n";
    for (const ContentScreen &screen : contentScreens)
        s += screenXml(screen.name, screen.itemsNeeded);
    return s + "</language>\n";
}

TEST_F(MenuDraw, LanguagePickListPictureNameAndArrows) {
    writeBmp(dir.path() + "/small.bmp", 101, 61, green);
    writeBmp(dir.path() + "/other.bmp", 40, 20, red);
    load(pickLanguage("e", "small.bmp") + pickLanguage("f", "other.bmp") + pickLanguage("g", "small.bmp"));
    draw(LanguagePick);
    expectTextAt(240, 40, 'e');
    expectTextAt(240, 60, 'f');
    expectTextAt(240, 80, 'g');
    // (640 - 101) / 2 = 269 and (480 - 61) / 2 = 209, truncated.
    EXPECT_EQ(pixel(269, 209), 0x00FF00u);
    EXPECT_EQ(pixel(369, 269), 0x00FF00u);
    EXPECT_EQ(pixel(268, 209), Backdrop);
    EXPECT_EQ(pixel(269, 208), Backdrop);
    EXPECT_EQ(pixel(370, 269), Backdrop);
    EXPECT_EQ(pixel(369, 270), Backdrop);
    expectTextAt(280, 370, 'e');
    expectTextAt(470, 230, '>');
    expectTextAt(140, 230, '<');

    // The next frame shows the new language's picture and name; the arrows swing out.
    nextLanguage();
    now = SwingFull;
    draw(LanguagePick);
    EXPECT_EQ(pixel(300, 230), 0xFF0000u);
    EXPECT_EQ(pixel(299, 230), Backdrop);
    expectTextAt(280, 370, 'f');
    expectTextAt(480, 230, '>');
    expectTextAt(130, 230, '<');
    expectTextAt(240, 40, 'e');
}

// A picture as large as the screen covers it all, the list included; a larger one is
// left out (it could only be placed partly off the screen, and a header claiming a huge
// one would have SDL allocate it on every frame).
TEST_F(MenuDraw, LanguagePictureCoversTheListAndIsLeftOutWhenLargerThanTheScreen) {
    writeBmp(dir.path() + "/screen.bmp", 640, 480, coordinates);
    writeBmp(dir.path() + "/huge.bmp", 700, 500, coordinates);
    load(pickLanguage("e", "screen.bmp") + pickLanguage("f", "huge.bmp"));
    draw(LanguagePick);
    EXPECT_EQ(pixel(0, 0), coordinates(0, 0));
    EXPECT_EQ(pixel(639, 479), coordinates(639, 479));
    EXPECT_EQ(pixel(240, 40), coordinates(240, 40)) << "the list lies under the picture";
    expectTextAt(280, 370, 'e');

    nextLanguage();
    draw(LanguagePick);
    EXPECT_EQ(pixel(0, 0), Backdrop);
    EXPECT_EQ(pixel(320, 240), Backdrop);
    expectTextAt(240, 40, 'e');
    expectTextAt(280, 370, 'f');
}

TEST_F(MenuDraw, UnreadableLanguagePictureIsLeftOut) {
    dir.write("notabmp.bmp", "this is not a picture");
    load(pickLanguage("e", "missing.bmp") + pickLanguage("f", "notabmp.bmp"));
    for (int language = 0; language < 2; language++) {
        SCOPED_TRACE(language);
        draw(LanguagePick);
        EXPECT_EQ(pixel(320, 240), Backdrop);
        expectTextAt(240, 40, 'e');
        expectTextAt(280, 370, char('e' + language));
        expectTextAt(470, 230, '>');
        nextLanguage();
    }
}

} // namespace
