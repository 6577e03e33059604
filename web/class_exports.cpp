// What the page's class (class.js) asks of the game: names checked as the game checks a
// player's name, "Who is playing?" in the game's languages, a record that carries a
// child's name, and the class view, the class table for a spreadsheet and the records of
// other devices merged by name, all by the game's own rules (shell/class_progress).
#include <cstring>
#include <emscripten.h>
#include <string>
#include <vector>

#include "content/content.h"
#include "content/practice_texts.h"
#include "ground/atomic_file.h"
#include "ground/game_state.h"
#include "record/players.h"
#include "record/progress_record.h"
#include "shell/class_progress.h"

namespace {

// The most names the page's class list holds (as many as the game's "Who is playing?"
// screen lists).
constexpr int PageClassMax = 40;

// The merged records handed to the page are apart by this character, and each one's
// key, name and text by UnitSeparator: no record holds either.
constexpr char RecordSeparator = '\x1e', UnitSeparator = '\x1f';

// Latin-1 bytes (the content file's, as the font draws them) as UTF-8.
std::string utf8FromLatin1(const char *text) {
    std::string out;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; p++) {
        if (*p < 0x80) {
            out += static_cast<char>(*p);
        } else {
            out += static_cast<char>(0xC0 | *p >> 6);
            out += static_cast<char>(0x80 | (*p & 0x3F));
        }
    }
    return out;
}

// The texts of the files "0", "1", ... in folder (the page writes each record there,
// in the game's file system, since a class's records are too large to hand over as one
// argument), up to the first missing; a file that cannot be read is an empty text.
std::vector<std::string> textsIn(const char *folder) {
    std::vector<std::string> texts;
    for (int n = 0;; n++) {
        std::string text, why;
        FileRead read = readWholeFile(std::string(folder) + "/" + std::to_string(n), ProgressRecordMaxBytes, &text, &why);
        if (read == FileMissing)
            return texts;
        texts.push_back(read == FileReadWhole ? text : std::string());
    }
}

// The class of the records in folder (each a record or a class table), merged by name.
std::vector<ProgressRecord> classIn(const char *folder) {
    std::vector<ProgressRecord> players;
    std::string why;
    for (const std::string &text : textsIn(folder))
        addToClass(text, &players, &why);
    return players;
}

} // namespace

