// Start-up of the real game with a picture or the font at fault: one line naming the
// file on standard error, and status 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support.h"

namespace {

const char *const pictureFiles[] = {"splash.bmp",         "menubg.bmp",      "help_plusminus.bmp", "help.bmp",
                                    "ingame_neutral.bmp", "ingame_good.bmp", "ingame_bad.bmp"};

uint32_t plainPicture(int x, int y) { return uint32_t(x * 3 + y) & 0xFF; }

// Cells of '!', '"' and '#': a bar whose columns depend on the cell.
uint32_t fontPicture(int x, int y) { return x >= 4 + y / 32 && x < 12 ? 0xFFFFFF : 0; }

// All eight start-up pictures, valid, in the working directory.
void writeGoodPictures(const ScratchDir &dir) {
    for (const char *file : pictureFiles)
        writeBmp(dir.path() + "/" + file, 16, 12, plainPicture);
    writeBmp(dir.path() + "/font_32.bmp", 32, 96, fontPicture);
}

ProcessResult startGame(const ScratchDir &dir) {
    return runProcess(plimoBinary(), {"w"}, dir.path(), {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"}, 10000);
}

// The run ended at once with status 1 and one line on standard error that starts with
// the given text.
void expectOneLineFailure(const ProcessResult &run, const std::string &start) {
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(1, run.exitStatus) << run.err;
    EXPECT_EQ("", run.out);
    EXPECT_EQ(1, std::count(run.err.begin(), run.err.end(), '\n')) << run.err;
    EXPECT_EQ(0u, run.err.rfind(start, 0)) << run.err;
    EXPECT_GT(run.err.size(), start.size() + 1) << "no reason given: " << run.err;
}

} // namespace

TEST(GfxStartup, MissingPictureIsNamed) {
    for (const char *file : {"splash.bmp", "help.bmp", "ingame_bad.bmp", "font_32.bmp"}) {
        SCOPED_TRACE(file);
        ScratchDir dir;
        writeGoodPictures(dir);
        ASSERT_EQ(0, remove((dir.path() + "/" + file).c_str()));
        expectOneLineFailure(startGame(dir), std::string(file) + ": cannot load picture: ");
    }
}

TEST(GfxStartup, PictureThatIsNotABmpIsNamed) {
    for (const char *file : {"menubg.bmp", "ingame_neutral.bmp", "font_32.bmp"}) {
        SCOPED_TRACE(file);
        ScratchDir dir;
        writeGoodPictures(dir);
        dir.write(file, "GIF89a and then nothing a bitmap loader could use");
        expectOneLineFailure(startGame(dir), std::string(file) + ": cannot load picture: ");
    }
}

TEST(GfxStartup, FontThatCannotHoldItsCellsIsNamed) {
    struct {
        const char *label;
        int width, height;
        const char *reason;
    } cases[] = {
        {"less than one cell high", 32, 31, "the picture is less than one cell high"},
        {"more cells than the tables", 1, 300, "the picture has more than 256 cells"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        ScratchDir dir;
        writeGoodPictures(dir);
        writeBmp(dir.path() + "/font_32.bmp", c.width, c.height, fontPicture);
        ProcessResult run = startGame(dir);
        expectOneLineFailure(run, "font_32.bmp: ");
        EXPECT_EQ(std::string("font_32.bmp: unusable font: ") + c.reason + "\n", run.err);
    }
}

TEST(GfxStartup, ZeroWidthFontIsNamed) {
    ScratchDir dir;
    writeGoodPictures(dir);
    writeBmp(dir.path() + "/font_32.bmp", 0, 32, fontPicture);
    // Whether the loader refuses it or the font check does, the file is named.
    expectOneLineFailure(startGame(dir), "font_32.bmp: ");
}
