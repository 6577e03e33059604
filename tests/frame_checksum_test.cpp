// Whole frames of every screen, drawn from the game's real data at a fixed moment, and
// the field after many logic steps, compared with checksums recorded earlier: work on
// the drawing's speed must not change a single pixel.
//
// After a deliberate change of the pictures or of what a screen shows, look at the
// frames (PLIMO_DUMP_FRAMES=<directory> writes them as BMP files) and record the new
// sums with PLIMO_RECORD_FRAME_CHECKSUMS=1, which rewrites tests/frame_checksums.txt.
#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "content/content.h"
#include "frame_scenes.h"
#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/particles.h"
#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/game_state.h"
#include "shell/frame.h"
#include "support.h"

namespace {

std::string storePath() { return sourceDir() + "/tests/frame_checksums.txt"; }

bool recording() { return getenv("PLIMO_RECORD_FRAME_CHECKSUMS") != nullptr; }

// The stored sums, in file order: "name 0x0123456789abcdef" per line, '#' comments.
std::vector<std::pair<std::string, uint64_t>> readStore() {
    std::vector<std::pair<std::string, uint64_t>> entries;
    std::ifstream in(storePath());
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string name, value;
        if (fields >> name >> value)
            entries.emplace_back(name, std::stoull(value, nullptr, 16));
    }
    return entries;
}

void writeStore(const std::vector<std::pair<std::string, uint64_t>> &entries) {
    std::ofstream out(storePath());
    out << "# FNV-1a 64 checksums of whole frames (640 x 480 pixels) and of the field after\n"
           "# logic steps, drawn from data/ by tests/frame_checksum_test.cpp. Re-record only\n"
           "# after a deliberate change of what is drawn: PLIMO_RECORD_FRAME_CHECKSUMS=1.\n";
    for (const auto &e : entries) {
        char value[24];
        snprintf(value, sizeof value, "0x%016" PRIx64, e.second);
        out << e.first << ' ' << value << '\n';
    }
}

// The sum stored under name; in recording mode stores actual instead and returns it.
uint64_t stored(const std::string &name, uint64_t actual) {
    auto entries = readStore();
    for (auto &e : entries) {
        if (e.first != name)
            continue;
        if (recording()) {
            e.second = actual;
            writeStore(entries);
        }
        return e.second;
    }
    if (recording()) {
        entries.emplace_back(name, actual);
        writeStore(entries);
        return actual;
    }
    ADD_FAILURE() << "no checksum stored for " << name << " in " << storePath();
    return ~actual;
}

