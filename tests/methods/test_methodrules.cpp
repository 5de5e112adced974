// The rules of the learning methods: the answer check, the list stepping and drawing, the hidden
// article head, the answer's places in an article and the exam score.
#include "methods/core/methodrules.h"

#include "dictionary/codepage1254.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// UTF-16 text as UTF-8, for readable failure messages.
std::string utf8(std::u16string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        zarel::utf8::append(out, c);
    }
    return out;
}

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

TEST(WordDraw, ListOrderStepsAndRandomOrderTakesTheDrawClampedToTheList)
{
    struct Case
    {
        bool randomOrder;
        int index;
        int count;
        int randomValue; // what the random source returns
        int next;
        int previous;
    };
    const Case cases[] = {
        { false, 1, 4, 3, 2, 0 }, // list order ignores the random source
        { false, 3, 4, 0, 0, 2 }, // and wraps at both ends
        { false, 0, 4, 2, 1, 3 },
        { true, 1, 4, 3, 3, 3 }, // random order takes the draw both ways
        { true, 1, 4, 0, 0, 0 },
        { true, 2, 4, 9, 3, 3 }, // a draw past the end is the last entry
        { true, 2, 4, -5, 0, 0 }, // a negative draw is the first
        { true, 0, 1, 0, 0, 0 },
        { true, 0, 0, 0, -1, -1 }, // an empty list has no word, and nothing is drawn
        { false, 0, 0, 0, -1, -1 },
    };
    for (const Case &c : cases) {
        std::vector<int> asked; // the counts the random source was asked for
        const zarel::RandomBelow random = [&](int count) {
            asked.push_back(count);
            return c.randomValue;
        };
        EXPECT_EQ(zarel::nextDrawnWord(c.randomOrder, c.index, c.count, random), c.next)
            << c.randomOrder << " " << c.index << "/" << c.count;
        EXPECT_EQ(zarel::previousDrawnWord(c.randomOrder, c.index, c.count, random), c.previous)
            << c.randomOrder << " " << c.index << "/" << c.count;
        const bool drew = c.randomOrder && c.count > 0;
        const std::vector<int> expected
            = drew ? std::vector<int> { c.count, c.count } : std::vector<int> {};
        EXPECT_EQ(asked, expected);
    }
    // Without a source a random draw still lands in the list.
    EXPECT_EQ(zarel::nextDrawnWord(true, 2, 4, {}), 0);
}

TEST(ExamScore, CountsOnlyInExamModeAndAShownWordIsWrong)
{
    using Event = zarel::ExamScore::Event;
    struct Step
    {
        Event event;
        bool exam;
        bool changed;
        const char *shown; // the score after the step
    };
    const Step steps[] = {
        { Event::Right, false, false, "0 - 0" }, // practice: nothing counted
        { Event::Shown, false, false, "0 - 0" }, { Event::Right, true, true, "1 - 0" },
        { Event::Wrong, true, true, "1 - 1" },   { Event::Shown, true, true, "1 - 2" },
        { Event::Wrong, false, false, "1 - 2" }, { Event::Right, true, true, "2 - 2" },
    };
    zarel::ExamScore score;
    EXPECT_EQ(score.text(), "0 - 0");
    for (size_t i = 0; i < std::size(steps); ++i) {
        const Step &s = steps[i];
        EXPECT_EQ(score.count(s.event, s.exam), s.changed) << "step " << i;
        EXPECT_EQ(score.text(), s.shown) << "step " << i;
    }
    EXPECT_EQ(score.right(), 2);
    EXPECT_EQ(score.wrong(), 2);
}

TEST(HiddenArticleLength, HeadwordAndTranscription)
{
    struct Case
    {
        std::u16string_view article;
        size_t headword;
        bool english;
        size_t hidden;
    };
    const Case cases[] = {
        { u"apple /æpl/\n1. elma", 5, true, 11 }, // up to and including the second slash
        { u"apple /æpl/\n1. elma", 5, false, 5 }, // a Turkish word keeps its slashes
        { u"ant: karınca", 3, true, 3 }, // no transcription
        { u"run /rʌn/ a/b", 3, true, 9 }, // later slashes stay
        { u"odd /one", 3, true, 3 }, // a single slash keeps it
        { u"a/b/ c", 3, true, 3 }, // slashes inside the headword go with it
        { u"ab", 5, true, 2 }, // never past the end
        { u"", 3, true, 0 },
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case &c = cases[i];
        EXPECT_EQ(zarel::hiddenArticleLength(c.article, c.headword, c.english), c.hidden)
            << "case " << i;
    }
}

TEST(AnswerOccurrences, EveryPlaceTheAnswerShowsIsMasked)
{
    struct Case
    {
        std::u16string_view text;
        std::u16string_view answer;
        std::u16string_view masked;
    };
    const Case cases[] = {
        { u" 1. elma; apple juice: elma suyu", u"apple", u" 1. elma; ~ juice: elma suyu" },
        // Any letter case; a long answer also at the start of a longer word, never inside one.
        { u"Apple pie, APPLES, pineapple", u"apple", u"~ pie, ~S, pineapple" },
        // A short answer only as a whole word.
        { u"go on; going; ago; good", u"go", u"~ on; going; ago; good" },
        { u"run-down; run", u"run", u"~-down; ~" },
        // Turkish letters of either case; every form of i alike.
        { u"kitap, kitaplık, KİTAP", u"kitap", u"~, ~lık, ~" },
        { u"ılık su; Ilık", u"ılık", u"~ su; ~" },
        { u"Çiçek açtı", u"çiçek", u"~ açtı" },
        // A phrase as a whole.
        { u"elma çiçeği; apple blossoms", u"apple blossom", u"elma çiçeği; ~s" },
        { u"", u"a", u"" },
        { u"abc", u"", u"abc" },
        { u"a", u"abc", u"a" },
        { u"aaaa", u"aa", u"aaaa" },
    };
    for (const Case &c : cases) {
        std::u16string masked;
        size_t from = 0;
        for (const auto &span : zarel::answerOccurrences(c.text, c.answer)) {
            masked.append(c.text.substr(from, span.start - from));
            masked.append(zarel::kAnswerMask);
            from = span.start + span.length;
        }
        masked.append(c.text.substr(std::min(from, c.text.size())));
        EXPECT_EQ(utf8(masked), utf8(c.masked)) << utf8(c.text);
    }
}

} // namespace
