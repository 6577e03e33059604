// The region module on its own: which boxes a frame's changed items make dirty, how
// regions grow and merge, the drawing order, the limits, and the record pass's trap.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <vector>

#include "gfx/regions.h"
#include "gfx/surface.h"
#include "support.h"

static bool operator==(const Box &a, const Box &b) {
    return a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1;
}
static void PrintTo(const Box &b, std::ostream *out) {
    *out << "[" << b.x0 << "," << b.y0 << " - " << b.x1 << "," << b.y1 << ")";
}

namespace {

struct Drawn {
    Box box;
    uint64_t key;
};

class Regions : public ::testing::Test {
  protected:
    void SetUp() override {
        startSdlForTests();
        invalidateFrame();
        frame({}); // the frame on screen: the background alone
    }
    void TearDown() override { invalidateFrame(); }

    // Records items in drawing order over one background; returns whether anything
    // changed, and makes the frame the one on screen.
    bool frame(const std::vector<Drawn> &items) {
        beginFrameRecord();
        for (const Drawn &d : items)
            EXPECT_FALSE(drawItem(d.box, d.key)) << "the record pass hands out pixels";
        bool changed = findDirtyRegions(nullptr, 1);
        commitFrame();
        return changed;
    }
    static std::vector<Box> regions() {
        std::vector<Box> boxes;
        for (const SDL_Rect &r : dirtyRegions())
            boxes.push_back({r.x, r.y, r.x + r.w, r.y + r.h});
        std::sort(boxes.begin(), boxes.end(), [](const Box &a, const Box &b) {
            return a.x0 != b.x0 ? a.x0 < b.x0 : a.y0 < b.y0;
        });
        return boxes;
    }
};

TEST_F(Regions, BoxesAreClippedToTheScreenInWideArithmetic) {
    EXPECT_EQ(clipBox(-5, -7, 10, 20), (Box{0, 0, 10, 20}));
    EXPECT_EQ(clipBox(600, 470, 700, 500), (Box{600, 470, 640, 480}));
    EXPECT_EQ(clipBox(-(1LL << 40), 0, 1LL << 40, 1), (Box{0, 0, 640, 1}));
    Box gone = clipBox(700, 10, 800, 20);
    EXPECT_GE(gone.x0, gone.x1) << "a box right of the screen is empty";
}

TEST_F(Regions, ChangedItemsMarkWhereTheyWereAndWhereTheyAre) {
    EXPECT_TRUE(frame({{{10, 10, 20, 20}, 1}, {{100, 100, 110, 110}, 2}}));
    EXPECT_FALSE(frame({{{10, 10, 20, 20}, 1}, {{100, 100, 110, 110}, 2}})) << "an unchanged frame";
    // Item 2 moves: its old and its new place, nothing of item 1.
    ASSERT_TRUE(frame({{{10, 10, 20, 20}, 1}, {{200, 100, 210, 110}, 3}}));
    EXPECT_EQ(regions(), (std::vector<Box>{{100, 100, 110, 110}, {200, 100, 210, 110}}));
    EXPECT_FALSE(wholeScreenDirty());
    EXPECT_EQ(dirtyArea(), 200);
}

TEST_F(Regions, RegionsGrowToHoldWholeItemsAndMergeWhenTheyMeet) {
    frame({{{0, 0, 100, 30}, 1}, {{300, 0, 310, 10}, 2}});
    // A changed item over part of the wide text: the region takes the text whole.
    ASSERT_TRUE(frame({{{0, 0, 100, 30}, 1}, {{300, 0, 310, 10}, 2}, {{90, 20, 120, 40}, 4}}));
    EXPECT_EQ(regions(), (std::vector<Box>{{0, 0, 120, 40}}));
    // Two changed items whose boxes meet become one region.
    ASSERT_TRUE(frame({{{0, 0, 100, 30}, 1}, {{300, 0, 310, 10}, 2}, {{400, 400, 420, 420}, 5},
                       {{415, 415, 430, 430}, 6}}));
    std::vector<Box> merged = regions();
    EXPECT_EQ(std::count(merged.begin(), merged.end(), Box{400, 400, 430, 430}), 1);
    EXPECT_EQ(std::count(merged.begin(), merged.end(), Box{0, 0, 120, 40}), 1) << "where item 4 left";
}

TEST_F(Regions, TheDrawingOrderOfOverlappingItemsCounts) {
    frame({{{10, 10, 50, 50}, 1}, {{30, 30, 70, 70}, 2}, {{300, 300, 310, 310}, 3}, {{400, 300, 410, 310}, 4}});
    beginFrameRecord();
    drawItem({10, 10, 50, 50}, 1);
    drawItem({30, 30, 70, 70}, 2);
    drawItem({300, 300, 310, 310}, 3);
    drawItem({400, 300, 410, 310}, 4);
    uint64_t same = recordedFrameKey(nullptr, 1);
    EXPECT_EQ(same, onScreenFrameKey());
    // Apart, two items may swap places in the order without a change.
    EXPECT_FALSE(frame({{{10, 10, 50, 50}, 1}, {{30, 30, 70, 70}, 2}, {{400, 300, 410, 310}, 4},
                        {{300, 300, 310, 310}, 3}}));
    // Overlapping, the other one is on top where they meet.
    ASSERT_TRUE(frame({{{30, 30, 70, 70}, 2}, {{10, 10, 50, 50}, 1}, {{400, 300, 410, 310}, 4},
                       {{300, 300, 310, 310}, 3}}));
    EXPECT_EQ(regions(), (std::vector<Box>{{10, 10, 70, 70}}));
    beginFrameRecord();
    drawItem({10, 10, 50, 50}, 1);
    drawItem({30, 30, 70, 70}, 2);
    EXPECT_NE(recordedFrameKey(nullptr, 1), onScreenFrameKey()) << "the look-ahead's key ignores the order";
}

TEST_F(Regions, ManySmallRegionsBecomeOneAndALargeShareTheWholeScreen) {
    auto scattered = [](int count) {
        std::vector<Drawn> items;
        for (int i = 0; i < count; i++)
            items.push_back({{(i % 16) * 40, (i / 16) * 40, (i % 16) * 40 + 5, (i / 16) * 40 + 5}, uint64_t(100 + i)});
        return items;
    };
    ASSERT_TRUE(frame(scattered(MaxDirtyRegions)));
    EXPECT_EQ(regions().size(), MaxDirtyRegions);
    frame({});
    ASSERT_TRUE(frame(scattered(MaxDirtyRegions + 1)));
    EXPECT_EQ(regions(), (std::vector<Box>{{0, 0, 605, 85}}));
    EXPECT_FALSE(wholeScreenDirty());

    int share = ScreenWidth * ScreenHeight * WholeScreenPercent / 100 / ScreenHeight; // columns
    frame({});
    ASSERT_TRUE(frame({{{0, 0, share, ScreenHeight}, 7}}));
    EXPECT_FALSE(wholeScreenDirty()) << "exactly the share";
    frame({});
    ASSERT_TRUE(frame({{{0, 0, share + 1, ScreenHeight}, 8}}));
    EXPECT_TRUE(wholeScreenDirty());
    EXPECT_EQ(regions(), (std::vector<Box>{{0, 0, ScreenWidth, ScreenHeight}}));
}

TEST_F(Regions, APrimitiveThatPaintsWithoutAskingCrashesWhileRecording) {
    void *pixels = screenSurface->pixels;
    beginFrameRecord();
    EXPECT_EQ(screenSurface->pixels, nullptr);
    EXPECT_FALSE(screenTarget());
    recordedFrameKey(nullptr, 1);
    EXPECT_EQ(screenSurface->pixels, pixels) << "the pixels come back when the record ends";
    EXPECT_DEATH(
        {
            beginFrameRecord();
            pixelAt(screenSurface, 320, 240) = 0xffffff; // a primitive that forgot drawItem
        },
        "");
    // Asked, the painting passes get the screen's own pixels.
    DrawTarget target = drawItem({1, 2, 3, 4}, 9);
    EXPECT_EQ(target.pixels, pixels);
    EXPECT_EQ(target.row(2), &pixelAt(screenSurface, 0, 2));
}

} // namespace
