// The nesting guard that keeps a hostile content file from exhausting the parser's stack.
#include <gtest/gtest.h>

#include <string>

#include "content/content.h"

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

} // namespace
