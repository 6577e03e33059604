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
#include "game/field.h"
#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/data_file.h"
#include "ground/settings.h"

// The most items any screen reads ("credits").
constexpr int MaxItems = 10;

// How fast the menu cursor and the language arrows swing, in radians per ms: out and
// back about every 841 ms.
constexpr double CursorSwingPerMs = 0.003734;

// Confirm on the splash backdates its entry by this much (ms), past its time-out.
constexpr int32_t SplashSkipMs = 10000;

// The cursor's place left of the menus' column (pixels).
constexpr int CursorX = 220;

int cursorOffset(int32_t tick) {
    double swing = 10.0 * std::sin(static_cast<double>(tick) * CursorSwingPerMs);
    return std::abs(static_cast<int>(swing));
}

// The texts of the items of content screen `screen` (as many as it needs, at most
// MaxItems), walked anew; "" for an item or a text that is not there (start-up has
// refused such files, so this is a last guard).
static void readItems(const ContentScreen *screen, const char *texts[MaxItems]) {
    TiXmlElement *item = firstItem(findScreen(screen->name));
    for (int i = 0; i < screen->itemsNeeded && i < MaxItems; i++) {
        const char *text = item ? item->Attribute("text") : nullptr;
        texts[i] = text ? text : "";
        if (item)
            item = item->NextSiblingElement();
    }
}

// A text of the content file, which may lack it (a language without a name).
static void drawMenuTextIfAny(int x, int y, const char *text) {
    if (text)
        drawMenuText(x, y, text);
}

static void drawCursor(int y) { drawMenuText(CursorX - cursorOffset(now), y, ">>"); }

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

void drawLanguagePick(const ContentScreen *) {
    int y = 40;
    for (TiXmlElement *language = firstLanguage(); language; language = language->NextSiblingElement()) {
        drawMenuTextIfAny(MenuColumnX, y, language->Attribute("langpick"));
        y += 20;
    }
    TiXmlElement *current = game.currentLanguage;
    if (!current)
        return;
    drawLanguagePicture(current);
    drawMenuTextIfAny(280, 370, current->Attribute("name"));
    int swing = cursorOffset(now);
    drawMenuText(470 + swing, 230, ">>");
    drawMenuText(140 - swing, 230, "<<");
}

void drawMainMenu(const ContentScreen *screen) {
    const char *texts[MaxItems];
    readItems(screen, texts);
    drawMenuText(MenuColumnX, 40, texts[0]);
    // The entries, one item each after the title.
    for (int i = 1; i < screen->itemsNeeded; i++)
        drawMenuText(MenuColumnX, 60 + 40 * i, texts[i]);
    drawCursor(100 + 40 * game.menuSelection);
}

void drawCredits(const ContentScreen *screen) {
    const char *texts[MaxItems];
    readItems(screen, texts);
    drawMenuText(MenuColumnX, 100, texts[0]);
    for (int i = 1; i < 7; i++)
        drawMenuText(MenuColumnX, 120 + 20 * i, texts[i]);
    drawMenuText(MenuColumnX, 280, texts[7]);
    drawMenuText(MenuColumnX, 300, texts[8]);
    drawMenuText(MenuColumnX, 380, texts[9]);
    drawCursor(380);
}

void drawDifficulty(const ContentScreen *screen) {
    const char *texts[MaxItems];
    readItems(screen, texts);
    drawMenuText(MenuColumnX, 100, texts[0]);
    for (int i = 1; i < screen->itemsNeeded; i++)
        drawMenuText(MenuColumnX, 140 + 40 * i, texts[i]);
    drawCursor(180 + 40 * game.menuSelection);
}

void drawHelp(const ContentScreen *screen) {
    const char *texts[MaxItems];
    readItems(screen, texts);
    drawMenuText(200, 60, texts[0]);
}

void drawGameOverMenu(const ContentScreen *screen) {
    const char *texts[MaxItems];
    readItems(screen, texts);
    drawMenuText(MenuColumnX, 100, texts[0]);
    // A label too long for the line is cut short rather than overrunning it.
    char line[200];
    snprintf(line, sizeof line, "%s %d", texts[1], game.score);
    drawMenuText(MenuColumnX, 180, line);
    drawMenuText(MenuColumnX, 340, texts[2]);
    drawMenuText(MenuColumnX, 380, texts[3]);
    drawCursor(340 + 40 * game.menuSelection);
}

