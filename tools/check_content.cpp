// Checks a content file for translators: the start-up check, every fault with its line,
// and every byte of a shown text that the font cannot draw; what the file lacks but the
// game can do without (the practice screen, a language's code) as warnings.
//
// Usage: plimo-check-content [file.xml] [font.bmp]
// (defaults plimo.xml and font_32.bmp in the working directory). Problems go to standard
// output, one per line as "file:line: what", warnings as "file:line: warning: what"; exit
// status 0 when there are no problems, 1 otherwise. A file without problems gets one line
// saying what was checked and that all is well (or how many warnings there were).
#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "content/content.h"
#include "content/practice_texts.h"
#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/surface.h"
#include "ground/data_file.h"

static std::string xmlFile;
static std::string fontFile;
static int problems = 0;
static int warnings = 0;
// What was looked at, for the line that says all is well: shown texts and their bytes.
static int textsChecked = 0;
static long bytesChecked = 0;

static void report(const TiXmlNode *where, const std::string &what) {
    if (where)
        printf("%s:%d: %s\n", xmlFile.c_str(), where->Row(), what.c_str());
    else
        printf("%s: %s\n", xmlFile.c_str(), what.c_str());
    problems++;
}

// Something the game does without: an older file's missing words come from elsewhere.
static void warn(const TiXmlNode *where, const std::string &what) {
    if (where)
        printf("%s:%d: warning: %s\n", xmlFile.c_str(), where->Row(), what.c_str());
    else
        printf("%s: warning: %s\n", xmlFile.c_str(), what.c_str());
    warnings++;
}

// A text as it can be shown on a terminal: bytes outside printable ASCII as \xNN.
static std::string printable(const char *text) {
    std::string s;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; p++) {
        if (*p >= 32 && *p < 127 && *p != '\\') {
            s.push_back(static_cast<char>(*p));
        } else {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02X", *p);
            s += hex;
        }
    }
    return s;
}

// Loads the font the way the game sees it (converted to the screen's pixel format) and
// measures it with the game's own measurement. False, with the problem reported, when
// the font cannot serve.
static bool measureFontFile() {
    // Only a surface format is needed, never a window.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        printf("%s: cannot start SDL to read the font: %s\n", fontFile.c_str(), SDL_GetError());
        problems++;
        return false;
    }
    screenSurface = SDL_SetVideoMode(ScreenWidth, ScreenHeight, 32, SDL_SWSURFACE);
    SDL_Surface *loaded = screenSurface ? SDL_LoadBMP(fontFile.c_str()) : nullptr;
    if (!loaded) {
        printf("%s: cannot load: %s\n", fontFile.c_str(), SDL_GetError());
        problems++;
        return false;
    }
    fontImage = SDL_ConvertSurface(loaded, screenSurface->format, SDL_SWSURFACE);
    SDL_FreeSurface(loaded);
    if (!fontImage) {
        printf("%s: cannot convert: %s\n", fontFile.c_str(), SDL_GetError());
        problems++;
        return false;
    }
    int w = fontImage->w;
    if (w <= 0 || fontImage->h < w || fontImage->h / w > 256) {
        printf("%s: %dx%d is not a column of 1 to 256 square cells\n", fontFile.c_str(), w,
               fontImage->h);
        problems++;
        return false;
    }
    if (!measureFont()) {
        printf("%s: cannot lock the font to measure it\n", fontFile.c_str());
        problems++;
        return false;
    }
    return true;
}

// True when the menus' 1x text style puts ink on the screen for byte ch (the space
// only advances and counts as drawable).
static bool hasInk(unsigned char ch) {
    if (ch == ' ')
        return true;
    if (ch < 33)
        return false;
    // An unmeasured cell has width 0, an empty one -w; a one-column glyph (width 0)
    // draws nothing at 1x either.
    return glyphWidth[ch - 33] > 0;
}

// Signs the font draws otherwise than typed: '*' as the multiplication cross and '/' as
// the division sign, for the problems, and '<' and '>' as the menu cursor's chevrons,
// taller than a line of text; in a menu text they would not show as the translator typed
// them.
static const struct {
    char sign;
    const char *shownAs;
} OtherSigns[] = {
    {'*', "a multiplication cross"},
    {'/', "a division sign"},
    {'<', "a cursor chevron"},
    {'>', "a cursor chevron"},
};

