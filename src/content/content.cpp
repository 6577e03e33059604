// The content file: loading and checking it, the language list and the screen lookup.
#include "content/content.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "ground/data_file.h"
#include "ground/game_state.h"
#include "ground/startup.h"

// Static storage: the document exists before main and is destroyed only after the
// program has shut SDL down, so the menus can read it until the very end.
TiXmlDocument ContentDocument("plimo.xml");

// In ContentScreenId order.
const ContentScreen contentScreens[ContentScreenCount] = {
    {"main", 9}, {"credits", 10}, {"difficulty", 6}, {"help", 1}, {"gameover", 4},
};

// Skips from p to just past the terminator, or to end when there is none.
static const char *skipPast(const char *p, const char *end, const char *terminator) {
    size_t length = strlen(terminator);
    for (; p + length <= end; p++)
        if (memcmp(p, terminator, length) == 0)
            return p + length;
    return end;
}

static bool isNameStart(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 127;
}

static bool isNameChar(unsigned char c) {
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':';
}

static bool isSpace(unsigned char c) {
    // The parser counts every C blank, vertical tab and form feed included.
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Reads the start tag at p (just past its '<') the way the parser does: a name, then
// attributes. Returns the position after the tag, or null when the tag is malformed,
// where the parser gives up on the whole file.
static const char *skipStartTag(const char *p, const char *end, bool *selfClosing) {
    if (p >= end || !isNameStart(*p))
        return nullptr;
    while (p < end && isNameChar(*p))
        p++;
    for (;;) {
        while (p < end && isSpace(*p))
            p++;
        if (p >= end)
            return nullptr;
        if (*p == '>') {
            *selfClosing = false;
            return p + 1;
        }
        if (*p == '/') {
            *selfClosing = true;
            return end - p >= 2 && p[1] == '>' ? p + 2 : nullptr;
        }
        if (!isNameStart(*p))
            return nullptr;
        while (p < end && isNameChar(*p))
            p++;
        while (p < end && isSpace(*p))
            p++;
        if (p >= end || *p != '=')
            return nullptr;
        p++;
        while (p < end && isSpace(*p))
            p++;
        if (p < end && (*p == '"' || *p == '\'')) {
            const char *close = static_cast<const char *>(memchr(p + 1, *p, size_t(end - p - 1)));
            if (!close)
                return nullptr;
            p = close + 1;
        } else {
            while (p < end && !isSpace(*p) && *p != '/' && *p != '>')
                p++;
        }
    }
}

int xmlNestingDepth(const char *bytes, size_t size) {
    const char *p = bytes;
    const char *end = bytes + size;
    int depth = 0;
    int deepest = 0;
    while (p < end) {
        const char *open = static_cast<const char *>(memchr(p, '<', size_t(end - p)));
        if (!open)
            break;
        p = open;
        if (end - p >= 4 && memcmp(p, "<!--", 4) == 0) {
            p = skipPast(p + 4, end, "-->");
        } else if (end - p >= 9 && memcmp(p, "<![CDATA[", 9) == 0) {
            p = skipPast(p + 9, end, "]]>");
        } else if (end - p >= 2 && (p[1] == '?' || p[1] == '!')) {
            p = skipPast(p + 2, end, ">");
        } else if (end - p >= 2 && p[1] == '/') {
            depth = std::max(depth - 1, 0);
            p = skipPast(p + 2, end, ">");
        } else if (end - p < 2 || !isNameStart(static_cast<unsigned char>(p[1]))) {
            // Not a tag the parser knows: it skips such markup up to the next '>'.
            p = skipPast(p + 1, end, ">");
        } else {
            bool selfClosing = false;
            const char *after = skipStartTag(p + 1, end, &selfClosing);
            // The parser stops at a malformed tag, so nothing after it is nested.
            if (!after)
                break;
            deepest = std::max(deepest, depth + 1);
            if (!selfClosing)
                depth++;
            p = after;
        }
    }
    return deepest;
}

std::string contentShapeFaultOf(const char *bytes, size_t size) {
    char line[160] = "";
    int depth = xmlNestingDepth(bytes, size);
    // No element can be nested deeper than the file has '<' bytes, so a bound on them
    // keeps the parser's stack safe even where it reads markup differently from the
    // scan (a quoted '>' inside a declaration, say).
    long tags = static_cast<long>(std::count(bytes, bytes + size, '<'));
    if (depth > MaxContentDepth)
        snprintf(line, sizeof line, "elements nested %d deep, at most %d allowed", depth, MaxContentDepth);
    else if (tags > MaxContentTags)
        snprintf(line, sizeof line, "%ld tags, at most %d allowed", tags, MaxContentTags);
    return line;
}

std::string contentShapeFault(const char *fileName) {
    std::vector<unsigned char> bytes;
    std::string why;
    if (!readDataFile(fileName, MaxContentBytes, &bytes, &why))
        return "";
    return contentShapeFaultOf(reinterpret_cast<const char *>(bytes.data()), bytes.size());
}

void parseContentBytes(TiXmlDocument &document, const char *bytes, size_t size) {
    document.Clear();
    if (size == 0) {
        document.SetError(TiXmlBase::TIXML_ERROR_DOCUMENT_EMPTY, nullptr, nullptr, TIXML_ENCODING_UNKNOWN);
        return;
    }
    // In UTF-8 the parser steps over a lead byte's whole sequence, up to 4 bytes, before it
    // looks for the end: a lead byte last in the file would take it past a buffer ending
    // in a single NUL. Zero padding ends every such step inside the buffer.
    const size_t Padding = 8;
    std::vector<char> text(size + Padding, '\0');
    // Line ends become LF and the text ends at its first NUL byte, as the parser's own
    // file loading has it, so that rows and messages stay what they were.
    size_t out = 0;
    for (size_t in = 0; in < size && bytes[in]; in++) {
        if (bytes[in] == '\r') {
            text[out++] = '\n';
            if (in + 1 < size && bytes[in + 1] == '\n')
                in++;
        } else {
            text[out++] = bytes[in];
        }
    }
    document.Parse(text.data(), nullptr, TIXML_ENCODING_UNKNOWN);
}

std::string loadContentFile(TiXmlDocument &document, const char *fileName) {
    std::vector<unsigned char> bytes;
    std::string why;
    DataFileIdentity identity;
    int fd = openDataFile(fileName, &identity, &why);
    if (fd < 0) {
        document.Clear();
        document.SetError(TiXmlBase::TIXML_ERROR_OPENING_FILE, nullptr, nullptr, TIXML_ENCODING_UNKNOWN);
        return "";
    }
    if (static_cast<unsigned long long>(identity.size) > MaxContentBytes) {
        close(fd);
        return "larger than " + std::to_string(MaxContentBytes >> 20) + " MiB";
    }
    // One read serves the shape check and the parse: the file cannot change in between.
    bool read = readOpenDataFile(fd, MaxContentBytes, &bytes, &why);
    close(fd);
    if (!read) {
        document.Clear();
        document.SetError(TiXmlBase::TIXML_ERROR_OPENING_FILE, nullptr, nullptr, TIXML_ENCODING_UNKNOWN);
        return "";
    }
    const char *text = reinterpret_cast<const char *>(bytes.data());
    std::string shape = contentShapeFaultOf(text, bytes.size());
    if (shape.empty())
        parseContentBytes(document, text, bytes.size());
    return shape;
}

void loadContent() {
    // The parser descends once per nesting level; a hostile file nested thousands of
    // levels deep would exhaust the stack, so such a file is refused before parsing.
    std::string shape = loadContentFile(ContentDocument, "plimo.xml");
    if (!shape.empty())
        failStartup("plimo.xml: %s", shape.c_str());
    // The check reports a file that could not be read or parsed, with the parser's words.
    std::string fault = checkContent(ContentDocument, "plimo.xml");
    if (!fault.empty())
        failStartup("%s", fault.c_str());
    game.currentLanguage = ContentDocument.FirstChildElement("language");
}

int asciiCaseCompare(const char *a, const char *b) {
    const unsigned char *p = reinterpret_cast<const unsigned char *>(a);
    const unsigned char *q = reinterpret_cast<const unsigned char *>(b);
    for (;; p++, q++) {
        // Only ASCII letters fold; bytes above 127 compare as they are, whatever the locale.
        int x = (*p >= 'A' && *p <= 'Z') ? *p + ('a' - 'A') : *p;
        int y = (*q >= 'A' && *q <= 'Z') ? *q + ('a' - 'A') : *q;
        if (x != y || x == 0)
            return x - y;
    }
}

TiXmlElement *findScreenOf(TiXmlElement *language, const char *name, TiXmlElement **nameless) {
    *nameless = nullptr;
    if (!language)
        return nullptr;
    // Every sibling after the first screen is a candidate, whatever its element name.
    for (TiXmlElement *s = language->FirstChildElement("screen"); s; s = s->NextSiblingElement()) {
        const char *candidate = s->Attribute("name");
        if (!candidate) {
            if (!*nameless)
                *nameless = s;
            continue;
        }
        if (asciiCaseCompare(name, candidate) == 0)
            return s;
    }
    return nullptr;
}

TiXmlElement *findScreen(const char *name) {
    TiXmlElement *nameless;
    TiXmlElement *screen = findScreenOf(game.currentLanguage, name, &nameless);
    return nameless ? nullptr : screen;
}

TiXmlElement *firstLanguage() { return ContentDocument.FirstChildElement("language"); }

void nextLanguage() {
    // Any next top-level element is a language, whatever its name.
    TiXmlElement *next = game.currentLanguage ? game.currentLanguage->NextSiblingElement() : nullptr;
    game.currentLanguage = next ? next : firstLanguage();
}

void previousLanguage() {
    TiXmlElement *first = firstLanguage();
    if (!first)
        return;
    TiXmlElement *e = first;
    if (first == game.currentLanguage) {
        while (e->NextSiblingElement())
            e = e->NextSiblingElement();
        game.currentLanguage = e;
        return;
    }
    // No count is kept: walk from the first to the one just before the current.
    while (e->NextSiblingElement() && e->NextSiblingElement() != game.currentLanguage)
        e = e->NextSiblingElement();
    if (e->NextSiblingElement() == game.currentLanguage)
        game.currentLanguage = e;
}

TiXmlElement *firstItem(TiXmlElement *screen) {
    return screen ? screen->FirstChildElement("item") : nullptr;
}

const char *screenItemText(const char *screenName, int index) {
    TiXmlElement *item = firstItem(findScreen(screenName));
    for (int i = 1; item && i < index; i++)
        item = item->NextSiblingElement();
    const char *text = item ? item->Attribute("text") : nullptr;
    return text ? text : "";
}

std::string describeLanguage(const TiXmlElement *language, int position) {
    std::string s = "language " + std::to_string(position);
    const char *name = language->Attribute("name");
    if (name)
        s += std::string(" (\"") + name + "\")";
    else
        s += " (no name)";
    return s;
}

// reported collects the nameless candidates already reported for this language, so that
// one such element is listed once although every later screen's search meets it too.
static void checkScreen(TiXmlElement *language, const std::string &who, const ContentScreen &want,
                        std::vector<const TiXmlElement *> &reported, std::vector<ContentFault> &faults) {
    std::string screenWho = who + ": screen \"" + want.name + "\"";
    TiXmlElement *nameless;
    TiXmlElement *screen = findScreenOf(language, want.name, &nameless);
    if (nameless && std::find(reported.begin(), reported.end(), nameless) == reported.end()) {
        reported.push_back(nameless);
        faults.push_back({screenWho + ": the search for it meets an element without a name attribute",
                          nameless});
    }
    if (!screen) {
        faults.push_back({screenWho + " not found", language});
        return;
    }
    int count = 0;
    for (TiXmlElement *item = firstItem(screen); item; item = item->NextSiblingElement()) {
        count++;
        if (count <= want.itemsNeeded && !item->Attribute("text"))
            faults.push_back({screenWho + ": item " + std::to_string(count) +
                                  " has no text attribute",
                              item});
    }
    if (count < want.itemsNeeded)
        faults.push_back({screenWho + " has " + std::to_string(count) + " items, " +
                              std::to_string(want.itemsNeeded) + " needed",
                          screen});
}

std::vector<ContentFault> listContentFaults(TiXmlDocument &document) {
    std::vector<ContentFault> faults;
    if (document.Error()) {
        std::string what = std::string("cannot read: ") + document.ErrorDesc();
        if (document.ErrorRow() > 0)
            what += " (line " + std::to_string(document.ErrorRow()) + ")";
        faults.push_back({what, nullptr});
        return faults;
    }
    TiXmlElement *first = document.FirstChildElement("language");
    if (!first) {
        faults.push_back({"no language element", nullptr});
        return faults;
    }
    int position = 1;
    for (TiXmlElement *language = first; language; language = language->NextSiblingElement(), position++) {
        std::string who = describeLanguage(language, position);
        // Every element of the list can become the current language, so each needs all three.
        for (const char *attribute : {"langpick", "image", "name"}) {
            if (!language->Attribute(attribute))
                faults.push_back({who + ": no " + attribute + " attribute", language});
        }
        // The picture is opened in the data folder by its plain name, and nowhere else.
        const char *image = language->Attribute("image");
        if (image && !plainDataFileName(image))
            faults.push_back({who + ": image \"" + image + "\" is not a plain file name in the data folder",
                              language});
        std::vector<const TiXmlElement *> reported;
        for (const ContentScreen &want : contentScreens)
            checkScreen(language, who, want, reported, faults);
    }
    return faults;
}

std::string checkContent(TiXmlDocument &document, const char *fileName) {
    std::vector<ContentFault> faults = listContentFaults(document);
    if (faults.empty())
        return "";
    return std::string(fileName) + ": " + faults.front().message;
}
