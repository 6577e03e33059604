// The menu screens: their texts, cursor and language picture, and the navigation keys.
#include "menu/menu.h"

#include <SDL.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "audio/audio.h"
#include "content/content.h"
#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/data_file.h"

// The most items any screen reads ("credits").
constexpr int MaxItems = 10;

int cursorOffset(int32_t tick) {
    double swing = 10.0 * std::sin(static_cast<double>(tick) * 0.003734);
    return std::abs(static_cast<int>(swing));
}

// The texts of the first count items of the named screen, walked anew; "" for an item
// or a text that is not there (start-up has refused such files, so this is a last guard).
static void readItems(const char *screenName, int count, const char *texts[MaxItems]) {
    TiXmlElement *item = firstItem(findScreen(screenName));
    for (int i = 0; i < count; i++) {
        const char *text = item ? item->Attribute("text") : nullptr;
        texts[i] = text ? text : "";
        if (item)
            item = item->NextSiblingElement();
    }
}

static void drawText(int x, int y, const char *text) {
    if (text)
        drawMenuText(x, y, text);
}

static void drawCursor(int y) { drawMenuText(220 - cursorOffset(now), y, ">>"); }

// The language picture as last read: the file it came from, that file's identity then,
// the picture (null when the file could not be shown then) and its key for the frame
// comparison.
static struct {
    bool held = false;
    std::string file;
    DataFileIdentity identity;
    SDL_Surface *picture = nullptr;
    uint64_t key = 0;
    int reads = 0;
} shownLanguagePicture;

void forgetLanguagePicture() {
    if (shownLanguagePicture.picture)
        SDL_FreeSurface(shownLanguagePicture.picture);
    shownLanguagePicture.picture = nullptr;
    shownLanguagePicture.held = false;
}

SDL_Surface *languagePicture(const char *file) {
    // Start-up refuses a content file naming anything but a plain name in the data
    // folder; this keeps any other name from being opened all the same.
    DataFileIdentity identity;
    std::string why;
    int fd = plainDataFileName(file) ? openDataFile(file, &identity, &why) : -1;
    if (fd < 0) {
        forgetLanguagePicture();
        return nullptr;
    }
    // The file is looked at on every frame, but read and converted only when it is
    // another file, or the same one changed, since the last read.
    if (shownLanguagePicture.held && shownLanguagePicture.file == file && shownLanguagePicture.identity == identity) {
        close(fd);
        return shownLanguagePicture.picture;
    }
    forgetLanguagePicture();
    // No larger than the screen: it is placed centred, and a header claiming a huge
    // picture would otherwise have SDL allocate it.
    SDL_Surface *picture = readBmpFile(fd, static_cast<uint64_t>(identity.size), ScreenWidth, ScreenHeight);
    close(fd);
    // Kept in the screen's own format, each frame's blit is a plain copy. A picture
    // without a colour key or alpha converts to exactly the pixels its blit gives.
    if (picture && !(picture->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA))) {
        SDL_Surface *converted = SDL_ConvertSurface(picture, screenSurface->format, 0);
        if (converted) {
            SDL_FreeSurface(picture);
            picture = converted;
        }
    }
    shownLanguagePicture.held = true;
    shownLanguagePicture.file = file;
    shownLanguagePicture.identity = identity;
    shownLanguagePicture.picture = picture;
    shownLanguagePicture.key = picture ? pictureKey(picture) : 0;
    shownLanguagePicture.reads++;
    return picture;
}

int languagePictureReads() { return shownLanguagePicture.reads; }

// The current language's picture, as its file holds it now, blitted whole and centred
// with the pixels an unconverted blit gives. A picture that cannot be shown is left out
// of this frame.
static void drawLanguagePicture(TiXmlElement *language) {
    SDL_Surface *picture = languagePicture(language->Attribute("image"));
    // Checked when read; placing needs 1..640 x 1..480 pixels, whatever changed since.
    if (!picture || picture->w < 1 || picture->h < 1 || picture->w > ScreenWidth || picture->h > ScreenHeight)
        return;
    blitKeyedPicture(picture, shownLanguagePicture.key, (ScreenWidth - picture->w) / 2,
                     (ScreenHeight - picture->h) / 2);
}

static void drawLanguagePick() {
    int y = 40;
    for (TiXmlElement *language = firstLanguage(); language; language = language->NextSiblingElement()) {
        drawText(240, y, language->Attribute("langpick"));
        y += 20;
    }
    TiXmlElement *current = game.currentLanguage;
    if (!current)
        return;
    drawLanguagePicture(current);
    drawText(280, 370, current->Attribute("name"));
    int swing = cursorOffset(now);
    drawMenuText(470 + swing, 230, ">>");
    drawMenuText(140 - swing, 230, "<<");
}

static void drawMainMenu() {
    const char *texts[MaxItems];
    readItems("main", 9, texts);
    drawMenuText(240, 40, texts[0]);
    for (int i = 1; i < 9; i++)
        drawMenuText(240, 60 + 40 * i, texts[i]);
    drawCursor(100 + 40 * game.menuSelection);
}

