// Leitner boxes and due times of the learning history.
#include "learning/core/leitner.h"

#include <algorithm>

namespace zarel::learning {

int reviewIntervalDays(int box)
{
    const int b = std::clamp(box, kFirstBox, kLastBox);
    return 1 << (b - kFirstBox);
}

WordState applyAnswer(const std::optional<WordState> &previous, bool right, std::int64_t now)
{
    WordState s = previous.value_or(WordState {});
    const int box = std::clamp(s.box, kFirstBox, kLastBox);
    if (right) {
        s.box = std::min(box + 1, kLastBox);
        ++s.right;
    } else {
        s.box = kFirstBox;
        ++s.wrong;
    }
    s.lastAnswer = now;
    s.due = now + static_cast<std::int64_t>(reviewIntervalDays(s.box)) * kSecondsPerDay;
    return s;
}

bool isDue(const WordState &state, std::int64_t now)
{
    return state.due <= now;
}

std::vector<int> dueOrder(const std::vector<std::optional<WordState>> &states, std::int64_t now)
{
    std::vector<int> due;
    for (size_t i = 0; i < states.size(); ++i) {
        if (states[i] && isDue(*states[i], now))
            due.push_back(static_cast<int>(i));
    }
    std::stable_sort(due.begin(), due.end(), [&](int a, int b) {
        const WordState &x = *states[static_cast<size_t>(a)];
        const WordState &y = *states[static_cast<size_t>(b)];
        if (x.box != y.box)
            return x.box < y.box;
        return x.due < y.due;
    });
    return due;
}

} // namespace zarel::learning
