// Reading the content file once into a padded buffer: the same tree, errors and rows as
// the parser's own file loading on every kind of file, and data file names that stay in
// the data folder.
#include <gtest/gtest.h>

#include <string>
#include <tinyxml.h>

#include "content/content.h"
#include "ground/data_file.h"
#include "support.h"

namespace {

// Everything a reader of the document can see: its error, and the tree as printed.
std::string seen(TiXmlDocument &document) {
    TiXmlPrinter printer;
    document.Accept(&printer);
    return std::to_string(document.Error()) + "|" + document.ErrorDesc() + "|" +
           std::to_string(document.ErrorRow()) + ":" + std::to_string(document.ErrorCol()) + "|" +
           printer.CStr();
}

TEST(ContentReading, SameTreeAndErrorsAsTheParsersOwnLoading) {
    std::string real;
    {
        FILE *in = fopen((sourceDir() + "/data/plimo.xml").c_str(), "rb");
        ASSERT_NE(nullptr, in);
        char buffer[65536];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, in)) > 0)
            real.append(buffer, n);
        fclose(in);
    }
    const std::string nul("<a x=\"1\"/>\0<b/>", 15);
    struct Case {
        const char *label;
        std::string bytes;
    } cases[] = {
        {"the game's file", real},
        {"empty", ""},
        {"blanks only", " \n\t "},
        {"CR LF line ends", "<a>\r\n<b t=\"x\r\ny\"/>\r\n</a>\r\n<c/>"},
        {"lone CR line ends", "<a>\r<b/>\r\r</a>"},
        {"a NUL byte in the middle", nul},
        {"byte-order mark", "\xEF\xBB\xBF<a t=\"\xC3\xA9\"/>"},
        {"declaration with an encoding", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<a t=\"\xE9\"/>"},
        {"error on line 3", "<a>\n<b>\n<c t=\"x></b>\n</a>"},
        {"unclosed element", "<language>\n<screen>"},
        {"entities", "<a t=\"&lt;&amp;&#65;&#x42;\"/>"},
        {"a lead byte inside a closed value", "<?xml version=\"1.0\"?><a b=\"\xD3\"/>"},
    };
    ScratchDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        dir.write("content.xml", c.bytes);
        TiXmlDocument theirs("content.xml");
        theirs.LoadFile(TIXML_ENCODING_UNKNOWN);
        TiXmlDocument ours("content.xml");
        EXPECT_EQ("", loadContentFile(ours, "content.xml"));
        EXPECT_EQ(seen(theirs), seen(ours));
        // The same bytes handed over directly.
        TiXmlDocument direct("content.xml");
        parseContentBytes(direct, c.bytes.data(), c.bytes.size());
        EXPECT_EQ(seen(theirs), seen(direct));
    }
    // Missing: the parser's own words for a file it could not open.
    TiXmlDocument theirs("missing.xml"), ours("missing.xml");
    theirs.LoadFile(TIXML_ENCODING_UNKNOWN);
    EXPECT_EQ("", loadContentFile(ours, "missing.xml"));
    EXPECT_EQ(seen(theirs), seen(ours));
}

TEST(DataFileNames, OnlyPlainNamesInTheFolder) {
    struct Case {
        const char *name;
        bool plain;
    } cases[] = {
        {"lang_en.bmp", true},  {"a", true},       {".hidden.bmp", true},   {"x y.bmp", true},
        {"", false},            {".", false},      {"..", false},           {"../x.bmp", false},
        {"/etc/shadow", false}, {"sub/x.bmp", false}, {"x.bmp/", false},    {"a\\b.bmp", false},
        {"a..b.bmp", false},    {"/dev/zero", false}, {"/proc/self/mem", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.plain, plainDataFileName(c.name)) << c.name;
    EXPECT_FALSE(plainDataFileName(nullptr));
}

} // namespace