static void drawCredits() {
    const char *texts[MaxItems];
    readItems("credits", 10, texts);
    drawMenuText(240, 100, texts[0]);
    for (int i = 1; i < 7; i++)
        drawMenuText(240, 120 + 20 * i, texts[i]);
    drawMenuText(240, 280, texts[7]);
    drawMenuText(240, 300, texts[8]);
    drawMenuText(240, 380, texts[9]);
    drawCursor(380);
}

static void drawDifficulty() {
    const char *texts[MaxItems];
    readItems("difficulty", 6, texts);
    drawMenuText(240, 100, texts[0]);
    for (int i = 1; i < 6; i++)
        drawMenuText(240, 140 + 40 * i, texts[i]);
    drawCursor(180 + 40 * game.menuSelection);
}

static void drawHelp() {
    const char *texts[MaxItems];
    readItems("help", 1, texts);
    drawMenuText(200, 60, texts[0]);
}

static void drawGameOverMenu() {
    const char *texts[MaxItems];
    readItems("gameover", 4, texts);
    drawMenuText(240, 100, texts[0]);
    // A label too long for the line is cut short rather than overrunning it.
    char line[200];
    snprintf(line, sizeof line, "%s %d", texts[1], game.score);
    drawMenuText(240, 180, line);
    drawMenuText(240, 340, texts[2]);
    drawMenuText(240, 380, texts[3]);
    drawCursor(340 + 40 * game.menuSelection);
}

void drawMenuScreen() {
    switch (game.currentScreen) {
    case LanguagePick:
        drawLanguagePick();
        break;
    case MainMenu:
        drawMainMenu();
        break;
    case Credits:
        drawCredits();
        break;
    case Difficulty:
        drawDifficulty();
        break;
    case Help:
        drawHelp();
        break;
    case GameOver:
        drawGameOverMenu();
        break;
    default:
        break;
    }
}

static bool confirm() {
    switch (game.currentScreen) {
    case Splash:
        // Backdating the entry lets the splash time-out fire at the next logic step.
        game.screenEnteredAt = tickAdd(game.screenEnteredAt, -10000);
        break;
    case LanguagePick:
        playSound(SoundMenuSelect);
        game.requestedScreen = MainMenu;
        break;
    case MainMenu:
        playSound(SoundMenuSelect);
        if (game.menuSelection >= Addition && game.menuSelection <= Mixed) {
            game.gameMode = game.menuSelection;
            game.requestedScreen = Difficulty;
        } else if (game.menuSelection == 6) {
            game.requestedScreen = Credits;
        } else if (game.menuSelection == 7) {
            return true;
        }
        break;
    case Credits:
        playSound(SoundMenuSelect);
        game.requestedScreen = MainMenu;
        break;
    case Difficulty:
        playSound(SoundMenuSelect);
        if (game.menuSelection >= 0 && game.menuSelection <= 3) {
            game.difficulty = game.menuSelection;
            game.requestedScreen = Help;
        } else if (game.menuSelection == 4) {
            game.requestedScreen = MainMenu;
        }
        break;
    case Help:
        game.requestedScreen = Playing;
        break;
    case GameOver:
        playSound(SoundMenuSelect);
        if (game.menuSelection == 0)
            game.requestedScreen = Playing;
        else if (game.menuSelection == 1)
            game.requestedScreen = MainMenu;
        break;
    default:
        break;
    }
    return false;
}

static bool back() {
    switch (game.currentScreen) {
    case Splash:
        game.requestedScreen = LanguagePick;
        break;
    case LanguagePick:
        return true;
    case MainMenu:
        // Escape only points at the quit entry; leaving takes a Confirm.
        game.menuSelection = 7;
        break;
    case Credits:
    case Difficulty:
    case Help:
    case GameOver:
        game.requestedScreen = MainMenu;
        break;
    case Playing:
        game.requestedScreen = GameOver;
        break;
    default:
        break;
    }
    return false;
}

static void step(NavAction action) {
    switch (game.currentScreen) {
    case MainMenu:
    case Difficulty:
    case GameOver:
        if (action == Up) {
            playSound(SoundMenuMove);
            if (game.menuSelection > 0)
                game.menuSelection--;
        } else if (action == Down) {
            playSound(SoundMenuMove);
            if (game.menuSelection < game.menuItemCount - 1)
                game.menuSelection++;
        }
        break;
    case LanguagePick:
        playSound(SoundMenuMove);
        if (action == Up || action == Right)
            nextLanguage();
        else
            previousLanguage();
        break;
    default:
        break;
    }
}

bool handleNavigation(NavAction action) {
    switch (action) {
    case Confirm:
        return confirm();
    case Back:
        return back();
    case Up:
    case Down:
    case Left:
    case Right:
        step(action);
        break;
    }
    return false;
}
