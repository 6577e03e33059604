// Players by name: the names a child may go by and where each child's record lies.
#include "record/players.h"

#include <cstdint>


namespace {

// Reads one UTF-8 character at text[*at] into code, moving *at past it. False for a
// malformed, overlong or truncated sequence.
bool nextCharacter(const std::string &text, size_t *at, uint32_t *code) {
    unsigned char first = static_cast<unsigned char>(text[*at]);
    int more = first < 0x80 ? 0 : (first & 0xE0) == 0xC0 ? 1 : (first & 0xF0) == 0xE0 ? 2 : (first & 0xF8) == 0xF0 ? 3 : -1;
    if (more < 0 || *at + static_cast<size_t>(more) >= text.size())
        return false;
    uint32_t value = more == 0 ? first : more == 1 ? first & 0x1F : more == 2 ? first & 0x0F : first & 0x07;
    for (int i = 1; i <= more; i++) {
        unsigned char next = static_cast<unsigned char>(text[*at + i]);
        if ((next & 0xC0) != 0x80)
            return false;
        value = value << 6 | (next & 0x3F);
    }
    static const uint32_t least[4] = {0, 0x80, 0x800, 0x10000};
    if (value < least[more])
        return false;
    *at += static_cast<size_t>(more) + 1;
    *code = value;
    return true;
}

// A letter of the game's languages that the font (ISO-8859-1) draws.
bool nameLetter(uint32_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
        return true;
    if (c < 0xC0 || c > 0xFF || c == 0xD7 || c == 0xF7)
        return false;
    // Of the accented letters, those of no language the game speaks: the Icelandic eth
    // and thorn and the y with acute.
    return c != 0xD0 && c != 0xDE && c != 0xDD && c != 0xF0 && c != 0xFE && c != 0xFD;
}

} // namespace

bool checkPlayerName(const char *given, std::string *canonical, std::string *why) {
    std::string name = given ? given : "";
    size_t begin = name.find_first_not_of(' '), end = name.find_last_not_of(' ');
    name = begin == std::string::npos ? std::string() : name.substr(begin, end - begin + 1);
    if (name.empty()) {
        *why = "a name needs at least one letter";
        return false;
    }
    if (name[0] == '.') {
        *why = "a name may not begin with a dot";
        return false;
    }
    int count = 0;
    for (size_t at = 0; at < name.size();) {
        uint32_t c = 0;
        if (!nextCharacter(name, &at, &c)) {
            *why = "the name is not written in UTF-8";
            return false;
        }
        if (c == '/' || c == '.' || c == '\\') {
            *why = std::string("a name may not hold \"") + static_cast<char>(c) + "\"";
            return false;
        }
        if (!nameLetter(c) && !(c >= '0' && c <= '9') && c != ' ' && c != '-' && c != '\'') {
            *why = "a name may hold only letters, digits, spaces, hyphens and apostrophes";
            return false;
        }
        if (++count > PlayerNameMaxChars) {
            *why = "a name may hold at most " + std::to_string(PlayerNameMaxChars) + " characters";
            return false;
        }
    }
    *canonical = name;
    return true;
}

std::string playerKey(const std::string &name) {
    std::string key;
    for (size_t at = 0; at < name.size();) {
        uint32_t c = 0;
        size_t from = at;
        if (!nextCharacter(name, &at, &c)) {
            key += name.substr(from); // not a canonical name: kept as it is
            break;
        }
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
            c += 0x20;
        if (c < 0x80) {
            key += static_cast<char>(c);
        } else {
            key += static_cast<char>(0xC0 | c >> 6);
            key += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return key;
}
