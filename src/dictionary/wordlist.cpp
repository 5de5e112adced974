// The word list: entries in their marked form, adding without duplicates, list files.
#include "dictionary/wordlist.h"

#include "dictionary/wordlistfile.h"

#include <algorithm>
#include <utility>

namespace zarel {

namespace {

std::string markedForm(const std::string &headword, bool english)
{
    return english ? headword + '*' : headword;
}

} // namespace

WordList::WordList(std::vector<std::string> marked)
    : m_marked(std::move(marked))
{ }

std::string WordList::headword(size_t i) const
{
    return i < m_marked.size() ? shownEntry(m_marked[i]) : std::string();
}

bool WordList::isEnglish(size_t i) const
{
    return i < m_marked.size() && isEnglishEntry(m_marked[i]);
}

std::string WordList::marked(size_t i) const
{
    return i < m_marked.size() ? m_marked[i] : std::string();
}

int WordList::tab(size_t i) const
{
    return i < m_marked.size() ? listEntryTab(m_marked[i]) : -1;
}

bool WordList::contains(const std::string &headword, bool english) const
{
    return std::find(m_marked.begin(), m_marked.end(), markedForm(headword, english))
        != m_marked.end();
}

bool WordList::add(const std::string &headword, bool english)
{
    if (headword.empty() || contains(headword, english))
        return false;
    m_marked.push_back(markedForm(headword, english));
    return true;
}

void WordList::append(const std::vector<std::string> &marked)
{
    m_marked.insert(m_marked.end(), marked.begin(), marked.end());
}

bool WordList::remove(size_t i)
{
    if (i >= m_marked.size())
        return false;
    m_marked.erase(m_marked.begin() + static_cast<std::ptrdiff_t>(i));
    return true;
}

Status WordList::load(const std::string &path, bool replace)
{
    std::vector<std::string> entries;
    Status st = readWordListFile(path, entries);
    if (!st.ok())
        return st;
    if (replace)
        m_marked.clear();
    append(entries);
    return st;
}

Status WordList::save(const std::string &path) const
{
    return writeWordListFile(path, m_marked);
}

} // namespace zarel
