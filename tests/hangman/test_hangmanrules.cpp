// The hangman rules without a window: the pattern at the start, guesses with the ASCII case
// rule and Turkish letters, misses and the loss, giving up, the scores, and the word sources.
#include "hangman/core/hangmanrules.h"

#include "dictionary/codepage1254.h"
#include "dictionary/dictionaryindex.h"
#include "support/testdictionary.h"

#include <gtest/gtest.h>

#include <ostream>

using zarel::hangman::Casing;
using zarel::hangman::Game;
using zarel::hangman::GuessOutcome;

namespace {

std::string cp(const std::string &utf8)
{
    return zarel::cp1254::fromUtf8(utf8);
}

unsigned char byteOf(const std::string &utf8)
{
    const std::string b = cp(utf8);
    return static_cast<unsigned char>(b.at(0));
}

// Plays the characters of `keys` (code-page-1254 bytes) and returns the last outcome.
GuessOutcome play(Game &g, const std::string &keys)
{
    GuessOutcome last = GuessOutcome::Ignored;
    for (char c : keys)
        last = g.guess(static_cast<unsigned char>(c));
    return last;
}

} // namespace

struct StartCase
{
    const char *name; // the case's name in the test list
    const char *word; // UTF-8
    Casing casing;
    const char *pattern; // UTF-8
    int lettersLeft;
    bool wonAtOnce;
};

// How a case reads in the test list and in failure messages.
void PrintTo(const StartCase &c, std::ostream *os)
{
    *os << '"' << c.word << '"' << (c.casing == Casing::Turkish ? " (Turkish)" : "") << " -> \""
        << c.pattern << '"';
}

class StartPattern : public ::testing::TestWithParam<StartCase>
{
};

TEST_P(StartPattern, OpensFirstAndLastLetterAndTheMarksEverywhere)
{
    const StartCase &c = GetParam();
    Game g;
    EXPECT_EQ(g.start(cp(c.word), c.casing), c.wonAtOnce);
    EXPECT_EQ(g.pattern(), cp(c.pattern));
    EXPECT_EQ(g.lettersLeft(), c.lettersLeft);
    EXPECT_EQ(g.scores().player, c.wonAtOnce ? 1 : 0);
    EXPECT_EQ(g.guessed(), "");
    EXPECT_EQ(g.misses(), 0);
}

constexpr Casing kEnglish = Casing::English;
constexpr Casing kTurkish = Casing::Turkish;

INSTANTIATE_TEST_SUITE_P(
    Words, StartPattern,
    ::testing::Values(
        StartCase { "house", "house", kEnglish, "h _ _ _ e", 3, false },
        StartCase { "Book_lowered", "Book", kEnglish, "b _ _ k", 2, false },
        StartCase { "banana_every_a_open", "banana", kEnglish, "b a _ a _ a", 2, false },
        StartCase { "see_won_at_once", "see", kEnglish, "s e e", 0, true },
        StartCase { "a", "a", kEnglish, "a", 0, true },
        StartCase { "aba", "aba", kEnglish, "a _ a", 1, false },
        // Blanks, hyphens and apostrophes show from the start and are no letters to find.
        StartCase { "run_away", "run away", kEnglish, "r _ _   _ _ _ y", 5, false },
        StartCase { "well_to_do", "well-to-do", kEnglish, "w _ _ _ - _ o - _ o", 5, false },
        StartCase { "o_clock", "o'clock", kEnglish, "o ' _ _ o _ k", 3, false },
        StartCase { "a_b_won_at_once", "a - b", kEnglish, "a   -   b", 0, true },
        StartCase { "digit_hidden", "b2b", kEnglish, "b _ b", 1, false },
        // English words lower only A-Z; Turkish words by Turkish casing.
        StartCase { "english_CICEK", "ÇİÇEK", kEnglish, "Ç _ Ç _ k", 2, false },
        StartCase { "turkish_CICEK", "ÇİÇEK", kTurkish, "ç _ ç _ k", 2, false },
        StartCase { "turkish_ilik", "ılık", kTurkish, "ı _ ı k", 1, false },
        StartCase { "english_IRAK", "IRAK", kEnglish, "i _ _ k", 2, false },
        StartCase { "turkish_IRAK", "IRAK", kTurkish, "ı _ _ k", 2, false },
        StartCase { "turkish_ILAC", "İLAÇ", kTurkish, "i _ _ ç", 2, false }),
    [](const ::testing::TestParamInfo<StartCase> &info) { return std::string(info.param.name); });

