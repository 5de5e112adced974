// DictionaryIndex: the 56 index files read into memory, one block per file, with the per-tab
// lists (entries pointing into the blocks, headwords, sound numbers) built once at start-up.
#pragma once

#include "dictionary/lettertabs.h"
#include "dictionary/result.h"
#include "dictionary/twordrecord.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zarel {

struct TabLists
{
    bool created = false; // the lists exist (false for tabs after a failed start-up)
    std::unique_ptr<unsigned char[]> indexBuffer; // IndexBuffers[t]: the whole ".dak" file
    size_t indexSize = 0;
    std::vector<const TWordRecord *> entries; // EntryLists[t], file order, into indexBuffer
    std::vector<std::string> soundNumbers; // SoundNumbers[t], English tabs only
    // Records added while the program runs (user entries); kept alive as long as the lists.
    std::vector<std::unique_ptr<TWordRecord>> addedRecords;

    size_t count() const { return entries.size(); }
    std::string_view headword(size_t i) const { return entries[i]->headword(); } // WordLists[t]
};

class DictionaryIndex
{
public:
    // Loads one tab's index file: creates the tab's lists, reads the file whole, and adds one
    // entry per whole record (a trailing partial record is ignored). Sound numbers count the
    // base records of the tab ("1", "2", ...), "0" for user records.
    Status loadTab(const std::string &programFolder, int tab);

    // Loads tabs 0..55 in order and stops at the first failing file, whose status is returned.
    // `afterFile` is called after each file is read (the splash progress).
    Status loadAll(const std::string &programFolder, const std::function<void()> &afterFile = {});

    const TabLists &tab(int t) const { return m_tabs.at(static_cast<size_t>(t)); }
    TabLists &tab(int t) { return m_tabs.at(static_cast<size_t>(t)); }

    // Inserts a user record (BaseFlag 0) at list position `position` of the tab, keeping the
    // three lists parallel; the sound number of the new entry is "0".
    void insertUserEntry(int t, size_t position, const TWordRecord &record);

private:
    std::array<TabLists, kTabCount> m_tabs;
};

// SplashProgress: the dot counter shown while the index files load. After each file: when the
// counter exceeds 6 it is reset and the label emptied, otherwise a dot is appended.
class SplashProgress
{
public:
    // Advances by one file and returns the new label text.
    const std::string &advance();
    const std::string &label() const { return m_label; }

private:
    int m_counter = 0;
    std::string m_label;
};

} // namespace zarel
