// The pace that follows the child: limits from the recent answer times.
#include "practice/pace.h"

#include <algorithm>
#include <vector>

#include "practice/fact_record.h"

int32_t recentAnswerMs() {
    const std::vector<int32_t> &all = factRecord.recentMs;
    if (all.empty())
        return PaceFirstGuessMs;
    size_t count = std::min(all.size(), static_cast<size_t>(PaceRecentAnswers));
    std::vector<int32_t> recent(all.end() - static_cast<long>(count), all.end());
    std::sort(recent.begin(), recent.end());
    // The median: one slip or one lucky guess does not move the pace.
    return recent[count / 2];
}

int32_t paceTopSpeed() {
    // At speed s a problem crosses the 6400 tenths of a pixel in 6400 / s steps of 10 ms.
    int64_t crossingMs = static_cast<int64_t>(PaceCrossingAnswers) * recentAnswerMs();
    int64_t speed = crossingMs > 0 ? 64000 / crossingMs : 64000;
    return static_cast<int32_t>(std::max<int64_t>(1, std::min<int64_t>(speed, 64000)));
}

bool paceRoomForProblem() {
    int count = 0;
    for (const Problem *p = game.problems; p && count < PaceMostOnField; p = p->next)
        count++;
    return count < PaceMostOnField;
}
