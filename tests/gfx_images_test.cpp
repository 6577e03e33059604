// Tests of picture loading and of the background chosen for each screen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "game/display.h"
#include "game/field.h"
#include "game/problems.h"
#include "gfx/images.h"
#include "shell/screens.h"
#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/game_state.h"
#include "support.h"

namespace {

constexpr uint32_t Untouched = 0x00010203;

SDL_Surface *solidSurface(uint32_t colour) {
    const SDL_PixelFormat *f = screenSurface->format;
    SDL_Surface *s = SDL_CreateRGBSurface(0, ScreenWidth, ScreenHeight, 32, f->Rmask, f->Gmask, f->Bmask, f->Amask);
    SDL_FillRect(s, nullptr, colour);
    return s;
}

uint32_t checker(int x, int y) { return (x + y) % 2 ? 0xFF8000 : 0x0040C0 + uint32_t(x * 16 + y); }

class GfxImages : public ::testing::Test {
  protected:
    SDL_Surface **slots[8] = {&splashImage, &menuBackground, &helpSignImage, &helpImage,
                              &neutralImage, &goodImage,     &badImage,      &fontImage};
    SDL_Surface *saved[8] = {};

    void SetUp() override {
        startSdlForTests();
        resetGame();
        for (int i = 0; i < 8; i++) {
            saved[i] = *slots[i];
            *slots[i] = nullptr;
        }
    }
    void TearDown() override {
        for (int i = 0; i < 8; i++) {
            if (*slots[i])
                SDL_FreeSurface(*slots[i]);
            *slots[i] = saved[i];
        }
        resetGame();
    }
    // Gives each background its own colour.
    void useSolidBackgrounds() {
        for (int i = 0; i < 7; i++)
            *slots[i] = solidSurface(0x111111u * uint32_t(i + 1));
    }
    static void fillScreen(uint32_t colour) { SDL_FillRect(screenSurface, nullptr, colour); }
    // The background colour the frame shows after drawBackground, or Untouched.
    static uint32_t backgroundShown() {
        fillScreen(Untouched);
        drawBackground(backgroundPicture());
        uint32_t corner = pixelAt(screenSurface, 0, 0);
        // The picture covers the whole screen, corner to corner.
        EXPECT_EQ(corner, pixelAt(screenSurface, 639, 479));
        return corner;
    }
    static void leadingProblemAt(int32_t x) {
        freeProblems();
        Problem *p = new Problem{};
        p->text = strdup("1 + 1");
        p->x = x;
        p->y = 100;
        appendProblem(p);
        // A younger problem further left must not matter: only the leading one counts.
        Problem *q = new Problem{};
        q->text = strdup("2 + 2");
        q->x = 0;
        appendProblem(q);
    }
};

const uint32_t SplashColour = 0x111111, MenuColour = 0x222222, HelpSignColour = 0x333333,
               HelpColour = 0x444444, NeutralColour = 0x555555, GoodColour = 0x666666,
               BadColour = 0x777777;

} // namespace

TEST_F(GfxImages, LoadImageConvertsToTheScreenFormat) {
    ScratchDir dir;
    writeBmp(dir.path() + "/small.bmp", 5, 3, checker);
    SDL_Surface *image = loadImage("small.bmp");
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(5, image->w);
    EXPECT_EQ(3, image->h);
    EXPECT_EQ(0u, image->flags);
    EXPECT_EQ(0, image->offset);
    EXPECT_EQ(screenSurface->format->BitsPerPixel, image->format->BitsPerPixel);
    EXPECT_EQ(screenSurface->format->Rmask, image->format->Rmask);
    EXPECT_EQ(screenSurface->format->Gmask, image->format->Gmask);
    EXPECT_EQ(screenSurface->format->Bmask, image->format->Bmask);
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 5; x++)
            EXPECT_EQ(checker(x, y), pixelAt(image, x, y)) << x << "," << y;
    SDL_FreeSurface(image);
}

TEST_F(GfxImages, LoadImageGivesNothingForAMissingOrBrokenFile) {
    ScratchDir dir;
    EXPECT_EQ(nullptr, loadImage("missing.bmp"));
    dir.write("text.bmp", "this is not a picture at all, just some words\n");
    EXPECT_EQ(nullptr, loadImage("text.bmp"));
    dir.write("empty.bmp", "");
    EXPECT_EQ(nullptr, loadImage("empty.bmp"));

    // A header claiming a bit depth SDL keeps only the low byte of: refused, never
    // handed on to conversion or a blit.
    for (int bits : {4100, 8193}) {
        writeBmp(dir.path() + "/deep.bmp", 8, 8, checker);
        FILE *f = fopen("deep.bmp", "r+b");
        ASSERT_NE(f, nullptr);
        fseek(f, 28, SEEK_SET);
        fputc(bits & 0xFF, f);
        fputc(bits >> 8, f);
        fclose(f);
        EXPECT_EQ(nullptr, readBmp("deep.bmp")) << bits;
        EXPECT_EQ(nullptr, loadImage("deep.bmp")) << bits;
    }
    writeBmp(dir.path() + "/fine.bmp", 8, 8, checker);
    SDL_Surface *fine = readBmp("fine.bmp");
    ASSERT_NE(fine, nullptr);
    EXPECT_EQ(fine->format->BitsPerPixel, 24);
    SDL_FreeSurface(fine);
}