static void checkSchoolSigns(const TiXmlNode *where, const std::string &who, const char *text) {
    constexpr int Signs = sizeof OtherSigns / sizeof OtherSigns[0];
    bool seen[Signs] = {};
    int position = 0;
    for (const char *p = text; *p; p++, position++) {
        int sign = 0;
        while (sign < Signs && OtherSigns[sign].sign != *p)
            sign++;
        if (sign == Signs || seen[sign])
            continue;
        seen[sign] = true;
        char what[96];
        snprintf(what, sizeof what, "'%c' at %d shows as %s", *p, position, OtherSigns[sign].shownAs);
        report(where, who + " \"" + printable(text) + "\": " + what);
    }
}

static void checkInk(const TiXmlNode *where, const std::string &who, const char *text) {
    if (!text)
        return;
    textsChecked++;
    bytesChecked += static_cast<long>(strlen(text));
    checkSchoolSigns(where, who, text);
    bool seen[256] = {};
    int position = 0;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; p++, position++) {
        if (hasInk(*p) || seen[*p])
            continue;
        seen[*p] = true;
        char byte[64];
        snprintf(byte, sizeof byte, "byte 0x%02X at %d", *p, position);
        report(where, who + " \"" + printable(text) + "\": " + byte + " has no ink in " + fontFile);
    }
}

