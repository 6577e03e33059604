// Tests of the pixel blends and the must-lock rule.
#include <gtest/gtest.h>

#include "gfx/surface.h"
#include "support.h"

static uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) { return (r << 16) | (g << 8) | b; }

TEST(GfxBlend, AverageFloorsEachLaneAndDropsTopByte) {
    EXPECT_EQ(rgb(0x80, 0x41, 0x02), blendAverage(rgb(0xFF, 0x80, 0x01), rgb(0x01, 0x02, 0x03)));
    EXPECT_EQ(0x7F7F7Fu, blendAverage(0xFFFFFF, 0x000000));
    EXPECT_EQ(0u, blendAverage(0xFF000000, 0xFF000000));
    EXPECT_EQ(0x00FFFFFFu, blendAverage(0xFFFFFFFF, 0xFFFFFFFF));
    // The low bit of red must not fall into green, nor green's into blue.
    EXPECT_EQ(0u, blendAverage(rgb(0x01, 0x01, 0x01), 0));
}

TEST(GfxBlend, MultiplyDividesBy256) {
    EXPECT_EQ(rgb(0xFE, 0x7F, 0x3F), blendMultiply(rgb(0xFF, 0xFF, 0xFF), rgb(0xFF, 0x80, 0x40)));
    EXPECT_EQ(0u, blendMultiply(0xFFFFFFFF, 0xFF000000));
    EXPECT_EQ(rgb(0x5F, 0x5F, 0x5F), blendMultiply(rgb(0x7F, 0x7F, 0x7F), rgb(0xC0, 0xC0, 0xC0)));
    EXPECT_EQ(rgb(0xFE, 0, 0), blendMultiply(0xFFFF0000, 0xFFFFFFFF));
}

TEST(GfxBlend, AddSaturatesPerLaneWithoutCarry) {
    EXPECT_EQ(rgb(0xFF, 0xFF, 0x20), blendAddSaturate(rgb(0xF0, 0x80, 0x10), rgb(0x20, 0x80, 0x10)));
    EXPECT_EQ(rgb(0, 0, 0xFF), blendAddSaturate(0x0000FF, 0x000001));
    EXPECT_EQ(rgb(0, 0xFF, 0), blendAddSaturate(0x00FF00, 0x00FF00));
    EXPECT_EQ(rgb(0xFF, 0, 0), blendAddSaturate(0xFFFF0000, 0xFF010000));
    EXPECT_EQ(rgb(0x12, 0x34, 0x56), blendAddSaturate(rgb(0x10, 0x30, 0x50), rgb(0x02, 0x04, 0x06)));
}

TEST(GfxSurface, MustLockRule) {
    startSdlForTests();
    SDL_Surface *soft = SDL_CreateRGBSurface(0, 4, 4, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    ASSERT_NE(nullptr, soft);
    EXPECT_FALSE(surfaceMustLock(soft));
    // A software surface is never locked: the bracket leaves its lock count alone.
    ASSERT_TRUE(lockIfNeeded(soft));
    EXPECT_EQ(0, soft->locked);
    unlockIfNeeded(soft);
    EXPECT_EQ(0, soft->locked);

    soft->offset = 4;
    EXPECT_TRUE(surfaceMustLock(soft));
    soft->offset = 0;
    for (Uint32 flag : {SDL_HWSURFACE, SDL_ASYNCBLIT, SDL_RLEACCEL}) {
        Uint32 saved = soft->flags;
        soft->flags |= flag;
        EXPECT_TRUE(surfaceMustLock(soft)) << flag;
        soft->flags = saved;
    }
    soft->flags |= SDL_SRCCOLORKEY | SDL_SRCALPHA | SDL_PREALLOC;
    EXPECT_FALSE(surfaceMustLock(soft));
    soft->flags = 0;
    SDL_FreeSurface(soft);
}

TEST(GfxSurface, PixelAddressingFollowsPitch) {
    startSdlForTests();
    // A 3-pixel-wide 32-bit surface over a buffer with 5 pixels per row.
    uint32_t buffer[5 * 2] = {};
    SDL_Surface *s = SDL_CreateRGBSurfaceFrom(buffer, 3, 2, 32, 20, 0xFF0000, 0xFF00, 0xFF, 0);
    ASSERT_NE(nullptr, s);
    pixelAt(s, 2, 1) = 0x123456;
    EXPECT_EQ(0x123456u, buffer[5 + 2]);
    EXPECT_EQ(buffer + 5, pixelRow(s, 1));
    SDL_FreeSurface(s);
}
