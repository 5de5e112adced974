// Rules of the learning methods that need no window: the answer check, the stepping through the
// word list and the drawing of the next word, the article with its word hidden, and the score
// of an exam.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zarel {

// True when the typed answer equals the expected word. The letters A-Z and a-z are compared
// without regard to case; every other byte (Turkish letters such as Ç/ç, I/ı, İ/i included) must
// match exactly, and nothing is trimmed. Works on code-page-1254 and on UTF-8 bytes alike, since
// ASCII letter bytes never occur inside a UTF-8 multi-byte sequence.
bool answerMatches(std::string_view typed, std::string_view answer);

// The list index after `index` in a list of `count` entries: index + 1, and 0 after the last
// entry (or from any index outside the list). -1 for an empty list.
int nextWordIndex(int index, int count);

// The list index before `index`: index - 1 while index > 0, otherwise the last entry (so the
// first step back before any word shows the last one). -1 for an empty list.
int previousWordIndex(int index, int count);

// A random list index in 0..count - 1 for a list of `count` (> 0) entries.
using RandomBelow = std::function<int(int count)>;

// The next word of a method's "next word" command: an entry drawn by `random` when `randomOrder`
// (a value outside the list taken as the nearest entry), otherwise nextWordIndex(). -1 for an
// empty list.
int nextDrawnWord(bool randomOrder, int index, int count, const RandomBelow &random);

// The word of a "previous word" command: an entry drawn by `random` when `randomOrder`,
// otherwise previousWordIndex(). -1 for an empty list.
int previousDrawnWord(bool randomOrder, int index, int count, const RandomBelow &random);

// The number of leading characters of an article's text that give its word away: the first
// `headwordLength` characters (the headword), and for an English word also the rest up to and
// including the second "/" after them (the transcription). Without two such slashes only the
// headword is hidden. Never more than the text's length.
std::size_t hiddenArticleLength(std::u16string_view article, std::size_t headwordLength,
                                bool english);

// A run of characters of a text: `length` characters from `start`.
struct TextSpan
{
    std::size_t start = 0;
    std::size_t length = 0;
    bool operator==(const TextSpan &) const = default;
};

// Where `answer` shows in `text`, in text order and never overlapping: compared without regard to
// letter case (the Latin letters of both languages; I, ı, İ and i all alike), each occurrence at
// the start of a word. An answer of four characters or more also counts at the start of a longer
// word ("apples" for "apple"); a shorter one only as a whole word, so that "go" does not take
// "good" apart. An empty answer shows nowhere.
std::vector<TextSpan> answerOccurrences(std::u16string_view text, std::u16string_view answer);

// What the article shows in place of each occurrence of the answer.
inline constexpr char16_t kAnswerMask[] = u"~";

// The score of an exam: right answers against wrong ones, where a word shown on request counts
// as wrong. Outside exam mode nothing is counted.
class ExamScore
{
public:
    enum class Event {
        Right, // the typed answer was right
        Wrong, // the typed answer was wrong
        Shown, // the learner asked to see the word
    };

    // Counts `event` when `examMode` is on. True when the score changed.
    bool count(Event event, bool examMode);
    int right() const { return m_right; }
    int wrong() const { return m_wrong; }
    // The score as shown: "right - wrong".
    std::string text() const;

private:
    int m_right = 0;
    int m_wrong = 0;
};

} // namespace zarel
