// Storing user entries: append the article, then replace the index file atomically.
#include "dictionary/userentries.h"

#include "dictionary/collation.h"
#include "dictionary/lettertabs.h"
#include "dictionary/tcryptstream.h"
#include "platform/fileutil.h"

#include <limits>

#include <unistd.h>

namespace zarel {

Status validateHeadword(std::string_view headword)
{
    if (headword.empty())
        return Status::failure(ErrorCode::BadInput, "The word is empty");
    if (headword.size() > static_cast<size_t>(kMaxHeadwordLength))
        return Status::failure(ErrorCode::BadInput, "The word is longer than 101 characters");
    return Status::success();
}

size_t insertionPosition(int tab, const std::vector<const TWordRecord *> &entries,
                         std::string_view headword)
{
    for (size_t i = 0; i < entries.size(); ++i) {
        if (compareHeadwords(tab, entries[i]->headword(), headword) > 0)
            return i;
    }
    return entries.size();
}

Status storeUserEntry(const std::string &programFolder, int tab, std::string_view headword,
                      std::string_view article, TWordRecord *stored)
{
    if (!isValidTab(tab))
        return Status::failure(ErrorCode::BadInput, "No such letter tab");
    Status st = validateHeadword(headword);
    if (!st.ok())
        return st;

    const std::string articleFile = articlePath(programFolder, tab, false);
    int32_t offset = 0;
    {
        TCryptStream stream(articleFile, 2, false);
        if (stream.handle() < 0)
            return Status::failure(ErrorCode::WriteError, "Cannot open the article file",
                                   articleFile);
        char magic[4] = {};
        stream.seek(0, 0);
        stream.setRemaining(4);
        if (stream.read(magic, 4) == 4 && std::string_view(magic, 4) == "SZDD")
            return Status::failure(ErrorCode::BadFormat, "The user article file is compressed",
                                   articleFile);
        const int64_t size = stream.seek(0, 2);
        if (size < 0
            || size + static_cast<int64_t>(article.size()) > std::numeric_limits<int32_t>::max())
            return Status::failure(ErrorCode::WriteError, "The article file is too large",
                                   articleFile);
        offset = static_cast<int32_t>(size);
        if (article.size() > static_cast<size_t>(std::numeric_limits<int>::max())
            || stream.write(article.data(), static_cast<int>(article.size()))
                != static_cast<int>(article.size())) {
            // Cut off what a failed write may have appended, so the file holds only whole articles.
            stream.setSize(size);
            return Status::failure(ErrorCode::WriteError, "Cannot write the article", articleFile);
        }
        if (::fsync(stream.handle()) != 0)
            return Status::failure(ErrorCode::WriteError, "Cannot write the article", articleFile);
    }

    const std::string indexFile = indexPath(programFolder, tab);
    std::string index;
    st = readWholeFile(indexFile, index);
    if (!st.ok() && st.code != ErrorCode::FileNotFound)
        return st;
    const TWordRecord record
        = TWordRecord::make(headword, offset, static_cast<int32_t>(article.size()), 0);
    const size_t whole = index.size() / kRecordSize;
    size_t position = whole;
    for (size_t i = 0; i < whole; ++i) {
        const auto *r = reinterpret_cast<const TWordRecord *>(index.data() + i * kRecordSize);
        if (compareHeadwords(tab, r->headword(), headword) > 0) {
            position = i;
            break;
        }
    }
    index.insert(position * kRecordSize, reinterpret_cast<const char *>(&record), sizeof record);
    st = writeFileAtomic(indexFile, index);
    if (!st.ok())
        return st;
    if (stored)
        *stored = record;
    return Status::success();
}

} // namespace zarel
