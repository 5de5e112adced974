// Due words first, then the designed draw.
#include "learning/core/duedraw.h"

namespace zarel::learning {

int DueFirstDraw::next(const LearningHistory &history, const std::vector<WordKey> &entries,
                       const std::function<bool(int)> &eligible,
                       const std::function<int()> &designed, std::int64_t now)
{
    if (history.isOpen() && history.reviewDueFirst()) {
        for (int i : dueOrder(history.wordStates(entries), now)) {
            if (m_drawn.count(i) == 0 && (!eligible || eligible(i))) {
                m_drawn.insert(i);
                return i;
            }
        }
    }
    const int i = designed();
    m_drawn.insert(i);
    return i;
}

} // namespace zarel::learning
