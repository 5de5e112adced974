// The hangman game's rules: starting a game, guesses, giving up, and drawing the next word.
#include "hangman/core/hangmanrules.h"

#include "dictionary/codepage1254.h"
#include "dictionary/dictionaryindex.h"
#include "dictionary/lettertabs.h"

#include <algorithm>
#include <memory>
#include <random>

namespace zarel::hangman {

namespace {

// Random draws before the dictionary source gives up drawing and searches instead.
constexpr int kMaxDictionaryDraws = 1000;

constexpr char kHidden = '_';

bool isAsciiLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool longEnough(std::string_view word)
{
    return word.size() >= kMinWordLength;
}

} // namespace

std::string lowerAscii(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = static_cast<char>(lowerAscii(static_cast<unsigned char>(c)));
    return out;
}

unsigned char upperCase(unsigned char c, Casing casing)
{
    if (casing == Casing::English)
        return upperAscii(c);
    if (c == 'i')
        return cp1254::kIDotUpper;
    if (c == cp1254::kDotlessILower)
        return 'I';
    // Code page 1254 keeps its small letters 0x20 above their capitals; ÷ (F7) is no letter.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<unsigned char>(c - 0x20);
    return upperAscii(c);
}

unsigned char lowerCase(unsigned char c, Casing casing)
{
    if (casing == Casing::English)
        return lowerAscii(c);
    if (c == 'I')
        return cp1254::kDotlessILower;
    if (c == cp1254::kIDotUpper)
        return 'i';
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<unsigned char>(c + 0x20);
    return lowerAscii(c);
}

bool isOpenCharacter(unsigned char c)
{
    return c >= 0x20 && c < 0x7F && !isAsciiLetter(c) && !(c >= '0' && c <= '9');
}

void Game::markUsed(unsigned char c)
{
    m_used.set(c);
    m_used.set(upperCase(c, m_casing));
    m_used.set(lowerCase(c, m_casing));
}

bool Game::start(std::string_view word, Casing casing)
{
    m_casing = casing;
    m_used.reset();
    m_wordChars.reset();
    m_guessed.clear();
    m_misses = 0;
    m_word.assign(word.substr(0, kMaxWordLength));
    for (char &c : m_word)
        c = static_cast<char>(lowerCase(static_cast<unsigned char>(c), m_casing));
    m_pattern.clear();
    m_lettersLeft = static_cast<int>(m_word.size());
    if (m_word.empty())
        return false;

    const size_t n = m_word.size();
    markUsed(static_cast<unsigned char>(m_word.front()));
    markUsed(static_cast<unsigned char>(m_word.back()));
    for (const char c : m_word) {
        if (isOpenCharacter(static_cast<unsigned char>(c)))
            markUsed(static_cast<unsigned char>(c));
    }
    m_pattern.assign(2 * n - 1, ' ');
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(m_word[i]);
        m_wordChars.set(c);
        m_wordChars.set(upperCase(c, m_casing));
        m_pattern[2 * i] = (i == 0 || i == n - 1) ? m_word[i] : kHidden;
        if (m_used.test(c)) {
            m_pattern[2 * i] = m_word[i];
            --m_lettersLeft;
        }
    }
    if (m_lettersLeft > 0)
        return false;
    ++m_scores.player;
    return true;
}

GuessOutcome Game::guess(unsigned char c)
{
    if (m_used.test(c) || m_misses >= kMaxMisses || m_lettersLeft == 0)
        return GuessOutcome::Ignored;
    const auto upper = upperCase(c, m_casing);
    m_guessed.push_back(static_cast<char>(upper));
    markUsed(c);

    if (!m_wordChars.test(c)) {
        ++m_misses;
        if (m_misses < kMaxMisses)
            return GuessOutcome::Missed;
        ++m_scores.computer;
        m_lettersLeft = 0;
        for (size_t i = 0; i < m_word.size(); ++i)
            m_pattern[2 * i]
                = static_cast<char>(upperCase(static_cast<unsigned char>(m_word[i]), m_casing));
        return GuessOutcome::Lost;
    }
    const auto lower = lowerCase(c, m_casing);
    for (size_t i = 0; i < m_word.size(); ++i) {
        if (lowerCase(static_cast<unsigned char>(m_word[i]), m_casing) == lower) {
            m_pattern[2 * i] = static_cast<char>(upper);
            --m_lettersLeft;
        }
    }
    if (m_lettersLeft > 0)
        return GuessOutcome::Found;
    ++m_scores.player;
    return GuessOutcome::Won;
}

bool Game::giveUp()
{
    if (m_lettersLeft <= 0)
        return false;
    for (size_t i = 0; i < m_word.size(); ++i)
        m_pattern[2 * i] = m_word[i];
    ++m_scores.computer;
    m_lettersLeft = 0;
    return true;
}

int randomListWord(const std::vector<std::string> &entries, const RandomIndex &random)
{
    std::vector<int> eligible;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (longEnough(entries[i]))
            eligible.push_back(static_cast<int>(i));
    }
    if (eligible.empty())
        return -1;
    return eligible[std::min(random(eligible.size()), eligible.size() - 1)];
}

int nextListWord(const std::vector<std::string> &entries, int current)
{
    const auto n = static_cast<int>(entries.size());
    if (n == 0)
        return -1;
    int i = (current < 0 || current >= n) ? -1 : current;
    for (int step = 0; step < n; ++step) {
        i = (i + 1) % n;
        if (longEnough(entries[static_cast<size_t>(i)]))
            return i;
    }
    return -1;
}

DictionaryWord randomHeadword(const DictionaryIndex &dictionary, int firstTab, int lastTab,
                              const RandomIndex &random)
{
    firstTab = std::max(firstTab, 0);
    lastTab = std::min(lastTab, kTabCount - 1);
    if (firstTab > lastTab)
        return {};
    const auto tabs = static_cast<size_t>(lastTab - firstTab + 1);
    auto pick = [&](size_t n) { return std::min(random(n), n - 1); };

    for (int draw = 0; draw < kMaxDictionaryDraws; ++draw) {
        const int tab = firstTab + static_cast<int>(pick(tabs));
        const TabLists &lists = dictionary.tab(tab);
        if (lists.count() == 0)
            continue;
        const size_t i = pick(lists.count());
        if (longEnough(lists.headword(i)))
            return { tab, static_cast<int>(i) };
    }

    // Nearly every headword is short: choose among the long ones of one tab.
    const size_t startTab = pick(tabs);
    for (size_t k = 0; k < tabs; ++k) {
        const int tab = firstTab + static_cast<int>((startTab + k) % tabs);
        const TabLists &lists = dictionary.tab(tab);
        std::vector<int> eligible;
        for (size_t i = 0; i < lists.count(); ++i) {
            if (longEnough(lists.headword(i)))
                eligible.push_back(static_cast<int>(i));
        }
        if (!eligible.empty())
            return { tab, eligible[pick(eligible.size())] };
    }
    return {};
}

RandomIndex systemRandom()
{
    auto engine = std::make_shared<std::mt19937>(std::random_device {}());
    return [engine](size_t n) {
        if (n == 0)
            return size_t { 0 };
        std::uniform_int_distribution<size_t> d(0, n - 1);
        return d(*engine);
    };
}

} // namespace zarel::hangman