extern "C" {

// The code ("en", "de", ...) of the language the game is in, "" before it has one.
EMSCRIPTEN_KEEPALIVE const char *plimoLanguageCode(const char *) {
    const char *code = game.currentLanguage ? game.currentLanguage->Attribute("code") : nullptr;
    return code ? code : "";
}

// "Who is playing?" and how to choose, in UTF-8, for every language of the content
// file, one line each: "code|title|hint" (with the practice texts' fallbacks). Read from
// the data, without touching the game's own content, so that it can be asked before a
// game starts.
EMSCRIPTEN_KEEPALIVE const char *plimoClassTexts(const char *) {
    static TiXmlDocument document("plimo.xml");
    static std::string texts;
    if (!texts.empty())
        return texts.c_str();
    if (!loadContentFile(document, "plimo.xml").empty() || document.Error())
        return "";
    for (TiXmlElement *language = document.FirstChildElement("language"); language;
         language = language->NextSiblingElement()) {
        const char *code = language->Attribute("code");
        texts += std::string(code ? code : "") + "|";
        for (PracticeTextId id : {ClassTitle, ClassHint}) {
            const char *text = practiceTextOf(language, id);
            texts += utf8FromLatin1(text ? text : practiceTextItems[id].english) + (id == ClassTitle ? "|" : "\n");
        }
    }
    return texts.c_str();
}

// A class list as the teacher typed it (names apart by line breaks or commas, blank ones
// skipped), checked as the game checks a player's name: "!|why" naming the name at
// fault, or one line per child, "name|key" (the name trimmed, and as names are
// compared). Refused: a name the game cannot take, one child twice, more than the class
// list holds.
EMSCRIPTEN_KEEPALIVE const char *plimoCheckNames(const char *text) {
    static std::string out;
    std::vector<std::string> names, keys;
    std::string all = text, piece;
    all += '\n';
    for (char c : all) {
        if (c != '\n' && c != ',' && c != '\r') {
            piece += c;
            continue;
        }
        if (piece.find_first_not_of(" \t") == std::string::npos) {
            piece.clear();
            continue;
        }
        std::string name, why;
        std::string shown = piece.size() > 40 ? piece.substr(0, 40) + "..." : piece;
        if (!checkPlayerName(piece.c_str(), &name, &why)) {
            out = "!|\"" + shown + "\": " + why;
            return out.c_str();
        }
        std::string key = playerKey(name);
        for (size_t i = 0; i < keys.size(); i++) {
            if (keys[i] == key) {
                out = "!|\"" + names[i] + "\" and \"" + name + "\" are one child";
                return out.c_str();
            }
        }
        if (static_cast<int>(names.size()) == PageClassMax) {
            out = "!|a class list holds at most " + std::to_string(PageClassMax) + " names";
            return out.c_str();
        }
        names.push_back(name);
        keys.push_back(key);
        piece.clear();
    }
    out.clear();
    for (size_t i = 0; i < names.size(); i++)
        out += names[i] + "|" + keys[i] + "\n";
    return out.c_str();
}

// A record of no games yet that carries name (a canonical name), so that the game keeps
// that child's games under it; "" for a name the game refuses.
EMSCRIPTEN_KEEPALIVE const char *plimoNamedRecord(const char *name) {
    static std::string out;
    std::string canonical, why;
    ProgressRecord record;
    out.clear();
    if (checkPlayerName(name, &canonical, &why)) {
        record.player = canonical;
        out = formatProgressRecord(record);
    }
    return out.c_str();
}

// The class view (as plimo --class-progress prints it) of the records in folder (see
// textsIn), merged by name.
EMSCRIPTEN_KEEPALIVE const char *plimoClassView(const char *folder) {
    static std::string out;
    out = classProgressText(classIn(folder), "this browser");
    return out.c_str();
}

// The class table for a spreadsheet (classCsv) of the records in folder.
EMSCRIPTEN_KEEPALIVE const char *plimoClassCsv(const char *folder) {
    static std::string out;
    out = classCsv(classIn(folder));
    return out.c_str();
}

// The records in folder (the class's own first, then files opened: each a record or a
// class table) merged by name, a game found twice counted once. Returns a line "n|why"
// for each file n that is no record or holds one without a player's name (left out),
// then the character 0x1d, then for each child its key, name and merged record as the
// game writes it, apart by UnitSeparator; the children apart by RecordSeparator.
EMSCRIPTEN_KEEPALIVE const char *plimoMergeRecords(const char *folder) {
    static std::string out;
    std::vector<ProgressRecord> players;
    std::vector<std::string> parts = textsIn(folder);
    out.clear();
    for (size_t n = 0; n < parts.size(); n++) {
        std::vector<ProgressRecord> alone;
        std::string why;
        if (!addToClass(parts[n], &alone, &why)) {
            out += std::to_string(n) + "|" + why + "\n";
            continue;
        }
        bool nameless = false;
        for (const ProgressRecord &player : alone)
            nameless = nameless || player.player.empty();
        if (nameless) {
            out += std::to_string(n) + "|it is a record without a player's name\n";
            continue;
        }
        addToClass(parts[n], &players, &why);
    }
    out += '\x1d';
    for (size_t i = 0; i < players.size(); i++)
        out += (i ? std::string(1, RecordSeparator) : std::string()) + playerKey(players[i].player) + UnitSeparator +
               players[i].player + UnitSeparator + formatProgressRecord(players[i]);
    return out.c_str();
}
}
