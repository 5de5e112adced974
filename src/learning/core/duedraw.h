// The draw of the next list word when the learner reviews due words first.
#pragma once

#include "learning/core/learninghistory.h"

#include <cstdint>
#include <functional>
#include <set>
#include <vector>

namespace zarel::learning {

// One window's draw of list entries. With the option "review due words first" off in the
// history, next() returns exactly what `designed` draws, calling it once, so the designed order
// (list order or the random draw) is unchanged. With it on, next() first offers the entries that
// are due (lowest box first, see dueOrder()) and have not been drawn by this object yet, then
// falls back to the designed draw.
class DueFirstDraw
{
public:
    // `entries` are the list's words in list order; `eligible` (may be empty) rules out entries
    // the window cannot use; `designed` is the window's own draw. Returns the index to show.
    int next(const LearningHistory &history, const std::vector<WordKey> &entries,
             const std::function<bool(int)> &eligible, const std::function<int()> &designed,
             std::int64_t now);

private:
    std::set<int> m_drawn;
};

} // namespace zarel::learning
