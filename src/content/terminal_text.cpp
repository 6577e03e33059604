// The content file's words on a terminal: the environment's language and character set.
#include "content/terminal_text.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>

#include "content/content.h"
#include "ground/game_state.h"

// The first of the variables that is set and not empty, or "".
static std::string firstSet(std::initializer_list<const char *> names) {
    for (const char *name : names) {
        const char *value = getenv(name);
        if (value && *value)
            return value;
    }
    return "";
}

// The language of the content file whose code is code, or null.
static TiXmlElement *languageOfCode(const std::string &code) {
    for (TiXmlElement *language = firstLanguage(); language; language = language->NextSiblingElement()) {
        const char *own = language->Attribute("code");
        if (own && asciiCaseCompare(own, code.c_str()) == 0)
            return language;
    }
    return nullptr;
}

std::string languageFromEnvironment() {
    std::string locale = firstSet({"LC_ALL", "LC_MESSAGES", "LANG"});
    // language[_territory][.codeset][@modifier]
    std::string code = locale.substr(0, locale.find_first_of("_.@"));
    for (char &c : code)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    // Norwegian comes as Bokmål or Nynorsk; the content file has one Norwegian.
    if (code == "nb" || code == "nn")
        code = "no";
    return !code.empty() && languageOfCode(code) ? code : "en";
}

bool selectLanguageByCode(const char *code) {
    TiXmlElement *language = code ? languageOfCode(code) : nullptr;
    if (language)
        game.currentLanguage = language;
    return language != nullptr;
}

std::string prepareTerminalLanguage() {
    std::string note;
    std::string shape = loadContentFile(ContentDocument, "plimo.xml");
    if (!shape.empty()) {
        ContentDocument.Clear();
        note = "plimo.xml: " + shape;
    } else if (ContentDocument.Error()) {
        note = checkContent(ContentDocument, "plimo.xml");
        ContentDocument.Clear();
    }
    game.currentLanguage = firstLanguage();
    if (!selectLanguageByCode(languageFromEnvironment().c_str()))
        selectLanguageByCode("en");
    return note.empty() ? note : note + "; the words are English";
}

std::string terminalCodeset() {
    const char *current = setlocale(LC_CTYPE, nullptr);
    std::string saved = current ? current : "C";
    std::string codeset;
    if (setlocale(LC_CTYPE, "")) {
        codeset = nl_langinfo(CODESET);
    } else {
        // A locale the system lacks (not generated, say) still names the terminal's set.
        std::string locale = firstSet({"LC_ALL", "LC_CTYPE", "LANG"});
        size_t dot = locale.find('.');
        if (dot != std::string::npos)
            codeset = locale.substr(dot + 1, locale.find('@', dot) - dot - 1);
    }
    setlocale(LC_CTYPE, saved.c_str());
    return codeset.empty() ? "ANSI_X3.4-1968" : codeset;
}

// Plain ASCII for the ISO-8859-1 bytes from 0xA0 up, in order; the C1 controls below them
// are "?".
static const char *const AsciiOfLatin1[96] = {
    " ",   "!",   "c",   "L",   "?",  "Y",  "|",  "S",  "\"", "(c)", "a",  "<<", "!",  "-",  "(R)", "-",
    "o",   "+/-", "2",   "3",   "'",  "u",  "P",  ".",  ",",  "1",   "o",  ">>", "1/4", "1/2", "3/4", "?",
    "A",   "A",   "A",   "A",   "A",  "A",  "AE", "C",  "E",  "E",   "E",  "E",  "I",  "I",  "I",   "I",
    "D",   "N",   "O",   "O",   "O",  "O",  "O",  "x",  "O",  "U",   "U",  "U",  "U",  "Y",  "TH",  "ss",
    "a",   "a",   "a",   "a",   "a",  "a",  "ae", "c",  "e",  "e",   "e",  "e",  "i",  "i",  "i",   "i",
    "d",   "n",   "o",   "o",   "o",  "o",  "o",  "/",  "o",  "u",   "u",  "u",  "u",  "y",  "th",  "y",
};

static const char *asciiOf(unsigned char byte) { return byte >= 0xA0 ? AsciiOfLatin1[byte - 0xA0] : "?"; }

static bool isUtf8(const char *codeset) {
    return asciiCaseCompare(codeset, "UTF-8") == 0 || asciiCaseCompare(codeset, "UTF8") == 0;
}

std::string toTerminalText(const std::string &contentText, const char *codeset) {
    std::string out;
    // The converter, when one is needed and known; UTF-8 is written here, so that it needs
    // no converter at all.
    bool utf8 = codeset && isUtf8(codeset);
    iconv_t converter = reinterpret_cast<iconv_t>(-1);
    bool tried = false;
    for (unsigned char byte : contentText) {
        // The font draws a word's hyphen as the soft hyphen (its '-' is the problems'
        // minus); a terminal shows a soft hyphen as nothing.
        if (byte == 0xAD)
            byte = '-';
        if (byte < 0x80) {
            out += static_cast<char>(byte);
            continue;
        }
        if (utf8) {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
            continue;
        }
        if (!tried && codeset) {
            tried = true;
            converter = iconv_open(codeset, "ISO-8859-1");
        }
        char from[1] = {static_cast<char>(byte)};
        char to[16];
        char *in = from, *put = to;
        size_t inLeft = 1, outLeft = sizeof to;
        if (converter != reinterpret_cast<iconv_t>(-1) &&
            iconv(converter, &in, &inLeft, &put, &outLeft) != static_cast<size_t>(-1) && inLeft == 0) {
            out.append(to, static_cast<size_t>(put - to));
        } else {
            if (converter != reinterpret_cast<iconv_t>(-1))
                iconv(converter, nullptr, nullptr, nullptr, nullptr); // back to the initial state
            out += asciiOf(byte);
        }
    }
    if (converter != reinterpret_cast<iconv_t>(-1)) {
        // A set with shift states ends in its initial one.
        char to[16];
        char *put = to;
        size_t outLeft = sizeof to;
        if (iconv(converter, nullptr, nullptr, &put, &outLeft) != static_cast<size_t>(-1))
            out.append(to, static_cast<size_t>(put - to));
        iconv_close(converter);
    }
    return out;
}

std::string toTerminalText(const std::string &contentText) {
    return toTerminalText(contentText, terminalCodeset().c_str());
}
