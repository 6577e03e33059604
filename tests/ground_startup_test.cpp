// A start-up failure: one line, then the teardown the shell registered (the audio device
// closed, then SDL shut down), then status 1.
#include <gtest/gtest.h>

#include <cstdio>

#include "ground/startup.h"

namespace {

void sayTornDown() { fputs("torn down\n", stderr); }

TEST(StartupFailureDeathTest, WritesTheLineThenTearsDownThenExitsWithOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setStartupTeardown(sayTornDown);
            failStartup("%s: cannot load picture: %s", "splash.bmp", "not a BMP");
        },
        testing::ExitedWithCode(1), "^splash.bmp: cannot load picture: not a BMP\ntorn down\n$");
    // Without a teardown (before SDL has started) only the line is written.
    EXPECT_EXIT(
        {
            setStartupTeardown(nullptr);
            failStartup("no display");
        },
        testing::ExitedWithCode(1), "^no display\n$");
}

} // namespace