// Up and Down on a menu with entries: the highlight moves within them, with the move
// sound also where it cannot.
static void moveHighlight(NavAction action) {
    if (action == Up) {
        playSound(SoundMenuMove);
        if (game.menuSelection > 0)
            game.menuSelection--;
    } else if (action == Down) {
        playSound(SoundMenuMove);
        if (game.menuSelection < game.menuItemCount - 1)
            game.menuSelection++;
    }
}

// The keys every menu with entries shares: Up and Down move the highlight, Back leads to
// the main menu. True for Confirm, after the select sound: the caller acts on the entry.
static bool entryConfirmed(NavAction action) {
    if (action == Back) {
        game.requestedScreen = MainMenu;
        return false;
    }
    if (action != Confirm) {
        moveHighlight(action);
        return false;
    }
    playSound(SoundMenuSelect);
    return true;
}

bool navigateSplash(NavAction action) {
    if (action == Confirm) {
        // Backdating the entry lets the splash time-out fire at the next logic step.
        game.screenEnteredAt = tickAdd(game.screenEnteredAt, -SplashSkipMs);
    } else if (action == Back) {
        game.requestedScreen = LanguagePick;
    }
    return false;
}

bool navigateLanguagePick(NavAction action) {
    switch (action) {
    case Confirm:
        playSound(SoundMenuSelect);
        // A class asks who is playing first.
        game.requestedScreen = settings.classList.count > 0 ? PlayerPick : MainMenu;
        return false;
    case Back:
        return true;
    case Up:
    case Right:
        playSound(SoundMenuMove);
        nextLanguage();
        return false;
    case Down:
    case Left:
        playSound(SoundMenuMove);
        previousLanguage();
        return false;
    }
    return false;
}

bool navigateMainMenu(NavAction action) {
    if (action == Back) {
        // With a class, Escape hands the game to the next child; otherwise it only
        // points at the quit entry, and leaving takes a Confirm.
        if (settings.classList.count > 0)
            game.requestedScreen = PlayerPick;
        else
            game.menuSelection = MainMenuQuitEntry;
        return false;
    }
    if (!entryConfirmed(action))
        return false;
    if (game.menuSelection >= Addition && game.menuSelection <= Mixed) {
        game.gameMode = game.menuSelection;
        game.requestedScreen = Difficulty;
    } else if (game.menuSelection == MainMenuCreditsEntry) {
        game.requestedScreen = Credits;
    } else if (game.menuSelection == MainMenuQuitEntry) {
        return true;
    }
    return false;
}

bool navigateCredits(NavAction action) {
    if (action == Confirm)
        playSound(SoundMenuSelect);
    if (action == Confirm || action == Back)
        game.requestedScreen = MainMenu;
    return false;
}

bool navigateDifficulty(NavAction action) {
    if (!entryConfirmed(action))
        return false;
    if (game.menuSelection >= 0 && game.menuSelection < DifficultyBackEntry) {
        game.difficulty = game.menuSelection;
        game.requestedScreen = Help;
    } else if (game.menuSelection == DifficultyBackEntry) {
        game.requestedScreen = MainMenu;
    }
    return false;
}

bool navigateHelp(NavAction action) {
    if (action == Confirm)
        game.requestedScreen = Playing;
    else if (action == Back)
        game.requestedScreen = MainMenu;
    return false;
}

bool navigatePlaying(NavAction action) {
    // Answers come from key presses; a release of Escape gives the game up.
    if (action == Back)
        endGame(GameGivenUp);
    return false;
}

bool navigateGameOver(NavAction action) {
    if (!entryConfirmed(action))
        return false;
    if (game.menuSelection == GameOverPlayAgainEntry)
        game.requestedScreen = Playing;
    else if (game.menuSelection == GameOverMainMenuEntry)
        game.requestedScreen = MainMenu;
    return false;
}
