// Fuzz harness of word-list files: any file is either refused with BadFormat and no entries, or
// read into entries that fit the list rules and survive a write/read round trip.
#include "dictionary/lettertabs.h"
#include "dictionary/twordrecord.h"
#include "dictionary/wordlistfile.h"
#include "fuzzsupport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace zarel;

void checkEntry(const std::string &entry)
{
    ZAREL_FUZZ_CHECK(!entry.empty());
    for (const char c : entry)
        ZAREL_FUZZ_CHECK(static_cast<unsigned char>(c) >= 32 || c == '\t');
    ZAREL_FUZZ_CHECK(entry.size() <= size_t(kMaxHeadwordLength) + (entry.back() == '*' ? 1 : 0));

    const std::string shown = shownEntry(entry);
    ZAREL_FUZZ_CHECK(shown.size() + (isEnglishEntry(entry) ? 1 : 0) == entry.size());
    const int tab = listEntryTab(entry);
    ZAREL_FUZZ_CHECK(tab == -1 || isValidTab(tab));
    if (tab >= 0)
        ZAREL_FUZZ_CHECK(isEnglishEntry(entry) ? isEnglishTab(tab) : isTurkishTab(tab));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const std::string path = fuzz::scratchPath("list.dic");
    fuzz::writeFile(path, bytes);

    std::vector<std::string> entries { "left over" };
    const Status st = readWordListFile(path, entries);
    if (!st.ok()) {
        ZAREL_FUZZ_CHECK(st.code == ErrorCode::BadFormat && entries.empty());
        return 0;
    }
    ZAREL_FUZZ_CHECK(entries.size() <= kMaxWordListLines);
    size_t bytesInEntries = 0;
    for (const std::string &entry : entries) {
        checkEntry(entry);
        bytesInEntries += entry.size();
    }
    ZAREL_FUZZ_CHECK(bytesInEntries <= size);

    // Written with CR LF and read again: the same entries.
    const std::string copy = fuzz::scratchPath("copy.dic");
    ZAREL_FUZZ_CHECK(writeWordListFile(copy, entries).ok());
    std::vector<std::string> reread;
    ZAREL_FUZZ_CHECK(readWordListFile(copy, reread).ok());
    ZAREL_FUZZ_CHECK(reread == entries);
    return 0;
}
