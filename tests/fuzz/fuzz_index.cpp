// Fuzz harness of index loading: one tab's index file and base article file from arbitrary
// bytes, loaded, searched, read article by article, and extended with a user entry.
//
// Input: [tab byte] [flags byte] [index length, 32-bit little-endian] [index bytes]
// [article file bytes]. The article file is the tab's base article file, plain or SZDD.
#include "dictionary/combosearch.h"
#include "dictionary/dictionaryindex.h"
#include "dictionary/lettertabs.h"
#include "dictionary/tcryptstream.h"
#include "dictionary/userentries.h"
#include "fuzzsupport.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

using namespace zarel;

// Articles read per input: each read opens (and may expand) the whole article file.
constexpr size_t kMaxArticleReads = 32;

const std::string &dictionaryFolder()
{
    static const std::string folder = [] {
        const std::string f = fuzz::scratchPath("dict");
        std::filesystem::create_directories(f + "/eg");
        std::filesystem::create_directories(f + "/tr");
        return f;
    }();
    return folder;
}

// What "Read an article" must give for a base record over `contents`.
std::string expectedBaseArticle(const std::string &contents, bool readable, const TWordRecord &r)
{
    if (!readable || r.ArticleOffset() < 0 || r.ArticleSize() <= 0)
        return {};
    const auto offset = static_cast<size_t>(r.ArticleOffset());
    if (offset >= contents.size())
        return {};
    std::string article = contents.substr(offset, static_cast<size_t>(r.ArticleSize()));
    for (char &c : article)
        c = static_cast<char>(descrambleByte(static_cast<unsigned char>(c)));
    return article;
}

void checkSearches(const TabLists &lists, std::string_view key)
{
    const int prefix = findStringPrefix(lists.entries, key);
    const int exact = findStringExact(lists.entries, key);
    ZAREL_FUZZ_CHECK(prefix >= -1 && prefix < static_cast<int>(lists.count()));
    ZAREL_FUZZ_CHECK(exact >= -1 && exact < static_cast<int>(lists.count()));
    if (prefix >= 0)
        ZAREL_FUZZ_CHECK(startsWithFolded(lists.headword(static_cast<size_t>(prefix)), key));
    if (exact >= 0) {
        ZAREL_FUZZ_CHECK(equalsFolded(lists.headword(static_cast<size_t>(exact)), key));
        // An equal headword also begins with the key, so the prefix search stops no later.
        ZAREL_FUZZ_CHECK(prefix >= 0 && prefix <= exact);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 6)
        return 0;
    const int tab = data[0] % kTabCount;
    const unsigned flags = data[1];
    const uint32_t declared = uint32_t(data[2]) | uint32_t(data[3]) << 8 | uint32_t(data[4]) << 16
        | uint32_t(data[5]) << 24;
    const std::string_view rest(reinterpret_cast<const char *>(data) + 6, size - 6);
    const std::string_view indexBytes = rest.substr(0, std::min<size_t>(declared, rest.size()));
    const std::string_view articleBytes = rest.substr(indexBytes.size());

    const std::string &folder = dictionaryFolder();
    fuzz::writeFile(indexPath(folder, tab), indexBytes);
    fuzz::writeFile(articlePath(folder, tab, true), articleBytes);
    fuzz::removeFile(articlePath(folder, tab, false));

    DictionaryIndex index;
    ZAREL_FUZZ_CHECK(index.loadTab(folder, tab).ok());
    TabLists &lists = index.tab(tab);
    const size_t count = indexBytes.size() / kRecordSize;
    ZAREL_FUZZ_CHECK(lists.created && lists.count() == count);
    ZAREL_FUZZ_CHECK(lists.soundNumbers.size() == (isEnglishTab(tab) ? count : 0));

    std::string contents;
    const bool readable = fuzz::lzContents(articleBytes, contents);
    for (size_t i = 0; i < count; ++i) {
        const TWordRecord &r = *lists.entries[i];
        ZAREL_FUZZ_CHECK(r.headword().size() <= static_cast<size_t>(kMaxHeadwordLength));
        if (i >= kMaxArticleReads && i + 1 != count)
            continue;
        const std::string article = readArticle(folder, tab, r);
        // User records read the user article file, which is created empty on first use.
        ZAREL_FUZZ_CHECK(article == (r.isBase() ? expectedBaseArticle(contents, readable, r) : ""));
    }

    // The headword the searches and the new entry use: one of the file's, or a fixed word.
    std::string key = "fuzz";
    if (count > 0) {
        const std::string_view chosen = lists.headword((flags >> 1) % count);
        if (!chosen.empty())
            key.assign(chosen);
    }
    checkSearches(lists, key);
    checkSearches(lists, std::string_view(key).substr(0, key.size() / 2));

    const size_t position = insertionPosition(tab, lists.entries, key);
    ZAREL_FUZZ_CHECK(position <= count);
    if ((flags & 1) == 0) {
        index.insertUserEntry(tab, position, TWordRecord::make(key, 0, 0, 0));
        ZAREL_FUZZ_CHECK(lists.count() == count + 1 && lists.headword(position) == key);
        ZAREL_FUZZ_CHECK(lists.soundNumbers.size() == (isEnglishTab(tab) ? count + 1 : 0));
        return 0;
    }

    // Stored for good: the index file gains the record at the same place, and its article reads
    // back.
    const std::string article = "{\\rtf1 " + std::string(articleBytes.substr(0, 64)) + "}";
    TWordRecord stored {};
    ZAREL_FUZZ_CHECK(storeUserEntry(folder, tab, key, article, &stored).ok());
    DictionaryIndex reloaded;
    ZAREL_FUZZ_CHECK(reloaded.loadTab(folder, tab).ok());
    const TabLists &after = reloaded.tab(tab);
    ZAREL_FUZZ_CHECK(after.count() == count + 1);
    ZAREL_FUZZ_CHECK(after.headword(position) == key && !after.entries[position]->isBase());
    ZAREL_FUZZ_CHECK(readArticle(folder, tab, *after.entries[position]) == article);
    return 0;
}
