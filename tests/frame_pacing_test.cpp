// The main loop's pacing as a table: when a pass waits, how many steps it runs, what a
// stall skips, when a frame comes, and the gaps between frames; and the desktop wait's
// units.
#include <gtest/gtest.h>

#include <ctime>
#include <unistd.h>

#include "ground/platform.h"
#include "shell/frame_pacing.h"

namespace {

struct PassCase {
    const char *what;
    PassInputs in;
    PassPlan out;
};

TEST(FramePacing, PassPlansAtTheEdges) {
    // {now, logicClock, nextFrameAt, inputEndsWaits} -> {waitMs, skipMs, steps, draw}
    const PassCase cases[] = {
        {"step at now is not due yet", {1000, 1000, 0, false}, {1, 0, 0, false}},
        {"one ms later it is, and the frame with it", {1001, 1000, 1001, false}, {0, 0, 1, true}},
        {"the frame exactly at its moment", {1010, 1000, 1010, false}, {0, 0, 1, true}},
        {"a frame one ms early waits", {1010, 1000, 1011, false}, {0, 0, 1, false}},
        {"steps 10 ms apart: 25 ms behind is three", {1025, 1000, 0, false}, {0, 0, 3, true}},
        {"exactly two steps behind", {1020, 1000, 0, false}, {0, 0, 2, true}},
        {"250 ms behind runs all 25", {1250, 1000, 0, false}, {0, 0, 25, true}},
        {"a stall: only 250 ms made up", {21000, 1000, 0, false}, {0, 19750, 25, true}},
        {"a stall not a whole number of steps", {1265, 1000, 0, false}, {0, 10, 26, true}},
        {"input ends waits: sleep on to the frame", {1001, 1000, 1040, true}, {39, 0, 0, false}},
        {"but not past a frame already due", {1000, 1000, 990, true}, {1, 0, 0, false}},
        {"a frame time set before the clock went back is past", {1001, 1000, 1200, true}, {0, 0, 1, true}},
        {"without input waits, no sleep to the frame", {1001, 1000, 1040, false}, {0, 0, 1, false}},
        {"across the counter's wrap", {4, -10, 0, false}, {0, 0, 2, true}},
        {"logic time just past 2^31", {INT32_MIN + 5, INT32_MAX - 4, 0, false}, {0, 0, 1, true}},
    };
    for (const PassCase &c : cases) {
        PassPlan plan = planPass(c.in);
        EXPECT_EQ(plan.waitMs, c.out.waitMs) << c.what;
        EXPECT_EQ(plan.skipMs, c.out.skipMs) << c.what;
        EXPECT_EQ(plan.steps, c.out.steps) << c.what;
        EXPECT_EQ(plan.draw, c.out.draw) << c.what;
    }
}

TEST(FramePacing, GapsBetweenFrames) {
    struct {
        int32_t gapMs;
        bool still;
        int32_t speed;
        int32_t expected;
    } const cases[] = {
        {0, true, 5, 0},     // no gap set: a frame every pass that steps
        {50, true, 0, 80},   // the menus
        {50, false, 0, 50},  // off the field, not still
        {50, false, 1, 50},  // a slow field: the longest gap
        {50, false, 4, 50},  // 2 px in 50 ms exactly
        {50, false, 5, 40},  // faster: 2 px a frame
        {50, false, 20, 10}, // one frame a step
        {50, false, 90, 10}, // never under a step
    };
    for (const auto &c : cases)
        EXPECT_EQ(frameGapAfter(c.gapMs, c.still, c.speed), c.expected)
            << "gap " << c.gapMs << " still " << c.still << " speed " << c.speed;
}

int64_t monotonicMs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<int64_t>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

TEST(FramePacing, TheDesktopWaitIsInMilliseconds) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    // Nothing to read: the whole wait passes, and lasts the milliseconds asked (a wait in
    // microseconds would be back at once).
    int64_t before = monotonicMs();
    EXPECT_TRUE(platformWaitForDescriptor(fds[0], 40));
    EXPECT_GE(monotonicMs() - before, 39);
    // Something to read ends it at once.
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    EXPECT_FALSE(platformWaitForDescriptor(fds[0], 60000));
    close(fds[0]);
    close(fds[1]);
}

} // namespace