TEST_F(GfxImages, LoadImagesFillsEachPictureFromItsOwnFile) {
    ScratchDir dir;
    const char *files[8] = {"splash.bmp",         "menubg.bmp",      "help_plusminus.bmp", "help.bmp",
                            "ingame_neutral.bmp", "ingame_good.bmp", "ingame_bad.bmp",     "font_32.bmp"};
    // Each file its own size, so a mix-up of files and pictures shows.
    for (int i = 0; i < 8; i++)
        writeBmp(dir.path() + "/" + files[i], 10 + i, 32 * (i + 1), checker);
    loadImages();
    for (int i = 0; i < 8; i++) {
        ASSERT_NE(nullptr, *slots[i]) << files[i];
        EXPECT_EQ(10 + i, (*slots[i])->w) << files[i];
        EXPECT_EQ(32 * (i + 1), (*slots[i])->h) << files[i];
        EXPECT_EQ(0u, (*slots[i])->flags) << files[i];
    }
}

TEST_F(GfxImages, BackgroundByScreen) {
    useSolidBackgrounds();
    struct {
        int32_t screen;
        int32_t mode;
        uint32_t colour;
    } cases[] = {
        {Splash, Addition, SplashColour},   {LanguagePick, Addition, MenuColour},
        {MainMenu, Addition, MenuColour},   {Credits, Addition, MenuColour},
        {Difficulty, Addition, MenuColour}, {Help, Sign, HelpSignColour},
        {Help, Mixed, HelpColour},          {Help, Addition, HelpColour},
        {Playing, Addition, GoodColour},    {ScreenNone, Addition, Untouched},
        {42, Addition, Untouched},
    };
    for (const auto &c : cases) {
        game.currentScreen = c.screen;
        game.gameMode = c.mode;
        EXPECT_EQ(c.colour, backgroundShown()) << c.screen << " mode " << c.mode;
    }
}

TEST_F(GfxImages, PlayingBackgroundFollowsTheLeadingProblem) {
    useSolidBackgrounds();
    game.currentScreen = Playing;

    // Drawing only shows the picture; the logic step that sees the danger picture is
    // what marks the close call.
    game.alertFlag = 0;
    EXPECT_EQ(GoodColour, backgroundShown());
    EXPECT_EQ(goodImage, playingBackground());
    game.nextSpawnAt = game.nextSpeedUpAt = 0x7fffffff; // nothing spawns or speeds up
    updateField();
    EXPECT_EQ(0, game.alertFlag) << "an empty field is no close call";

    struct {
        int32_t x;
        uint32_t colour;
        int32_t alert;
    } cases[] = {
        {6400, GoodColour, 0},    {6001, GoodColour, 0},   {6000, NeutralColour, 0},
        {2001, NeutralColour, 0}, {2000, BadColour, 1},    {1, BadColour, 1},
        {0, BadColour, 1},        {-15, BadColour, 1},
    };
    for (const auto &c : cases) {
        leadingProblemAt(c.x);
        game.alertFlag = 0;
        EXPECT_EQ(c.colour, backgroundShown()) << c.x;
        EXPECT_EQ(0, game.alertFlag) << c.x << ": drawing set the alert";
        game.speed = 0;
        game.nextSpawnAt = game.nextSpeedUpAt = tickAdd(game.logicClock, 100000);
        updateField();
        EXPECT_EQ(c.alert, game.alertFlag) << c.x;
    }
}

TEST_F(GfxImages, GameOverShowsNothingForItsFirstSecond) {
    useSolidBackgrounds();
    game.currentScreen = GameOver;
    // Entered at an ordinary tick, and at one just before the counter wraps.
    for (uint32_t entered : {5000u, 0xFFFFFE00u}) {
        game.screenEnteredAt = static_cast<int32_t>(entered);
        for (uint32_t elapsed : {0u, 1u, 999u, 1000u}) {
            clockSet(entered + elapsed);
            EXPECT_EQ(Untouched, backgroundShown()) << entered << "+" << elapsed;
        }
        for (uint32_t elapsed : {1001u, 5000u}) {
            clockSet(entered + elapsed);
            EXPECT_EQ(MenuColour, backgroundShown()) << entered << "+" << elapsed;
        }
    }
}
