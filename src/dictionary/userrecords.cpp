// Reading the user records of an index file and merging them into a rebuilt index.
#include "dictionary/userrecords.h"

#include "dictionary/collation.h"
#include "dictionary/lettertabs.h"
#include "platform/fileutil.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace zarel {

Status readUserRecords(const std::string &programFolder, int tab, std::vector<TWordRecord> &out)
{
    out.clear();
    if (!isValidTab(tab))
        return Status::failure(ErrorCode::BadInput, "No such letter tab");
    std::string index;
    const Status st = readWholeFile(indexPath(programFolder, tab), index);
    if (st.code == ErrorCode::FileNotFound)
        return Status::success();
    if (!st.ok())
        return st;
    const size_t whole = index.size() / kRecordSize;
    for (size_t i = 0; i < whole; ++i) {
        TWordRecord r;
        std::memcpy(&r, index.data() + i * kRecordSize, sizeof r);
        if (!r.isBase())
            out.push_back(r);
    }
    return Status::success();
}

std::vector<TWordRecord> mergeUserRecords(int tab, const std::vector<TWordRecord> &base,
                                          std::vector<TWordRecord> user)
{
    const auto less = [tab](const TWordRecord &a, const TWordRecord &b) {
        return compareHeadwords(tab, a.headword(), b.headword()) < 0;
    };
    std::stable_sort(user.begin(), user.end(), less);
    std::vector<TWordRecord> merged;
    merged.reserve(base.size() + user.size());
    // std::merge takes from the first range on ties, so base entries stay ahead of equal users.
    std::merge(base.begin(), base.end(), user.begin(), user.end(), std::back_inserter(merged),
               less);
    return merged;
}

} // namespace zarel
