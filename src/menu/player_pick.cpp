// "Who is playing?": the class list's names in columns, drawn and chosen as the menus are.
#include "menu/player_pick.h"

#include <algorithm>
#include <cstdio>

#include "audio/audio.h"
#include "content/practice_texts.h"
#include "gfx/font.h"
#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/settings.h"
#include "menu/menu.h"
#include "record/players.h"

// The soft hyphen, which the font draws as a word's short hyphen.
constexpr unsigned char WordHyphen = 0xAD;
// drawMenuText's shadow reaches this many columns past the last glyph.
constexpr int MenuShadow = 2;
// The cursor stands this far left of its column (before its swing), as on every menu.
constexpr int CursorLead = MenuColumnX - 220;

int playerPickColumns(int count) { return count <= PlayerPickRows ? 1 : (count + PlayerPickRows - 1) / PlayerPickRows; }

// The columns share the width from the menus' column to the panel's edge; each but the
// first keeps the room of its cursor on its left.
static int columnPitch(int columns) { return (PlayerPickRight - MenuColumnX + PlayerPickCursorRoom) / columns; }

int playerPickColumnX(int column, int columns) { return MenuColumnX + column * columnPitch(columns); }

int playerPickNameRoom(int columns) { return columnPitch(columns) - PlayerPickCursorRoom; }

std::string drawnName(const char *utf8) {
    std::string bytes;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(utf8); *p; p++) {
        if (*p == '-') {
            bytes += static_cast<char>(WordHyphen);
        } else if (*p < 0x80) {
            bytes += static_cast<char>(*p);
        } else if ((p[0] == 0xC2 || p[0] == 0xC3) && (p[1] & 0xC0) == 0x80) {
            bytes += static_cast<char>(((p[0] & 0x03) << 6) | (p[1] & 0x3F));
            p++;
        } else {
            bytes += '?';
        }
    }
    return bytes;
}

std::string fittedMenuText(const std::string &text, int width) {
    if (menuTextAdvance(text.c_str()) + MenuShadow <= width)
        return text;
    for (size_t keep = text.size(); keep-- > 0;) {
        std::string cut = text.substr(0, keep);
        while (!cut.empty() && cut.back() == ' ')
            cut.pop_back();
        cut += "...";
        if (menuTextAdvance(cut.c_str()) + MenuShadow <= width)
            return cut;
    }
    return "";
}

void enterPlayerPick() {
    const ClassList &names = settings.classList;
    game.menuItemCount = names.count;
    game.menuSelection = 0;
    std::string playing = playerKey(settings.player);
    for (int i = 0; i < names.count; i++) {
        if (playerKey(names.names[i]) == playing)
            game.menuSelection = i;
    }
}

void drawPlayerPick(const ContentScreen *) {
    const ClassList &names = settings.classList;
    int columns = playerPickColumns(names.count);
    int room = playerPickNameRoom(columns);
    drawMenuText(MenuColumnX, PlayerPickTitleY, practiceText(ClassTitle));
    for (int i = 0; i < names.count; i++) {
        int x = playerPickColumnX(i / PlayerPickRows, columns);
        int y = PlayerPickTop + PlayerPickPitch * (i % PlayerPickRows);
        drawMenuText(x, y, fittedMenuText(drawnName(names.names[i]), room).c_str());
    }
    if (names.count > 0) {
        int selected = game.menuSelection;
        int x = playerPickColumnX(selected / PlayerPickRows, columns) - CursorLead - cursorOffset(now);
        drawMenuText(x, PlayerPickTop + PlayerPickPitch * (selected % PlayerPickRows), ">>");
    }
    // The hint is a whole sentence in some languages: it takes the screen's width.
    std::string hint =
        fittedMenuText(practiceText(ClassHint), ScreenWidth - 2 * PlayerPickHintMargin);
    drawMenuText((ScreenWidth - menuTextAdvance(hint.c_str())) / 2, PlayerPickHintY, hint.c_str());
}

bool navigatePlayerPick(NavAction action) {
    const ClassList &names = settings.classList;
    int selected = game.menuSelection;
    int row = selected % PlayerPickRows, column = selected / PlayerPickRows;
    switch (action) {
    case Confirm:
        playSound(SoundMenuSelect);
        if (selected >= 0 && selected < names.count)
            snprintf(settings.player, sizeof settings.player, "%s", names.names[selected]);
        game.requestedScreen = MainMenu;
        return false;
    case Back:
        game.requestedScreen = LanguagePick;
        return false;
    case Up:
        if (row > 0)
            selected--;
        break;
    case Down:
        if (row < PlayerPickRows - 1 && selected + 1 < names.count)
            selected++;
        break;
    case Left:
        if (column > 0)
            selected -= PlayerPickRows;
        break;
    case Right:
        // Into a shorter last column: its last name.
        if (column + 1 < playerPickColumns(names.count))
            selected = std::min(selected + PlayerPickRows, names.count - 1);
        break;
    }
    playSound(SoundMenuMove);
    game.menuSelection = selected;
    return false;
}
