// Players by name: the names a child may go by and the spelling they are compared by.
#include "record/players.h"

#include <cstdio>
#include <cstring>

#include "ground/settings.h"

// A name of the longest kind, every character two bytes in UTF-8, fits the settings.
static_assert(2 * PlayerNameMaxChars + 1 <= PlayerNameBytes, "a name fits Settings::player");

// The character of UTF-8 text at *p, which is advanced past it; -1 for a byte that
// starts no well-formed character (a stray continuation byte, a cut or overlong form, a
// surrogate, beyond U+10FFFF), *p then advanced by one byte.
static long nextCharacter(const unsigned char **p) {
    const unsigned char *s = *p;
    int length = s[0] < 0x80 ? 1 : s[0] >= 0xC2 && s[0] <= 0xDF ? 2 : s[0] >= 0xE0 && s[0] <= 0xEF ? 3
                                 : s[0] >= 0xF0 && s[0] <= 0xF4 ? 4 : 0;
    (*p)++;
    if (length == 0)
        return -1;
    long c = length == 1 ? s[0] : s[0] & (0x7F >> length);
    for (int i = 1; i < length; i++) {
        if ((s[i] & 0xC0) != 0x80)
            return -1;
        c = (c << 6) | (s[i] & 0x3F);
    }
    // The shortest form only, and no surrogate.
    static const long least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        return -1;
    *p = s + length;
    return c;
}

// Whether the font draws character c in a name: the letters of ISO-8859-1 (A-Z, a-z,
// U+00C0..U+00FF but the signs times and divided by), digits, space, hyphen, apostrophe.
static bool nameCharacter(long c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    if (c == ' ' || c == '-' || c == '\'')
        return true;
    return c >= 0xC0 && c <= 0xFF && c != 0xD7 && c != 0xF7;
}

bool checkPlayerName(const char *given, std::string *canonical, std::string *why) {
    if (!given)
        given = "";
    // Trimmed of spaces: a name typed with one too many is the same child.
    const char *begin = given, *end = given + strlen(given);
    while (begin < end && *begin == ' ')
        begin++;
    while (end > begin && end[-1] == ' ')
        end--;
    if (begin == end) {
        *why = "a name needs at least one character, and this one is empty";
        return false;
    }
    std::string name(begin, end);
    const unsigned char *p = reinterpret_cast<const unsigned char *>(name.c_str());
    int characters = 0;
    while (*p) {
        const unsigned char *at = p;
        long c = nextCharacter(&p);
        char what[40];
        if (c < 0) {
            snprintf(what, sizeof what, "byte 0x%02X", *at);
            *why = std::string("a name is written in UTF-8, and ") + what + " starts no character of it";
            return false;
        }
        if (!nameCharacter(c)) {
            if (c > ' ' && c < 0x7F)
                snprintf(what, sizeof what, "'%c'", static_cast<char>(c));
            else
                snprintf(what, sizeof what, "U+%04lX", c);
            *why = std::string("a name holds only letters, digits, spaces, hyphens and apostrophes, and ") + what +
                   " is none of these";
            return false;
        }
        characters++;
    }
    if (characters > PlayerNameMaxChars) {
        *why = "a name holds at most " + std::to_string(PlayerNameMaxChars) + " characters, and this one " +
               std::to_string(characters);
        return false;
    }
    *canonical = name;
    return true;
}

std::string playerKey(const std::string &name) {
    std::string key = name;
    for (size_t i = 0; i < key.size(); i++) {
        unsigned char b = static_cast<unsigned char>(key[i]);
        if (b >= 'A' && b <= 'Z') {
            key[i] = static_cast<char>(b + 32);
        } else if (b == 0xC3 && i + 1 < key.size()) {
            // U+00C0..U+00DE are the capitals of U+00E0..U+00FE (U+00D7, the times sign,
            // never stands in a name), 0x20 apart: in UTF-8 the second byte differs.
            unsigned char next = static_cast<unsigned char>(key[i + 1]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97)
                key[i + 1] = static_cast<char>(next + 0x20);
            i++;
        }
    }
    return key;
}
