// The rules of the learning history that need no database and no window: the Leitner box of a
// word after an answer, its due time, and the order in which due words are offered.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace zarel::learning {

constexpr int kFirstBox = 1;
constexpr int kLastBox = 5;
constexpr std::int64_t kSecondsPerDay = 24 * 60 * 60;

// What the history knows of one word. Times are seconds since the Unix epoch.
struct WordState
{
    int box = kFirstBox;
    int right = 0;
    int wrong = 0;
    std::int64_t lastAnswer = 0;
    std::int64_t due = 0;
    bool operator==(const WordState &) const = default;
};

// Days between the last answer and the next review for a word in `box`: 1, 2, 4, 8 or 16.
// Boxes outside 1..5 are clamped into that range.
int reviewIntervalDays(int box);

// The state after an answer given at `now`: a right answer moves the word up one box (never
// above the last), a wrong one back to the first; the due time is `now` plus the new box's
// interval. `previous` is empty for a word never answered before, which starts in the first
// box (so a first right answer puts it in box 2).
WordState applyAnswer(const std::optional<WordState> &previous, bool right, std::int64_t now);

// True when a word answered before is due for review at `now`.
bool isDue(const WordState &state, std::int64_t now);

// The indices of `states` that are due at `now`, lowest box first, then earliest due time, then
// list order. Entries without a state (never answered) are not due.
std::vector<int> dueOrder(const std::vector<std::optional<WordState>> &states, std::int64_t now);

} // namespace zarel::learning
