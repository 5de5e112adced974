// The box rules of the learning history: moving between boxes, due times and the due order.
#include "learning/core/leitner.h"

#include <gtest/gtest.h>

using namespace zarel::learning;

namespace {

constexpr std::int64_t kNow = 1'800'000'000;
constexpr std::int64_t kDay = kSecondsPerDay;

struct AnswerCase
{
    const char *name;
    std::optional<WordState> before;
    bool right;
    int box;
    std::int64_t dueDays;
};

} // namespace

TEST(Leitner, AnswersMoveBoxesAndSetDueTimes)
{
    const auto in = [](int box) { return std::optional<WordState>(WordState { box, 0, 0, 0, 0 }); };
    const AnswerCase cases[] = {
        { "first answer right", std::nullopt, true, 2, 2 },
        { "first answer wrong", std::nullopt, false, 1, 1 },
        { "box 1 right", in(1), true, 2, 2 },
        { "box 2 right", in(2), true, 3, 4 },
        { "box 3 right", in(3), true, 4, 8 },
        { "box 4 right", in(4), true, 5, 16 },
        { "box 5 right stays", in(5), true, 5, 16 },
        { "box 5 wrong", in(5), false, 1, 1 },
        { "box 3 wrong", in(3), false, 1, 1 },
        { "box 1 wrong stays", in(1), false, 1, 1 },
        { "box 0 from a damaged row", in(0), true, 2, 2 },
        { "box 9 from a damaged row", in(9), true, 5, 16 },
        { "box -3 wrong", in(-3), false, 1, 1 },
    };
    for (const AnswerCase &c : cases) {
        SCOPED_TRACE(c.name);
        const WordState after = applyAnswer(c.before, c.right, kNow);
        EXPECT_EQ(after.box, c.box);
        EXPECT_EQ(after.lastAnswer, kNow);
        EXPECT_EQ(after.due, kNow + c.dueDays * kDay);
    }
}

TEST(Leitner, CountsRightAndWrong)
{
    std::optional<WordState> s;
    const bool answers[] = { true, true, false, true, false, false };
    for (bool right : answers)
        s = applyAnswer(s, right, kNow);
    EXPECT_EQ(s->right, 3);
    EXPECT_EQ(s->wrong, 3);
    EXPECT_EQ(s->box, 1);
}

TEST(Leitner, IntervalsDoubleAndAreClamped)
{
    const std::pair<int, int> cases[]
        = { { -1, 1 }, { 0, 1 }, { 1, 1 }, { 2, 2 }, { 3, 4 }, { 4, 8 }, { 5, 16 }, { 6, 16 } };
    for (auto [box, days] : cases)
        EXPECT_EQ(reviewIntervalDays(box), days) << "box " << box;
}

TEST(Leitner, DueExactlyAtItsTime)
{
    const WordState s { 2, 1, 0, kNow, kNow + 2 * kDay };
    EXPECT_FALSE(isDue(s, kNow));
    EXPECT_FALSE(isDue(s, kNow + 2 * kDay - 1));
    EXPECT_TRUE(isDue(s, kNow + 2 * kDay));
    EXPECT_TRUE(isDue(s, kNow + 30 * kDay));
}

TEST(Leitner, DueOrderLowestBoxThenEarliestThenListOrder)
{
    const auto st = [](int box, std::int64_t due) {
        return std::optional<WordState>(WordState { box, 0, 0, 0, due });
    };
    struct Case
    {
        const char *name;
        std::vector<std::optional<WordState>> states;
        std::vector<int> order;
    };
    const Case cases[] = {
        { "empty list", {}, {} },
        { "never answered is not due", { std::nullopt, std::nullopt }, {} },
        { "not yet due left out", { st(1, kNow + 1), st(2, kNow) }, { 1 } },
        { "lower box first", { st(3, kNow - 10), st(1, kNow), st(2, kNow - 99) }, { 1, 2, 0 } },
        { "same box: earlier due first", { st(2, kNow), st(2, kNow - 5) }, { 1, 0 } },
        { "same box and time: list order",
          { st(1, kNow), std::nullopt, st(1, kNow), st(1, kNow) },
          { 0, 2, 3 } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dueOrder(c.states, kNow), c.order);
    }
}
