// Writing a tab's index and article files (base articles scrambled, optional SZDD compression).
#include "dictionary/dictionarywriter.h"

#include "dictionary/fileutil.h"
#include "dictionary/lettertabs.h"
#include "dictionary/tcryptstream.h"
#include "dictionary/twordrecord.h"
#include "platform/lzfile.h"

#include <cerrno>
#include <cstring>
#include <limits>

#include <sys/stat.h>

namespace zarel {

namespace {

Status ensureFolder(const std::string &path)
{
    if (::mkdir(path.c_str(), 0755) == 0 || errno == EEXIST)
        return Status::success();
    return Status::failure(ErrorCode::WriteError, std::strerror(errno), path);
}

Status writeArticleFile(const std::string &path, const std::string &bytes,
                        const WriterOptions &options)
{
    if (!options.compress)
        return writeFileAtomic(path, bytes);
    const std::vector<unsigned char> plain(bytes.begin(), bytes.end());
    const std::vector<unsigned char> packed = lz::szddCompress(plain, 'f');
    return writeFileAtomic(
        path, std::string_view(reinterpret_cast<const char *>(packed.data()), packed.size()));
}

} // namespace

Status writeTab(const std::string &programFolder, int tab, const std::vector<WriterEntry> &entries,
                const WriterOptions &options)
{
    if (!isValidTab(tab))
        return Status::failure(ErrorCode::BadInput, "No such tab");
    Status st = ensureFolder(programFolder);
    if (st.ok())
        st = ensureFolder(programFolder + (isEnglishTab(tab) ? "/eg" : "/tr"));
    if (!st.ok())
        return st;

    std::string index;
    std::string baseArticles;
    std::string userArticles;
    index.reserve(entries.size() * kRecordSize);
    for (const WriterEntry &e : entries) {
        std::string &target = e.baseFlag ? baseArticles : userArticles;
        if (target.size() + e.article.size()
            > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
            return Status::failure(ErrorCode::BadInput, "Article file too large",
                                   articlePath(programFolder, tab, e.baseFlag != 0));
        const auto offset = static_cast<int32_t>(target.size());
        if (e.baseFlag) {
            std::string scrambled = e.article;
            scrambleInPlace(scrambled);
            target += scrambled;
        } else {
            target += e.article;
        }
        const TWordRecord r = TWordRecord::make(e.headword, offset,
                                                static_cast<int32_t>(e.article.size()), e.baseFlag);
        index.append(reinterpret_cast<const char *>(&r), sizeof r);
    }
    st = writeArticleFile(articlePath(programFolder, tab, true), baseArticles, options);
    // User article files stay plain: new user articles are appended to them in place.
    if (st.ok())
        st = writeFileAtomic(articlePath(programFolder, tab, false), userArticles);
    if (st.ok())
        st = writeFileAtomic(indexPath(programFolder, tab), index);
    return st;
}

Status writeDictionary(const std::string &programFolder,
                       const std::vector<std::vector<WriterEntry>> &tabs,
                       const WriterOptions &options)
{
    static const std::vector<WriterEntry> kNone;
    for (int t = 0; t < kTabCount; ++t) {
        const auto &entries
            = static_cast<size_t>(t) < tabs.size() ? tabs[static_cast<size_t>(t)] : kNone;
        Status st = writeTab(programFolder, t, entries, options);
        if (!st.ok())
            return st;
    }
    return Status::success();
}

} // namespace zarel
