// The hangman game's rules: the hidden word and its pattern of found letters, the used and word
// character sets, misses, the scores of the run, and the choice of the next word from a source.
#pragma once

#include <bitset>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zarel {
class DictionaryIndex;
}

namespace zarel::hangman {

inline constexpr int kMaxMisses = 10; // the tenth miss loses the game
inline constexpr size_t kMinWordLength = 3; // the word sources draw again below this length
inline constexpr size_t kMaxWordLength = 101; // the longest headword; longer words are cut

// Word sources of the dictionary: the English tabs 0..24 (the z tab is never drawn) and the
// Turkish tabs 26..55.
inline constexpr int kFirstEnglishTab = 0, kLastEnglishTab = 24;
inline constexpr int kFirstTurkishTab = 26, kLastTurkishTab = 55;

// ASCII-only case changes; every other byte (the Turkish letters too) stays as it is.
inline unsigned char upperAscii(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
}
inline unsigned char lowerAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}
std::string lowerAscii(std::string_view text);

// How a word's letters change case: English words by the ASCII rule only; Turkish words by
// Turkish casing, where i pairs with İ and ı with I, and the code page's other letters (ç/Ç, ğ/Ğ,
// ö/Ö, ş/Ş, ü/Ü, â/Â ...) pair as well.
enum class Casing { English, Turkish };
unsigned char upperCase(unsigned char c, Casing casing);
unsigned char lowerCase(unsigned char c, Casing casing);

// Blanks, hyphens, apostrophes and the other ASCII marks that are neither letters nor digits:
// a word shows them from the start, so a phrase is never lost on its blank.
bool isOpenCharacter(unsigned char c);

enum class GuessOutcome {
    Ignored, // already used, too many misses, or no game in progress: nothing changed
    Found, // the character is in the word; letters are still hidden
    Won, // the character uncovered the last hidden letter
    Missed, // the character is not in the word; fewer than ten misses
    Lost, // the tenth miss: the word is shown in upper case
};

struct Scores
{
    int player = 0; // games won ("You")
    int computer = 0; // games lost or given up ("Me")
};

// One game after another on code-page-1254 words. The scores add up over every game of the
// object's life; the window keeps one object for the whole run of the program.
class Game
{
public:
    // Starts a game on `word` (cut to kMaxWordLength bytes), stored in lower case by `casing`,
    // which also rules every later case change of the game. The first and the last character,
    // in both cases, and the open characters (blanks, hyphens ...) count as used, so every
    // occurrence of them is shown from the start. Returns true when that leaves no letter
    // hidden: the player has then won at once and the player's score has risen. An empty word
    // starts no game (no letters, no score change) and returns false.
    bool start(std::string_view word, Casing casing = Casing::English);

    // Takes one typed character. A used character, a guess after the tenth miss and a guess
    // with no game in progress are ignored. Otherwise the character is added to guessed() in
    // upper case and marked used in both cases; when it is in the word every matching position
    // (case folded) shows its upper-case form, otherwise the misses rise. Winning raises the
    // player's score, the tenth miss the computer's. Cases change by the game's casing.
    GuessOutcome guess(unsigned char c);

    // Gives the game up while one is in progress: the pattern shows the word as stored, the
    // computer's score rises and the game ends. Returns false (nothing changes) otherwise.
    bool giveUp();

    const std::string &word() const { return m_word; } // the word in lower case
    Casing casing() const { return m_casing; }
    // One character per letter with one blank between letters; "_" for a hidden letter.
    const std::string &pattern() const { return m_pattern; }
    const std::string &guessed() const { return m_guessed; } // guesses in upper case, in order
    int lettersLeft() const { return m_lettersLeft; }
    int misses() const { return m_misses; }
    bool inProgress() const { return m_lettersLeft > 0; }
    bool isUsed(unsigned char c) const { return m_used.test(c); }
    bool isWordCharacter(unsigned char c) const { return m_wordChars.test(c); }
    const Scores &scores() const { return m_scores; }

private:
    void markUsed(unsigned char c);

    std::string m_word;
    std::string m_pattern;
    std::string m_guessed;
    std::bitset<256> m_used;
    std::bitset<256> m_wordChars;
    int m_lettersLeft = 0;
    int m_misses = 0;
    Casing m_casing = Casing::English;
    Scores m_scores;
};

// A uniform random index in [0, n) for n > 0.
using RandomIndex = std::function<size_t(size_t n)>;

// The index of an entry of at least kMinWordLength bytes, uniformly among those entries (the
// same choice as drawing any entry until one is long enough), or -1 when there is none.
int randomListWord(const std::vector<std::string> &entries, const RandomIndex &random);

// The first entry of at least kMinWordLength bytes after `current`, continuing with the first
// entry after the last one (`current` -1 starts at the first entry), or -1 when there is none.
int nextListWord(const std::vector<std::string> &entries, int current);

struct DictionaryWord
{
    int tab = -1;
    int index = -1;
    bool found() const { return tab >= 0 && index >= 0; }
};

// A headword of at least kMinWordLength bytes from the tabs firstTab..lastTab: a tab is drawn
// uniformly, then a headword in it; tabs with no headwords and short headwords are drawn
// again. After a bounded number of draws the first long-enough headword of the tabs, from a
// random tab on, is taken instead; nothing found (no such headword at all) gives tab -1.
DictionaryWord randomHeadword(const DictionaryIndex &dictionary, int firstTab, int lastTab,
                              const RandomIndex &random);

// A RandomIndex over a generator seeded once from the system's entropy source.
RandomIndex systemRandom();

} // namespace zarel::hangman
