// Writing a tab's index and article files (base articles scrambled, optional SZDD compression),
// and rebuilding them over an existing tree with the user's records carried over.
#include "dictionary/dictionarywriter.h"

#include "dictionary/lettertabs.h"
#include "dictionary/tcryptstream.h"
#include "dictionary/twordrecord.h"
#include "dictionary/userrecords.h"
#include "platform/fileutil.h"
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

namespace {

// The files of one tab as bytes: index records in the given order, base articles scrambled,
// user articles plain.
struct TabFiles
{
    std::vector<TWordRecord> records;
    std::string baseArticles;
    std::string userArticles;
};

Status layOut(const std::string &programFolder, int tab, const std::vector<WriterEntry> &entries,
              TabFiles &out)
{
    out.records.reserve(entries.size());
    for (const WriterEntry &e : entries) {
        std::string &target = e.baseFlag ? out.baseArticles : out.userArticles;
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
        out.records.push_back(TWordRecord::make(
            e.headword, offset, static_cast<int32_t>(e.article.size()), e.baseFlag));
    }
    return Status::success();
}

std::string indexBytes(const std::vector<TWordRecord> &records)
{
    std::string index;
    index.reserve(records.size() * kRecordSize);
    for (const TWordRecord &r : records)
        index.append(reinterpret_cast<const char *>(&r), sizeof r);
    return index;
}

Status ensureTabFolder(const std::string &programFolder, int tab)
{
    if (!isValidTab(tab))
        return Status::failure(ErrorCode::BadInput, "No such tab");
    Status st = ensureFolder(programFolder);
    if (st.ok())
        st = ensureFolder(programFolder + (isEnglishTab(tab) ? "/eg" : "/tr"));
    return st;
}

} // namespace

Status writeTab(const std::string &programFolder, int tab, const std::vector<WriterEntry> &entries,
                const WriterOptions &options)
{
    Status st = ensureTabFolder(programFolder, tab);
    TabFiles files;
    if (st.ok())
        st = layOut(programFolder, tab, entries, files);
    if (st.ok())
        st = writeArticleFile(articlePath(programFolder, tab, true), files.baseArticles, options);
    // User article files stay plain: new user articles are appended to them in place.
    if (st.ok())
        st = writeFileAtomic(articlePath(programFolder, tab, false), files.userArticles);
    if (st.ok())
        st = writeFileAtomic(indexPath(programFolder, tab), indexBytes(files.records));
    return st;
}

Status rebuildTab(const std::string &programFolder, int tab,
                  const std::vector<WriterEntry> &baseEntries, const WriterOptions &options,
                  size_t *carried)
{
    if (carried)
        *carried = 0;
    Status st = ensureTabFolder(programFolder, tab);
    if (!st.ok())
        return st;
    for (const WriterEntry &e : baseEntries) {
        if (e.baseFlag == 0)
            return Status::failure(ErrorCode::BadInput, "A rebuild writes base entries only",
                                   indexPath(programFolder, tab));
    }
    TabFiles files;
    st = layOut(programFolder, tab, baseEntries, files);
    std::vector<TWordRecord> user;
    if (st.ok())
        st = readUserRecords(programFolder, tab, user);
    if (!st.ok())
        return st;
    const size_t userCount = user.size();
    const std::vector<TWordRecord> merged = mergeUserRecords(tab, files.records, std::move(user));

    // The order of the writes keeps every user word through a kill or a power loss at any moment:
    // 1. the base article file is replaced (atomically); the old index still holds the user
    //    records, which point into the user article file only;
    // 2. a missing user article file is created empty; an existing one is never touched, so the
    //    carried records' offsets and sizes stay valid;
    // 3. the index is replaced last (atomically) by the merged records: the commit of the tab.
    // Until 3, the tab's index is the old one with all its user records; after 3, the new one
    // with the same records. Between 1 and 3 the old base records may point at new base articles,
    // so a caller marks the whole rebuild finished only after every tab (the launcher writes its
    // stamp last) and simply runs it again after an interruption: user records are the only thing
    // taken from the current index, so a tab already rebuilt gets the same index again, with no
    // record dropped or doubled.
    st = writeArticleFile(articlePath(programFolder, tab, true), files.baseArticles, options);
    const std::string userFile = articlePath(programFolder, tab, false);
    if (st.ok() && !fileExists(userFile))
        st = writeFileAtomic(userFile, {});
    if (st.ok())
        st = writeFileAtomic(indexPath(programFolder, tab), indexBytes(merged));
    if (st.ok() && carried)
        *carried = userCount;
    return st;
}

Status rebuildDictionary(const std::string &programFolder,
                         const std::vector<std::vector<WriterEntry>> &tabs,
                         const WriterOptions &options, std::vector<size_t> *carried)
{
    static const std::vector<WriterEntry> kNone;
    if (carried)
        carried->assign(kTabCount, 0);
    for (int t = 0; t < kTabCount; ++t) {
        const auto &entries
            = static_cast<size_t>(t) < tabs.size() ? tabs[static_cast<size_t>(t)] : kNone;
        size_t n = 0;
        const Status st = rebuildTab(programFolder, t, entries, options, &n);
        if (!st.ok())
            return st;
        if (carried)
            (*carried)[static_cast<size_t>(t)] = n;
    }
    return Status::success();
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
