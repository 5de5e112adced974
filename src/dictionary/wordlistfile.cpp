// Word-list files: strict reading, atomic writing.
#include "dictionary/wordlistfile.h"

#include "dictionary/lettertabs.h"
#include "dictionary/twordrecord.h"
#include "platform/fileutil.h"

namespace zarel {

Status readWordListFile(const std::string &path, std::vector<std::string> &entries)
{
    entries.clear();
    std::string bytes;
    Status st = readWholeFile(path, bytes);
    if (!st.ok())
        return st;
    const auto refuse = [&](const char *why) {
        entries.clear();
        return Status::failure(ErrorCode::BadFormat, std::string("Not a word list: ") + why, path);
    };
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        for (const char c : line) {
            const auto b = static_cast<unsigned char>(c);
            if (b < 32 && b != '\t')
                return refuse("it holds binary data");
        }
        // A headword of at most 101 bytes, and the marker of an English one.
        const size_t limit = kMaxHeadwordLength + (line.back() == '*' ? 1 : 0);
        if (line.size() > limit)
            return refuse("a line is longer than a headword");
        if (lines.size() == kMaxWordListLines)
            return refuse("it has more than 100,000 lines");
        lines.push_back(std::move(line));
    }
    entries = std::move(lines);
    return Status::success();
}

Status writeWordListFile(const std::string &path, const std::vector<std::string> &entries)
{
    std::string bytes;
    for (const std::string &e : entries) {
        bytes += e;
        bytes += "\r\n";
    }
    return writeFileAtomic(path, bytes);
}

std::string shownEntry(const std::string &marked)
{
    if (isEnglishEntry(marked) && !marked.empty())
        return marked.substr(0, marked.size() - 1);
    return marked;
}

int listEntryTab(const std::string &marked)
{
    const std::string shown = shownEntry(marked);
    if (shown.empty())
        return -1;
    const auto c = static_cast<unsigned char>(shown[0]);
    if (isEnglishEntry(marked)) {
        const int t = englishTabForChar(c);
        return isEnglishTab(t) ? t : -1;
    }
    return turkishTabForChar(c);
}

} // namespace zarel