TEST(HangmanGame, UpperCaseGuessRevealsLikeLowerCaseAndBlocksBoth)
{
    Game g;
    g.start("house");
    EXPECT_EQ(g.guess('O'), GuessOutcome::Found);
    EXPECT_EQ(g.pattern(), "h O _ _ e");
    EXPECT_EQ(g.guessed(), "O");
    EXPECT_EQ(g.guess('o'), GuessOutcome::Ignored);
    EXPECT_EQ(g.guess('O'), GuessOutcome::Ignored);
    EXPECT_EQ(g.guess('u'), GuessOutcome::Found);
    EXPECT_EQ(g.pattern(), "h O U _ e"); // shown in upper case
    EXPECT_EQ(g.guessed(), "OU");
    EXPECT_EQ(g.guess('H'), GuessOutcome::Ignored); // the first letter is used from the start
    EXPECT_EQ(g.guess('S'), GuessOutcome::Won);
    EXPECT_EQ(g.pattern(), "h O U S e");
    EXPECT_EQ(g.scores().player, 1);
    EXPECT_FALSE(g.inProgress());
    EXPECT_EQ(g.guess('x'), GuessOutcome::Ignored); // no game in progress
    EXPECT_EQ(g.guessed(), "OUS");
}

struct GuessCase
{
    const char *name;
    const char *word;
    Casing casing;
    const char *key; // one UTF-8 character
    GuessOutcome outcome;
    const char *pattern;
    const char *guessed;
};

void PrintTo(const GuessCase &c, std::ostream *os)
{
    *os << '"' << c.word << '"' << (c.casing == Casing::Turkish ? " (Turkish)" : "") << " + '"
        << c.key << "' -> \"" << c.pattern << '"';
}

class SingleGuess : public ::testing::TestWithParam<GuessCase>
{
};

TEST_P(SingleGuess, FoldsByTheCasingOfTheWord)
{
    const GuessCase &c = GetParam();
    Game g;
    g.start(cp(c.word), c.casing);
    EXPECT_EQ(g.guess(byteOf(c.key)), c.outcome);
    EXPECT_EQ(g.pattern(), cp(c.pattern));
    EXPECT_EQ(g.guessed(), cp(c.guessed));
}

INSTANTIATE_TEST_SUITE_P(
    Letters, SingleGuess,
    ::testing::Values(
        // English words: only A-Z change case; Turkish letters are compared byte for byte.
        GuessCase { "english_s_cedilla", "kaşık", kEnglish, "ş", GuessOutcome::Found, "k _ ş _ k",
                    "ş" },
        GuessCase { "english_S_cedilla", "kaşık", kEnglish, "Ş", GuessOutcome::Missed, "k _ _ _ k",
                    "Ş" },
        GuessCase { "english_dotless_i", "kaşık", kEnglish, "ı", GuessOutcome::Found, "k _ _ ı k",
                    "ı" },
        GuessCase { "english_i", "kaşık", kEnglish, "i", GuessOutcome::Missed, "k _ _ _ k", "I" },
        GuessCase { "english_I", "kaşık", kEnglish, "I", GuessOutcome::Missed, "k _ _ _ k", "I" },
        // Turkish words: every letter pairs with its capital, i with İ and ı with I.
        GuessCase { "turkish_s_cedilla", "kaşık", kTurkish, "ş", GuessOutcome::Found, "k _ Ş _ k",
                    "Ş" },
        GuessCase { "turkish_S_cedilla", "kaşık", kTurkish, "Ş", GuessOutcome::Found, "k _ Ş _ k",
                    "Ş" },
        GuessCase { "turkish_dotless_i", "kaşık", kTurkish, "ı", GuessOutcome::Found, "k _ _ I k",
                    "I" },
        GuessCase { "turkish_I", "kaşık", kTurkish, "I", GuessOutcome::Found, "k _ _ I k", "I" },
        GuessCase { "turkish_i", "kaşık", kTurkish, "i", GuessOutcome::Missed, "k _ _ _ k", "İ" },
        GuessCase { "turkish_dotted_I", "kitap", kTurkish, "İ", GuessOutcome::Found, "k İ _ _ p",
                    "İ" },
        GuessCase { "turkish_u_umlaut", "güzel", kTurkish, "ü", GuessOutcome::Found, "g Ü _ _ l",
                    "Ü" },
        GuessCase { "digit_misses", "house", kEnglish, "7", GuessOutcome::Missed, "h _ _ _ e",
                    "7" },
        GuessCase { "digit_found", "b2b", kEnglish, "2", GuessOutcome::Won, "b 2 b", "2" },
        GuessCase { "blank_is_open", "run away", kEnglish, " ", GuessOutcome::Ignored,
                    "r _ _   _ _ _ y", "" },
        GuessCase { "apostrophe_is_open", "it's", kEnglish, "'", GuessOutcome::Ignored, "i _ ' s",
                    "" },
        GuessCase { "first_letter_used", "house", kEnglish, "h", GuessOutcome::Ignored, "h _ _ _ e",
                    "" }),
    [](const ::testing::TestParamInfo<GuessCase> &info) { return std::string(info.param.name); });