// FNV-1a 64 of every picture and the content file of data/, in name order: tells a
// change of the data apart from a change of the drawing.
uint64_t dataFingerprint(const std::string &dir) {
    std::vector<std::string> names;
    if (DIR *d = opendir(dir.c_str())) {
        while (dirent *e = readdir(d)) {
            std::string n = e->d_name;
            if (n.size() > 4 && (n.substr(n.size() - 4) == ".bmp" || n.substr(n.size() - 4) == ".xml"))
                names.push_back(n);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    uint64_t h = 0xcbf29ce484222325ULL;
    for (const std::string &n : names) {
        std::ifstream in(dir + "/" + n, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (unsigned char c : n + '\0' + bytes) {
            h ^= c;
            h *= 0x100000001b3ULL;
        }
    }
    return h;
}

void dumpFrame(const std::string &name) {
    if (const char *dir = getenv("PLIMO_DUMP_FRAMES"))
        SDL_SaveBMP(screenSurface, (std::string(dir) + "/" + name + ".bmp").c_str());
}

class FrameChecksum : public ::testing::Test {
  protected:
    void SetUp() override {
        startSdlForTests();
        resetGame();
        std::string cmd = "cp '" + sourceDir() + "/data/'*.bmp '" + sourceDir() + "/data/plimo.xml' '" +
                          dir.path() + "/'";
        ASSERT_EQ(0, system(cmd.c_str()));
        loadSceneResources();
        uint64_t data = dataFingerprint(dir.path());
        dataChanged = data != stored("data-fingerprint", data);
    }
    void TearDown() override {
        resetSceneState();
        releaseSceneResources();
        resetGame();
    }
    // A stored sum that no longer matches: says whether the data moved under it.
    void expectStored(const std::string &name, uint64_t actual) {
        const char *why = dataChanged ? ": the pictures or texts in data/ have changed since the sums were recorded"
                                      : ": the drawing itself has changed";
        EXPECT_EQ(stored(name, actual), actual) << name << why;
    }
    void drawScene(const FrameScene &scene) {
        resetSceneState();
        scene.setUp();
        ASSERT_TRUE(drawFrameContents());
        dumpFrame(scene.name);
    }
    ScratchDir dir;
    bool dataChanged = false;
};

TEST_F(FrameChecksum, EveryScreenDrawsItsStoredPixels) {
    std::set<uint64_t> seen;
    for (const FrameScene &scene : frameScenes()) {
        SCOPED_TRACE(scene.name);
        drawScene(scene);
        uint64_t sum = screenChecksum();
        expectStored(scene.name, sum);
        // Two scenes drawing the same frame would mean one of them shows nothing of its own.
        EXPECT_TRUE(seen.insert(sum).second) << scene.name << " draws the same frame as an earlier scene";
    }
}

TEST_F(FrameChecksum, ScenesHoldWhatTheyAreNamedFor) {
    // The benchmarks quote these scenes by their contents.
    drawScene(*findFrameScene("playing-typical"));
    EXPECT_EQ(6, sceneProblemCount());
    EXPECT_EQ(128, sceneParticleCount());
    EXPECT_NE(nullptr, game.feedbackText);
    drawScene(*findFrameScene("playing-heavy"));
    EXPECT_EQ(40, sceneProblemCount());
    EXPECT_EQ(3000, sceneParticleCount());
    EXPECT_NE(nullptr, game.feedbackText);
    EXPECT_EQ(Playing, game.requestedScreen);
    drawScene(*findFrameScene("game-over-burst-1000"));
    EXPECT_EQ(1000u, clockTicks() - static_cast<uint32_t>(game.screenEnteredAt));
    drawScene(*findFrameScene("language-pick-12"));
    EXPECT_NE(firstLanguage(), game.currentLanguage);
}

// The bytes of the run-time record as they stand, padding included.
std::vector<unsigned char> stateBytes() {
    std::vector<unsigned char> bytes(sizeof game);
    memcpy(bytes.data(), &game, sizeof game);
    return bytes;
}

TEST_F(FrameChecksum, DrawingReadsTheStateAndWritesOnlyPixels) {
    // An expired input block and a leading problem in the danger zone are what drawing
    // once changed; the scenes below cover every screen besides.
    auto expiredBlockInDanger = [] {
        findFrameScene("playing-typical")->setUp();
        game.inputBlockedUntil = static_cast<int32_t>(SceneTick - 1);
        game.alertFlag = 0;
        for (Problem *p = game.problems; p; p = p->next)
            p->x = 1500;
    };
    std::vector<std::pair<std::string, void (*)()>> scenes;
    for (const FrameScene &scene : frameScenes())
        scenes.emplace_back(scene.name, scene.setUp);
    scenes.emplace_back("expired-block-in-danger", +expiredBlockInDanger);
    for (const auto &scene : scenes) {
        SCOPED_TRACE(scene.first);
        resetSceneState();
        scene.second();
        std::vector<unsigned char> before = stateBytes();
        uint64_t field = fieldChecksum();
        std::string feedback = game.feedbackText ? game.feedbackText : "";
        ASSERT_TRUE(drawFrameContents());
        uint64_t first = screenChecksum();
        ASSERT_TRUE(drawFrameContents());
        EXPECT_EQ(first, screenChecksum()) << "the same state drew two different frames";
        EXPECT_TRUE(before == stateBytes()) << "drawing changed the run-time record";
        EXPECT_EQ(field, fieldChecksum()) << "drawing changed the field or the particles";
        EXPECT_EQ(feedback, game.feedbackText ? game.feedbackText : "");
    }
}

TEST_F(FrameChecksum, LogicStepsLeaveTheStoredField) {
    drawScene(*findFrameScene("playing-heavy"));
    uint64_t before = fieldChecksum();
    // Three seconds of play: movement, culling, speed-ups and spawns.
    for (int step = 0; step < 300; step++) {
        updateScreen();
        game.logicClock = tickAdd(game.logicClock, 10);
    }
    EXPECT_NE(before, fieldChecksum());
    EXPECT_GT(sceneProblemCount(), 40);
    EXPECT_LT(sceneParticleCount(), 3000);
    expectStored("field-heavy-after-300-steps", fieldChecksum());
    clockSet(SceneTick + 3000);
    now = static_cast<int32_t>(SceneTick + 3000);
    ASSERT_TRUE(drawFrameContents());
    dumpFrame("playing-heavy-after-300-steps");
    expectStored("playing-heavy-after-300-steps", screenChecksum());
}

TEST_F(FrameChecksum, GlyphsAndShapesClippedAtTheEdges) {
    resetSceneState();
    SDL_BlitSurface(menuBackground, nullptr, screenSurface, nullptr);
    const int modes[] = {Shadow, Average, Add, Copy, 7};
    int w = fontImage->w;
    // Every mode at both scales, half off each edge of the screen and past its corners.
    for (int m = 0; m < 5; m++) {
        int mode = modes[m];
        int ch = 'A' + 3 * m;
        for (int x : {-7, -1, 0, 90 + 40 * m, 633, 639, 640}) {
            drawGlyph(x, -w / 2 + m, ch, mode);
            drawGlyph(x, 480 - w / 2 - m, ch + 1, mode);
            drawGlyph2x(x, -w + 3 + m, ch + 2, mode);
            drawGlyph2x(x, 480 - w + 1 + m, ch + 1, mode);
        }
        for (int y : {-w + 1, 100 + 60 * m, 455, 479}) {
            drawGlyph(-w / 3, y, '@' + m, mode);
            drawGlyph(639 - w / 3, y, 'W' - m, mode);
            drawGlyph2x(-w / 2 - 1, y + 1, 'M' + m, mode);
            drawGlyph2x(630, y - 1, 'm' - m, mode);
        }
    }
    // The 2x pairs that straddle the bottom row, and the pair on rows -1 and 0.
    drawBigText(200, 447, "Wg&8");
    drawBigText(300, 448, "Wg&8");
    drawBigText(400, -1, "Wg&8");
    drawSmallText(-3, 240, "\t-5 + 17 = 12 \xe9\xf1\xfc");
    drawMenuText(560, 300, "Quit the game");
    // Shapes cut by every edge, from the highlight's size to far larger than the screen.
    fillEllipse(0, 0, 40, 20, 0x9f0000);
    fillEllipse(639, 479, 33, 23, 0x00ff80);
    fillEllipse(-10, 240, 25, 30, 0x123456);
    fillEllipse(650, 100, 14, 14, 0xabcdef);
    fillEllipse(320, -5, 9, 9, 0x777777);
    fillEllipse(320, 484, 9, 9, 0x444444);
    fillEllipse(500, 400, 1, 1, 0xffffff);
    fillEllipse(100, 400, 700, 3, 0x00aa00);
    fillEllipse(-2000, 240, 2300, 100, 0x0000aa);
    dumpFrame("edges");
    expectStored("glyphs-and-shapes-at-the-edges", screenChecksum());
}

TEST_F(FrameChecksum, FontPictureSwappedInUnmeasuredIsDrawnPixelByPixel) {
    // Drawing skips the black around measured ink; a picture that was not measured
    // (tests swap fonts so) must still show every lit pixel the glyph tables reach.
    auto drawSample = [] {
        SDL_BlitSurface(menuBackground, nullptr, screenSurface, nullptr);
        drawMenuText(40, 40, "Quit the game");
        drawSmallText(40, 120, "17 * 3");
        drawBigText(40, 200, "-42_");
        drawGlyph(300, 300, 'A', Add);
        return screenChecksum();
    };
    resetSceneState();
    uint64_t measured = drawSample();
    SDL_Surface *loadedFont = fontImage;
    SDL_Surface *copy = SDL_ConvertSurface(loadedFont, loadedFont->format, 0);
    ASSERT_NE(nullptr, copy);
    fontImage = copy;
    EXPECT_EQ(measured, drawSample());

    // A black pixel inside the ink's column range of 'A' made white: unmeasured, it shows.
    int g = 'A' - 33, w = copy->w;
    int row = -1, column = -1;
    for (int r = 0; r < w && row < 0; r++) {
        for (int j = 0; j < glyphWidth[g]; j++) {
            if (pixelAt(copy, glyphLeft[g] + j, g * w + r) == 0) {
                row = r;
                column = j;
                break;
            }
        }
    }
    ASSERT_GE(row, 0);
    pixelAt(copy, glyphLeft[g] + column, g * w + row) = 0xFFFFFF;
    SDL_FillRect(screenSurface, nullptr, 0x102030);
    drawGlyph(100, 100, 'A', Copy);
    EXPECT_EQ(0xFFFFFFu, pixelAt(screenSurface, 100 + column, 100 + row));
    fontImage = loadedFont;
    SDL_FreeSurface(copy);
}

} // namespace
