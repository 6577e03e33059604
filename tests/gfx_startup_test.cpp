// Start-up of the real game with a picture or the font at fault: one line naming the
// file on standard error, and status 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "support.h"

TEST(GfxStartup, PictureAtFaultIsNamed) {
    enum Fault { Missing, NotABmp, Sized };
    struct {
        const char *file;
        Fault fault;
        int width, height;     // of a Sized picture
        const char *start;     // what standard error starts with
        const char *wholeLine; // or nullptr
    } cases[] = {
        {"splash.bmp", Missing, 0, 0, "splash.bmp: cannot load picture: ", nullptr},
        {"help.bmp", Missing, 0, 0, "help.bmp: cannot load picture: ", nullptr},
        {"ingame_bad.bmp", Missing, 0, 0, "ingame_bad.bmp: cannot load picture: ", nullptr},
        {"font_32.bmp", Missing, 0, 0, "font_32.bmp: cannot load picture: ", nullptr},
        {"menubg.bmp", NotABmp, 0, 0, "menubg.bmp: cannot load picture: ", nullptr},
        {"ingame_neutral.bmp", NotABmp, 0, 0, "ingame_neutral.bmp: cannot load picture: ", nullptr},
        {"font_32.bmp", NotABmp, 0, 0, "font_32.bmp: cannot load picture: ", nullptr},
        {"font_32.bmp", Sized, 32, 31, "font_32.bmp: ",
         "font_32.bmp: unusable font: the picture is less than one cell high\n"},
        {"font_32.bmp", Sized, 1, 300, "font_32.bmp: ",
         "font_32.bmp: unusable font: the picture has more than 256 cells\n"},
        // Whether the loader refuses it or the font check does, the file is named.
        {"font_32.bmp", Sized, 0, 32, "font_32.bmp: ", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.file << " fault " << c.fault << " " << c.width << "x" << c.height);
        ScratchDir dir;
        writeStartupPictures(dir.path());
        std::string path = dir.path() + "/" + c.file;
        if (c.fault == Missing)
            ASSERT_EQ(0, remove(path.c_str()));
        else if (c.fault == NotABmp)
            dir.write(c.file, "GIF89a and then nothing a bitmap loader could use");
        else
            writeBmp(path, c.width, c.height, [](int x, int) -> uint32_t { return x >= 4 ? 0xFFFFFF : 0; });
        ProcessResult run = runProcess(plimoBinary(), {"w"}, dir.path(),
                                       {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"}, 10000);
        EXPECT_FALSE(run.timedOut);
        EXPECT_EQ(1, run.exitStatus) << run.err;
        EXPECT_EQ("", run.out);
        EXPECT_EQ(1, std::count(run.err.begin(), run.err.end(), '\n')) << run.err;
        EXPECT_EQ(0u, run.err.rfind(c.start, 0)) << run.err;
        EXPECT_GT(run.err.size(), strlen(c.start) + 1) << "no reason given: " << run.err;
        if (c.wholeLine) {
            EXPECT_EQ(c.wholeLine, run.err);
        }
    }
}
