// The main loop's pacing: waits, steps and frames as a function of the pass's inputs.
#include "shell/frame_pacing.h"

#include <algorithm>

#include "ground/clock.h"

bool frameDueAt(int32_t nextFrameAt, int32_t now) {
    int32_t ahead = tickDiff(nextFrameAt, now);
    return ahead <= 0 || ahead > StillFrameGapMs;
}

PassPlan planPass(const PassInputs &in) {
    PassPlan plan{0, 0, 0, false};
    bool frameDue = frameDueAt(in.nextFrameAt, in.now);
    int32_t wakeAt = tickAdd(in.logicClock, 1);
    if (in.inputEndsWaits && !frameDue && tickBefore(wakeAt, in.nextFrameAt))
        wakeAt = in.nextFrameAt;
    if (tickBefore(in.now, wakeAt)) {
        plan.waitMs = tickDiff(wakeAt, in.now);
        return plan;
    }
    int32_t behind = tickDiff(in.now, in.logicClock);
    if (behind > MaxCatchUpMs)
        plan.skipMs = (behind - MaxCatchUpMs) / LogicStepMs * LogicStepMs;
    // Every step whose logic time is before now: the one at logicClock + skip and those
    // after it, LogicStepMs apart.
    int32_t ahead = behind - plan.skipMs;
    plan.steps = ahead > 0 ? (ahead + LogicStepMs - 1) / LogicStepMs : 0;
    plan.draw = frameDue;
    return plan;
}

int32_t frameGapAfter(int32_t gapMs, bool still, int32_t playingSpeed) {
    if (gapMs == 0)
        return 0;
    if (still)
        return StillFrameGapMs;
    // At speed s the field moves s tenths of a pixel a step.
    if (playingSpeed > 0)
        return std::min(gapMs, std::max(LogicStepMs, MaxDriftPerFramePx * 10 * LogicStepMs / playingSpeed));
    return gapMs;
}
