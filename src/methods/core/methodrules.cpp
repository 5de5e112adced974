// The answer check and the list stepping of the learning methods.
#include "methods/core/methodrules.h"

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

} // namespace zarel
