// The answer check and the list stepping of the learning methods.
#include "methods/methodrules.h"

#include "dictionary/codepage1254.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct AnswerCase
{
    const char *typed; // UTF-8
    const char *answer;
    bool right;
};

class AnswerCheck : public ::testing::TestWithParam<AnswerCase>
{
};

TEST_P(AnswerCheck, AsciiLettersFoldedEverythingElseExact)
{
    const AnswerCase &c = GetParam();
    EXPECT_EQ(zarel::answerMatches(c.typed, c.answer), c.right) << c.typed << " / " << c.answer;
    // The same result on code-page-1254 bytes.
    EXPECT_EQ(
        zarel::answerMatches(zarel::cp1254::fromUtf8(c.typed), zarel::cp1254::fromUtf8(c.answer)),
        c.right)
        << c.typed << " / " << c.answer;
}

INSTANTIATE_TEST_SUITE_P(
    Table, AnswerCheck,
    ::testing::Values(AnswerCase { "book", "book", true }, AnswerCase { "BOOK", "book", true },
                      AnswerCase { "bOoK", "Book", true }, AnswerCase { "book ", "book", false },
                      AnswerCase { " book", "book", false }, AnswerCase { "boo", "book", false },
                      AnswerCase { "", "", true }, AnswerCase { "", "a", false },
                      AnswerCase { "çay", "çay", true }, AnswerCase { "Çay", "çay", false },
                      AnswerCase { "ÇAY", "çay", false }, AnswerCase { "I", "i", true },
                      AnswerCase { "İ", "i", false }, AnswerCase { "ı", "I", false },
                      AnswerCase { "ışık", "IŞIK", false }, AnswerCase { "Öğle", "öğle", false },
                      // Only letters fold: [ and {, @ and ` differ by the same bit.
                      AnswerCase { "[", "{", false }, AnswerCase { "@", "`", false },
                      AnswerCase { "a-b", "A-B", true }));

TEST(WordStep, NextWrapsToTheFirstAndPreviousToTheLast)
{
    struct Case
    {
        int index;
        int count;
        int next;
        int previous;
    };
    const Case cases[] = {
        { -1, 4, 0, 3 }, // before the first word
        { 0, 4, 1, 3 },   { 2, 4, 3, 1 },  { 3, 4, 0, 2 },
        { 0, 1, 0, 0 },   { -1, 1, 0, 0 }, { 7, 4, 0, 3 }, // an index past a list that shrank
        { 0, 0, -1, -1 }, // an empty list has no word
    };
    for (const Case &c : cases) {
        EXPECT_EQ(zarel::nextWordIndex(c.index, c.count), c.next) << c.index << "/" << c.count;
        EXPECT_EQ(zarel::previousWordIndex(c.index, c.count), c.previous)
            << c.index << "/" << c.count;
    }
}

} // namespace