TEST(HangmanGame, TenMissesLoseAndShowTheWordInUpperCase)
{
    Game g;
    g.start(cp("çorba"));
    EXPECT_EQ(play(g, "xyzqw"), GuessOutcome::Missed);
    EXPECT_EQ(g.guess('r'), GuessOutcome::Found);
    EXPECT_EQ(play(g, "1234"), GuessOutcome::Missed);
    EXPECT_EQ(g.misses(), 9);
    EXPECT_TRUE(g.inProgress());
    EXPECT_EQ(g.guess('5'), GuessOutcome::Lost);
    EXPECT_EQ(g.misses(), 10);
    EXPECT_EQ(g.lettersLeft(), 0);
    EXPECT_EQ(g.pattern(), cp("ç O R B A")); // ç has no ASCII upper case
    EXPECT_EQ(g.scores().computer, 1);
    EXPECT_EQ(g.guess('o'), GuessOutcome::Ignored);
    EXPECT_EQ(g.guessed(), "XYZQWR12345");
    EXPECT_FALSE(g.giveUp()); // a lost game cannot be given up as well
    EXPECT_EQ(g.scores().computer, 1);
}

TEST(HangmanGame, GivingUpShowsTheStoredWordOnce)
{
    Game g;
    g.start("Apple");
    g.guess('P');
    EXPECT_TRUE(g.giveUp());
    EXPECT_EQ(g.pattern(), "a p p l e");
    EXPECT_EQ(g.scores().computer, 1);
    EXPECT_FALSE(g.giveUp());
    EXPECT_EQ(g.scores().computer, 1);
    EXPECT_EQ(g.guess('z'), GuessOutcome::Ignored);
}

TEST(HangmanGame, ScoresAddUpOverGamesAndAStartResetsTheGame)
{
    Game g;
    g.start("see"); // won at once
    g.start("tree");
    play(g, "r");
    g.start("cat");
    play(g, "bdfghijklm"); // ten misses
    g.start("dog");
    EXPECT_EQ(g.scores().player, 2);
    EXPECT_EQ(g.scores().computer, 1);
    EXPECT_EQ(g.misses(), 0);
    EXPECT_EQ(g.guessed(), "");
    EXPECT_FALSE(g.isUsed('b'));
    EXPECT_TRUE(g.isUsed('D') && g.isUsed('g'));
    EXPECT_TRUE(g.isWordCharacter('O') && g.isWordCharacter('o'));
}

TEST(HangmanGame, EmptyAndOverlongWords)
{
    Game g;
    EXPECT_FALSE(g.start(""));
    EXPECT_FALSE(g.inProgress());
    EXPECT_EQ(g.scores().player, 0);
    EXPECT_EQ(g.guess('a'), GuessOutcome::Ignored);
    EXPECT_FALSE(g.giveUp());

    const std::string longWord = "a" + std::string(300, 'x') + "b";
    g.start(longWord);
    EXPECT_EQ(g.word().size(), zarel::hangman::kMaxWordLength);
    EXPECT_EQ(g.pattern().size(), 2 * zarel::hangman::kMaxWordLength - 1);
    EXPECT_FALSE(g.inProgress()); // cut after the x's, so every letter is first or last
}

TEST(HangmanGame, EveryByteIsAGuessAndNoneCrashes)
{
    for (const Casing casing : { kEnglish, kTurkish }) {
        Game g;
        g.start(cp("şeker"), casing);
        int misses = 0;
        for (int c = 0; c < 256 && g.inProgress(); ++c) {
            if (g.guess(static_cast<unsigned char>(c)) == GuessOutcome::Missed)
                ++misses;
        }
        EXPECT_EQ(g.misses(), 10);
        EXPECT_EQ(misses, 9);
    }
}

TEST(HangmanGame, TurkishCasingPairsEveryLetterOfTheCodePage)
{
    using zarel::hangman::lowerCase;
    using zarel::hangman::upperCase;
    struct Pair
    {
        const char *lower;
        const char *upper;
    };
    for (const Pair p :
         { Pair { "i", "İ" }, Pair { "ı", "I" }, Pair { "ç", "Ç" }, Pair { "ğ", "Ğ" },
           Pair { "ö", "Ö" }, Pair { "ş", "Ş" }, Pair { "ü", "Ü" }, Pair { "â", "Â" },
           Pair { "a", "A" }, Pair { "z", "Z" } }) {
        EXPECT_EQ(upperCase(byteOf(p.lower), kTurkish), byteOf(p.upper)) << p.lower;
        EXPECT_EQ(lowerCase(byteOf(p.upper), kTurkish), byteOf(p.lower)) << p.upper;
    }
    // No letters: unchanged in both casings.
    for (const char *mark : { "÷", "×", "ß", "7", "-", " " }) {
        for (const Casing casing : { kEnglish, kTurkish }) {
            EXPECT_EQ(upperCase(byteOf(mark), casing), byteOf(mark)) << mark;
            EXPECT_EQ(lowerCase(byteOf(mark), casing), byteOf(mark)) << mark;
        }
    }
    // Every byte survives a round trip through its case pair.
    for (int c = 0; c < 256; ++c) {
        const auto b = static_cast<unsigned char>(c);
        const unsigned char up = upperCase(b, kTurkish);
        if (up != b) {
            EXPECT_EQ(lowerCase(up, kTurkish), b) << c;
        }
    }
}

