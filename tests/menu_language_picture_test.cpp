// The language picture: its file's current content on every frame, read once and kept
// while the file stays the same; broken, oversized, blocking or outside files never shown
// and never holding up a frame.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "gfx/surface.h"
#include "menu/menu.h"
#include "support.h"

namespace {

uint32_t blue(int, int) { return 0x0000FF; }
uint32_t yellow(int, int) { return 0xFFFF00; }

std::string faultFile(const std::string &name) {
    std::ifstream in(sourceDir() + "/tests/data/faults/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The colour of a kept picture's top-left pixel (it is kept in the screen's format).
uint32_t topLeft(SDL_Surface *picture) { return pixelAt(picture, 0, 0) & 0xFFFFFF; }

class LanguagePicture : public ::testing::Test {
  protected:
    void SetUp() override {
        startSdlForTests();
        forgetLanguagePicture();
    }
    void TearDown() override { forgetLanguagePicture(); }
    std::string path(const std::string &name) const { return dir.path() + "/" + name; }
    ScratchDir dir;
};

TEST_F(LanguagePicture, ReadOnceWhileTheFileStaysTheSame) {
    writeBmp(path("a.bmp"), 30, 20, blue);
    writeBmp(path("b.bmp"), 30, 20, yellow);
    int reads = languagePictureReads();
    SDL_Surface *first = languagePicture("a.bmp");
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(0x0000FFu, topLeft(first));
    for (int frame = 0; frame < 50; frame++)
        ASSERT_EQ(first, languagePicture("a.bmp")) << frame;
    EXPECT_EQ(reads + 1, languagePictureReads());

    // Another language's picture is read; going back reads the first again.
    EXPECT_EQ(0xFFFF00u, topLeft(languagePicture("b.bmp")));
    EXPECT_EQ(0x0000FFu, topLeft(languagePicture("a.bmp")));
    EXPECT_EQ(reads + 3, languagePictureReads());
}

TEST_F(LanguagePicture, ChangedReplacedOrVanishedFileShowsOnTheNextFrame) {
    writeBmp(path("a.bmp"), 30, 20, blue);
    ASSERT_NE(nullptr, languagePicture("a.bmp"));

    // Rewritten in place with new pixels (same size): only the modification time differs.
    struct stat before;
    ASSERT_EQ(0, stat(path("a.bmp").c_str(), &before));
    writeBmp(path("a.bmp"), 30, 20, yellow);
    struct timespec later[2] = {before.st_atim, before.st_mtim};
    later[1].tv_sec += 1;
    ASSERT_EQ(0, utimensat(AT_FDCWD, path("a.bmp").c_str(), later, 0));
    SDL_Surface *changed = languagePicture("a.bmp");
    ASSERT_NE(nullptr, changed);
    EXPECT_EQ(0xFFFF00u, topLeft(changed));

    // Replaced by another file (a new inode) of another size.
    writeBmp(path("c.bmp"), 12, 8, blue);
    ASSERT_EQ(0, rename(path("c.bmp").c_str(), path("a.bmp").c_str()));
    SDL_Surface *replaced = languagePicture("a.bmp");
    ASSERT_NE(nullptr, replaced);
    EXPECT_EQ(12, replaced->w);

    // Gone: nothing is shown, and it shows again when it comes back.
    ASSERT_EQ(0, remove(path("a.bmp").c_str()));
    EXPECT_EQ(nullptr, languagePicture("a.bmp"));
    writeBmp(path("a.bmp"), 30, 20, blue);
    ASSERT_NE(nullptr, languagePicture("a.bmp"));
    EXPECT_EQ(0x0000FFu, topLeft(languagePicture("a.bmp")));

    // Broken in place: left out, and the broken file is not read again on every frame.
    dir.write("a.bmp", faultFile("header_cut_at_22.bmp"));
    EXPECT_EQ(nullptr, languagePicture("a.bmp"));
    int reads = languagePictureReads();
    EXPECT_EQ(nullptr, languagePicture("a.bmp"));
    EXPECT_EQ(reads, languagePictureReads());
}

// Pictures the language screen must not show: the reproducers and their kin.
TEST_F(LanguagePicture, BrokenOrOversizedPicturesAreLeftOut) {
    writeBmp(path("screen.bmp"), 640, 480, blue);
    writeBmp(path("wide.bmp"), 641, 10, blue);
    writeBmp(path("tall.bmp"), 10, 481, blue);
    struct Case {
        const char *file;
        bool shown;
    } cases[] = {
        {"screen.bmp", true},
        {"wide.bmp", false},
        {"tall.bmp", false},
        {"header_cut_at_22.bmp", false},
        {"height_int_min.bmp", false},
        {"claims_16383_square.bmp", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        if (!c.shown && std::string(c.file).find('_') != std::string::npos)
            dir.write(c.file, faultFile(c.file));
        SDL_Surface *picture = languagePicture(c.file);
        EXPECT_EQ(c.shown, picture != nullptr) << SDL_GetError();
    }
}

// A FIFO under the picture's name, with nobody writing to it, would stop the frame loop in
// open(); a device or a directory is not a picture either.
TEST_F(LanguagePicture, OnlyRegularFilesAreOpenedAndNothingBlocks) {
    ASSERT_EQ(0, mkfifo(path("fifo.bmp").c_str(), 0600));
    ASSERT_EQ(0, mkdir(path("folder.bmp").c_str(), 0700));
    ASSERT_EQ(0, symlink("/dev/zero", path("zero.bmp").c_str()));
    std::atomic<int> done{0};
    std::thread reader([&] {
        for (const char *name : {"fifo.bmp", "folder.bmp", "zero.bmp"}) {
            EXPECT_EQ(nullptr, languagePicture(name)) << name;
            done++;
        }
    });
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (done < 3 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(3, done.load()) << "the picture's reading blocked";
    if (done < 3) {
        // Frees a reader stuck in open(): a writer comes and goes, the reader sees the end.
        int writer = open(path("fifo.bmp").c_str(), O_WRONLY);
        if (writer >= 0)
            close(writer);
    }
    reader.join();
}

// Names reaching outside the data folder are never opened, although a picture is there.
TEST_F(LanguagePicture, OnlyPlainNamesInTheDataFolderAreOpened) {
    ASSERT_EQ(0, mkdir(path("data").c_str(), 0700));
    writeBmp(path("data/inner.bmp"), 10, 10, blue);
    writeBmp(path("outer.bmp"), 10, 10, blue);
    ASSERT_EQ(0, chdir(path("data").c_str()));
    EXPECT_NE(nullptr, languagePicture("inner.bmp"));
    for (const std::string &name : std::vector<std::string>{"../outer.bmp", path("outer.bmp"), "./inner.bmp", "", ".", ".."}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(nullptr, languagePicture(name.c_str()));
    }
    EXPECT_EQ(nullptr, languagePicture(nullptr));
    ASSERT_EQ(0, chdir(dir.path().c_str()));
}

} // namespace
