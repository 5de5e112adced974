// The answer check, the list stepping and drawing, the hidden article head, the answer's places
// in an article and the exam score of the learning methods.
#include "methods/core/methodrules.h"

#include <algorithm>

namespace zarel {

namespace {

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool answerMatches(std::string_view typed, std::string_view answer)
{
    if (typed.size() != answer.size())
        return false;
    for (size_t i = 0; i < typed.size(); ++i) {
        if (foldAscii(typed[i]) != foldAscii(answer[i]))
            return false;
    }
    return true;
}

int nextWordIndex(int index, int count)
{
    if (count <= 0)
        return -1;
    if (index < -1 || index >= count - 1)
        return 0;
    return index + 1;
}

int previousWordIndex(int index, int count)
{
    if (count <= 0)
        return -1;
    if (index > 0 && index < count)
        return index - 1;
    return count - 1;
}

namespace {

int drawn(int count, const RandomBelow &random)
{
    return random ? std::clamp(random(count), 0, count - 1) : 0;
}

} // namespace

int nextDrawnWord(bool randomOrder, int index, int count, const RandomBelow &random)
{
    if (count <= 0)
        return -1;
    return randomOrder ? drawn(count, random) : nextWordIndex(index, count);
}

int previousDrawnWord(bool randomOrder, int index, int count, const RandomBelow &random)
{
    if (count <= 0)
        return -1;
    return randomOrder ? drawn(count, random) : previousWordIndex(index, count);
}

std::size_t hiddenArticleLength(std::u16string_view article, std::size_t headwordLength,
                                bool english)
{
    const std::size_t headword = std::min(headwordLength, article.size());
    if (!english)
        return headword;
    const std::size_t first = article.find(u'/', headword);
    if (first == std::u16string_view::npos)
        return headword;
    const std::size_t second = article.find(u'/', first + 1);
    return second == std::u16string_view::npos ? headword : second + 1;
}

namespace {

// Letter case folded the way answerOccurrences compares: ASCII and Latin-1 capitals to small
// letters, the Turkish pairs Ğ/ğ and Ş/ş, and every form of i to one.
char16_t foldForMask(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<char16_t>(c + 0x20);
    switch (c) {
    case 0x0130: // İ
    case 0x0131: // ı
        return u'i';
    case 0x011E: // Ğ
    case 0x015E: // Ş
        return static_cast<char16_t>(c + 1);
    default:
        return c;
    }
}

bool isWordCharacter(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')
        || (c >= 0xC0 && c != 0xD7 && c != 0xF7 && !(c >= 0x2000 && c <= 0x206F));
}

} // namespace

std::vector<TextSpan> answerOccurrences(std::u16string_view text, std::u16string_view answer)
{
    constexpr std::size_t kLongAnswer = 4;
    std::vector<TextSpan> spans;
    const std::size_t n = answer.size();
    if (n == 0 || n > text.size())
        return spans;
    for (std::size_t i = 0; i + n <= text.size();) {
        const bool startsWord
            = i == 0 || !isWordCharacter(text[i - 1]) || !isWordCharacter(answer.front());
        bool same = startsWord;
        for (std::size_t k = 0; same && k < n; ++k)
            same = foldForMask(text[i + k]) == foldForMask(answer[k]);
        const bool endsWord = i + n == text.size() || !isWordCharacter(text[i + n])
            || !isWordCharacter(answer.back());
        if (same && (endsWord || n >= kLongAnswer)) {
            spans.push_back({ i, n });
            i += n;
        } else {
            ++i;
        }
    }
    return spans;
}

bool ExamScore::count(Event event, bool examMode)
{
    if (!examMode)
        return false;
    if (event == Event::Right)
        ++m_right;
    else
        ++m_wrong;
    return true;
}

std::string ExamScore::text() const
{
    return std::to_string(m_right) + " - " + std::to_string(m_wrong);
}

} // namespace zarel
