// DictionaryIndex: the 56 index files read into memory, one block per file, with the per-tab
// lists (entries pointing into the blocks, headwords, sound numbers) built once at start-up.
#pragma once

#include "dictionary/lettertabs.h"
#include "dictionary/twordrecord.h"
#include "platform/result.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zarel {

// IndexBuffers[t]: the whole contents of one ".dak" file. The file is mapped read-only, so
// its pages come into memory only when records on them are read and are shared with the file
// cache; a file that cannot be mapped is read into memory instead. The index files are only
// ever replaced by renaming a new file into place, which leaves a mapping of the old one
// intact; a file cut short in place while mapped reads as zero bytes (empty records) in its
// lost part instead of ending the program.
class IndexBuffer
{
public:
    IndexBuffer() = default;
    IndexBuffer(IndexBuffer &&other) noexcept;
    IndexBuffer &operator=(IndexBuffer &&other) noexcept;
    IndexBuffer(const IndexBuffer &) = delete;
    IndexBuffer &operator=(const IndexBuffer &) = delete;
    ~IndexBuffer();

    // The whole file at `path`; on failure the buffer is empty and the status says why.
    Status load(const std::string &path);

    const unsigned char *get() const { return m_data; }
    size_t size() const { return m_size; }
    bool mapped() const { return m_mapped; }

private:
    void release();

    const unsigned char *m_data = nullptr;
    size_t m_size = 0;
    bool m_mapped = false;
    std::unique_ptr<unsigned char[]> m_owned; // the contents when not mapped
};

struct TabLists
{
    bool created = false; // the lists exist (false for tabs after a failed start-up)
    IndexBuffer indexBuffer; // IndexBuffers[t]: the whole ".dak" file
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