// The directory part of a path, with its slash, or "" for a bare file name.
static std::string directoryOf(const std::string &path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// The game opens language pictures relative to its working directory, which holds the
// content file; so they are looked for beside the file here.
static void checkPicture(const TiXmlElement *language, const std::string &who) {
    const char *image = language->Attribute("image");
    // A name that is not a plain file name in the data folder is a fault of its own,
    // reported with the others; the game never opens it.
    if (!image || !plainDataFileName(image))
        return;
    // Opened and checked as the game opens and checks it: a regular file, a BMP no
    // larger than the screen.
    std::string path = directoryOf(xmlFile) + image;
    DataFileIdentity identity;
    std::string why;
    int fd = openDataFile(path.c_str(), &identity, &why);
    if (fd < 0) {
        report(language, who + ": image \"" + printable(image) + "\" cannot be loaded: " + why);
        return;
    }
    SDL_Surface *picture = readBmpFile(fd, static_cast<uint64_t>(identity.size), ScreenWidth, ScreenHeight);
    close(fd);
    if (!picture) {
        report(language, who + ": image \"" + printable(image) + "\" cannot be loaded: " + SDL_GetError());
        return;
    }
    SDL_FreeSurface(picture);
}

// The texts the menus draw for one language, checked against the font.
static void checkLanguageTexts(TiXmlElement *language, const std::string &who) {
    checkInk(language, who + ": langpick", language->Attribute("langpick"));
    checkInk(language, who + ": name", language->Attribute("name"));
    for (const ContentScreen &want : contentScreens) {
        TiXmlElement *nameless;
        TiXmlElement *screen = findScreenOf(language, want.name, &nameless);
        int index = 1;
        for (TiXmlElement *item = firstItem(screen); item && index <= want.itemsNeeded;
             item = item->NextSiblingElement(), index++) {
            std::string itemWho = who + ": screen \"" + want.name + "\" item " + std::to_string(index);
            checkInk(item, itemWho, item->Attribute("text"));
            // The score line is the label, a blank and up to 11 characters of the score.
            const char *label = item->Attribute("text");
            if (label && index == 2 && std::string(want.name) == "gameover" &&
                std::string(label).size() + 12 > 199)
                report(item, itemWho + ": score label of " + std::to_string(std::string(label).size()) +
                                 " bytes is cut short in the 199-character score line");
        }
    }
}

// The practice screen of one language, read by item name: optional as a whole and item by
// item (the words then come from the first language that has them, or the game's English),
// but an item that is there must be usable and drawable. And the code that --progress
// chooses the language by.
static void checkPracticeTexts(TiXmlElement *language, const std::string &who, bool fontMeasured) {
    if (!language->Attribute("code"))
        warn(language, who + ": no code attribute: plimo --progress cannot print in this language");
    TiXmlElement *nameless;
    TiXmlElement *screen = findScreenOf(language, PracticeScreenName, &nameless);
    std::string screenWho = who + ": screen \"" + PracticeScreenName + "\"";
    if (!screen) {
        warn(language, screenWho + " not found: its words come from another language or the game's English");
        return;
    }
    for (const PracticeTextItem &want : practiceTextItems) {
        TiXmlElement *item = firstItem(screen);
        while (item && !(item->Attribute("name") && asciiCaseCompare(item->Attribute("name"), want.name) == 0))
            item = item->NextSiblingElement();
        std::string itemWho = screenWho + " item \"" + want.name + "\"";
        if (!item) {
            warn(screen, itemWho + " not found: it comes from another language or the game's English");
            continue;
        }
        const char *text = item->Attribute("text");
        if (!text) {
            report(item, itemWho + " has no text attribute");
            continue;
        }
        if (!placeholdersMatch(text, want.placeholders)) {
            std::string wanted = want.placeholders == 0 ? "none wanted"
                                 : want.placeholders == 1
                                     ? "{1} wanted once"
                                     : "{1} to {" + std::to_string(want.placeholders) + "} wanted, each once";
            report(item, itemWho + " \"" + printable(text) + "\": placeholders wrong, " + wanted);
        }
        if (fontMeasured)
            checkInk(item, itemWho, text);
    }
    for (TiXmlElement *item = firstItem(screen); item; item = item->NextSiblingElement()) {
        const char *name = item->Attribute("name");
        bool known = false;
        for (const PracticeTextItem &want : practiceTextItems)
            known = known || (name && asciiCaseCompare(name, want.name) == 0);
        if (!known)
            warn(item, screenWho + " item \"" + printable(name ? name : "") + "\" is not one the game reads");
    }
}

int main(int argc, char **argv) {
    if (argc > 3 || (argc > 1 && argv[1][0] == '-')) {
        fprintf(stderr, "usage: plimo-check-content [file.xml] [font.bmp]\n");
        return 1;
    }
    xmlFile = argc > 1 ? argv[1] : "plimo.xml";
    fontFile = argc > 2 ? argv[2] : "font_32.bmp";

    // Read and parsed as the game reads it.
    TiXmlDocument document(xmlFile.c_str());
    std::string shape = loadContentFile(document, xmlFile.c_str());
    if (!shape.empty()) {
        printf("%s: %s\n", xmlFile.c_str(), shape.c_str());
        return 1;
    }
    std::vector<ContentFault> faults = listContentFaults(document);
    for (const ContentFault &fault : faults)
        report(fault.where, fault.message);
    // A file that cannot be read has nothing more to look at.
    if (document.Error())
        return 1;

    bool fontMeasured = measureFontFile();
    if (fontMeasured) {
        // The score line adds its digits and minus sign to the label.
        for (const char *p = "-0123456789"; *p; p++) {
            if (!hasInk(static_cast<unsigned char>(*p))) {
                printf("%s: '%c' (used by the score line) has no ink\n", fontFile.c_str(), *p);
                problems++;
            }
        }
    }
    int position = 1;
    for (TiXmlElement *language = document.FirstChildElement("language"); language;
         language = language->NextSiblingElement(), position++) {
        std::string who = describeLanguage(language, position);
        if (screenSurface)
            checkPicture(language, who);
        if (fontMeasured)
            checkLanguageTexts(language, who);
        checkPracticeTexts(language, who, fontMeasured);
    }
    SDL_Quit();
    std::string verdict = "all well";
    if (warnings > 0)
        verdict = "no problems, " + std::to_string(warnings) + " warning" + (warnings == 1 ? "" : "s");
    if (problems == 0)
        printf("%s: %s: %d language%s, %d text%s of %ld bytes, every one drawable with %s\n",
               xmlFile.c_str(), verdict.c_str(), position - 1, position == 2 ? "" : "s", textsChecked,
               textsChecked == 1 ? "" : "s", bytesChecked, fontFile.c_str());
    return problems == 0 ? 0 : 1;
}