TEST(WordSources, ListDrawsSkipShortEntries)
{
    const std::vector<std::string> list { "ox", "cat", "a", "dog", "go" };
    std::vector<size_t> asked;
    auto fixed = [&](size_t pick) {
        return [&asked, pick](size_t n) {
            asked.push_back(n);
            return pick;
        };
    };
    EXPECT_EQ(zarel::hangman::randomListWord(list, fixed(0)), 1);
    EXPECT_EQ(zarel::hangman::randomListWord(list, fixed(1)), 3);
    EXPECT_EQ(zarel::hangman::randomListWord(list, fixed(99)), 3); // a bad generator is clamped
    EXPECT_EQ(asked, (std::vector<size_t> { 2, 2, 2 }));
    EXPECT_EQ(zarel::hangman::randomListWord({ "ox", "a" }, fixed(0)), -1);
    EXPECT_EQ(zarel::hangman::randomListWord({}, fixed(0)), -1);
}

TEST(WordSources, NextFromListWrapsAndSkipsShortEntries)
{
    const std::vector<std::string> list { "cat", "ox", "dog", "go" };
    struct Case
    {
        int current;
        int next;
    };
    for (const Case c : { Case { -1, 0 }, Case { 0, 2 }, Case { 1, 2 }, Case { 2, 0 },
                          Case { 3, 0 }, Case { 17, 0 } })
        EXPECT_EQ(zarel::hangman::nextListWord(list, c.current), c.next) << c.current;
    EXPECT_EQ(zarel::hangman::nextListWord({ "only" }, 0), 0);
    EXPECT_EQ(zarel::hangman::nextListWord({ "ox", "a" }, 0), -1);
    EXPECT_EQ(zarel::hangman::nextListWord({}, -1), -1);
}

TEST(WordSources, DictionaryDrawSkipsEmptyTabsAndShortHeadwords)
{
    zarel::test::TempDir dir;
    zarel::test::writeTestDictionary(
        dir.path(),
        { { 0, { zarel::test::baseEntry("a", "x"), zarel::test::baseEntry("an", "x") } },
          { 3, { zarel::test::baseEntry("do", "x"), zarel::test::baseEntry("dog", "x") } },
          { 25, { zarel::test::baseEntry("zebra", "x") } },
          { 40, { zarel::test::baseEntry("masa", "x") } } });
    zarel::DictionaryIndex index;
    ASSERT_TRUE(index.loadAll(dir.path()).ok());

    size_t counter = 0;
    auto cycling = [&counter](size_t n) { return counter++ % n; };
    for (int i = 0; i < 20; ++i) {
        const auto w = zarel::hangman::randomHeadword(index, zarel::hangman::kFirstEnglishTab,
                                                      zarel::hangman::kLastEnglishTab, cycling);
        ASSERT_TRUE(w.found());
        EXPECT_EQ(w.tab, 3); // "dog": the z tab is not drawn, the a tab is too short
        EXPECT_EQ(w.index, 1);
    }
    const auto t = zarel::hangman::randomHeadword(index, zarel::hangman::kFirstTurkishTab,
                                                  zarel::hangman::kLastTurkishTab, cycling);
    EXPECT_EQ(t.tab, 40);
    EXPECT_EQ(t.index, 0);

    // A generator that always lands on short words ends through the search.
    const auto stuck = zarel::hangman::randomHeadword(index, 0, 24, [](size_t) { return 0; });
    EXPECT_EQ(stuck.tab, 3);
    EXPECT_EQ(stuck.index, 1);

    zarel::DictionaryIndex empty;
    EXPECT_FALSE(zarel::hangman::randomHeadword(empty, 0, 24, cycling).found());
    EXPECT_FALSE(zarel::hangman::randomHeadword(index, 30, 20, cycling).found());
    EXPECT_FALSE(zarel::hangman::randomHeadword(index, 60, 70, cycling).found());
}

TEST(WordSources, SystemRandomStaysInRange)
{
    const auto random = zarel::hangman::systemRandom();
    for (size_t n : { size_t { 1 }, size_t { 2 }, size_t { 25 } }) {
        for (int i = 0; i < 200; ++i)
            EXPECT_LT(random(n), n);
    }
    EXPECT_EQ(random(0), 0u);
}
