// The nesting and tag-count guards that keeps a hostile content file from exhausting the parser's stack.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "content/content.h"
#include "support.h"

namespace {

int depthOf(const std::string &text) { return xmlNestingDepth(text.data(), text.size()); }

TEST(ContentDepth, CountsOnlyRealElementNesting) {
    struct {
        const char *text;
        int depth;
    } const cases[] = {
        {"", 0},
        {"<?xml version='1.0'?><language><screen><item text='a'/></screen></language>", 3},
        {"<a/><b/><c></c>", 1},
        {"<a><b><c/></b><b><c><d/></c></b></a>", 4},
        // Markup inside comments, CDATA and attribute values opens nothing.
        {"<!-- <a><b><c> --><x/>", 1},
        {"<a><![CDATA[<b><c><d>]]></a>", 1},
        {"<a t='<b><c>' u=\"/>\"><b/></a>", 2},
        {"<!DOCTYPE a><a><b></b></a>", 2},
        {"<a t=unquoted><b/></a>", 2},
        {"<a\v\ft\v=\f'v'\v><b\f/></a>", 2},
        // Markup that is no tag is skipped up to its '>', as the parser skips it.
        {"<a><1b><c><d>", 3},
        {"<<a><b><c>", 2},
        {"< <a><b>", 1},
        // Malformed or unterminated tags end the scan, as they end parsing.
        {"<a><b", 1},
        {"<a><!-- never closed <b><c>", 1},
        {"<a t='never closed><b><c>", 0},
        {"<a><b =x><c><d>", 1},
    };
    for (auto c : cases)
        EXPECT_EQ(depthOf(c.text), c.depth) << c.text;
}

TEST(ContentDepth, DeepFilesAreMeasuredWithoutRecursion) {
    std::string deep;
    for (int i = 0; i < 200000; i++)
        deep += "<n>";
    EXPECT_EQ(depthOf(deep), 200000);
    EXPECT_GT(depthOf(deep), MaxContentDepth);
    std::string closed = deep;
    for (int i = 0; i < 200000; i++)
        closed += "</n>";
    EXPECT_EQ(depthOf(closed + closed), 200000);
}

// Hostile files the start-up must refuse before parsing, each of which once slipped
// past a guard, and the limits themselves.
TEST(ContentDepth, HostileFilesAreRefusedBeforeParsing) {
    std::string nest, closing, tags;
    for (int i = 0; i < 100000; i++) {
        nest += "<a>";
        closing += "</a>";
    }
    std::string tabbed = nest;
    for (size_t at = 0; (at = tabbed.find("<a>", at)) != std::string::npos; at += 4)
        tabbed.insert(at + 2, 1, at % 2 ? '\v' : '\f');
    std::string english = languageXml("English"), inEnglish = english;
    inEnglish.insert(english.find('>') + 1, "<" + nest + closing);
    std::string noise(6 << 20, '\0');
    unsigned v = 12345;
    for (char &c : noise) {
        v = v * 1103515245u + 12345u;
        c = char(v >> 24);
    }
    std::string deep256 = nest.substr(0, 3 * MaxContentDepth) + closing.substr(0, 4 * MaxContentDepth);
    for (int i = 0; i < MaxContentTags; i++)
        tags += "<a/>";
    struct {
        const char *label;
        std::string text;
        std::string fault; // "*": any refusal
    } const cases[] = {
        {"nested alone", nest + closing, "elements nested 100000 deep, at most 256 allowed"},
        {"behind a stray '<' in a language", inEnglish, "*"},
        {"behind a doubled '<'", "<<" + nest, "*"},
        // The parser reads the quote whole; a scan to the first '>' would see a comment.
        {"after a declaration holding \"><!--\"", "<?xml version=\"><!--\"?>" + nest + "<!-- -->", "*"},
        {"written with vertical tabs and form feeds", tabbed, "*"},
        {"6 MB of noise with NULs", noise,
         std::to_string(std::count(noise.begin(), noise.end(), '<')) + " tags, at most 16384 allowed"},
        {"256 deep", deep256, ""},
        {"257 deep", "<b>" + deep256 + "</b>", "elements nested 257 deep, at most 256 allowed"},
        {"16384 tags", tags, ""},
        {"16385 tags", tags + "<a/>", "16385 tags, at most 16384 allowed"},
    };
    ScratchDir dir;
    for (const auto &c : cases) {
        dir.write("plimo.xml", c.text);
        std::string fault = contentShapeFault("plimo.xml");
        if (c.fault == "*")
            EXPECT_NE("", fault) << c.label;
        else
            EXPECT_EQ(c.fault, fault) << c.label;
    }
}

} // namespace
