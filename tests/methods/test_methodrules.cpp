// The answer check and the list stepping of the learning methods.
#include "methods/core/methodrules.h"

#include "dictionary/codepage1254.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <utility>

namespace {

struct AnswerCase
{
    const char *typed; // UTF-8
    const char *answer;
    bool right;
};

// How a case reads in the test list and in failure messages.
void PrintTo(const AnswerCase &c, std::ostream *os)
{
    *os << '"' << c.typed << "\" " << (c.right ? "is" : "isn't") << " \"" << c.answer << '"';
}

class AnswerCheck : public ::testing::TestWithParam<AnswerCase>
{
};

// A test name for an answer case, e.g. "Book_is_book" or "dotted_I_isnt_i": ASCII letters and
// digits as they are, the Turkish letters and the marks spelt out.
std::string caseName(const ::testing::TestParamInfo<AnswerCase> &info)
{
    static const std::pair<std::string_view, std::string_view> spelt[] = {
        { "ç", "c_cedilla" }, { "Ç", "C_cedilla" }, { "ğ", "g_breve" },  { "Ğ", "G_breve" },
        { "ı", "dotless_i" }, { "İ", "dotted_I" },  { "ö", "o_umlaut" }, { "Ö", "O_umlaut" },
        { "ş", "s_cedilla" }, { "Ş", "S_cedilla" }, { "ü", "u_umlaut" }, { "Ü", "U_umlaut" },
        { " ", "blank" },     { "-", "hyphen" },    { "[", "bracket" },  { "{", "brace" },
        { "@", "at" },        { "`", "backtick" },
    };
    const auto spell = [](std::string_view text) {
        if (text.empty())
            return std::string("empty");
        std::string name;
        while (!text.empty()) {
            std::string part;
            for (const auto &[from, to] : spelt) {
                if (text.substr(0, from.size()) == from) {
                    part = std::string(to);
                    text.remove_prefix(from.size());
                    break;
                }
            }
            const bool word = part.empty();
            if (word) {
                part = std::string(1, text.front());
                text.remove_prefix(1);
            }
            // Spelt-out characters stand apart from their neighbours.
            if (!name.empty() && (!word || name.back() == '_'))
                name += '_';
            name += part;
            if (!word && !text.empty())
                name += '_';
        }
        return name;
    };
    std::string name = spell(info.param.typed) + (info.param.right ? "_is_" : "_isnt_")
        + spell(info.param.answer);
    // Two underscores in a row read as one.
    for (size_t at; (at = name.find("__")) != std::string::npos;)
        name.erase(at, 1);
    return name;
}

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
                      AnswerCase { "a-b", "A-B", true }),
    caseName);

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
