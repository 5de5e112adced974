// Index loading: each ".dak" file read in one block; the per-tab lists point into the block.
#include "dictionary/dictionaryindex.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zarel {

namespace {

// Reads a whole file into a new block of exactly its size.
Status readBlock(const std::string &path, std::unique_ptr<unsigned char[]> &block, size_t &size)
{
    size = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return Status::failure(ErrorCode::FileNotFound, "File not found", path);
        return Status::failure(ErrorCode::ReadError, std::strerror(errno), path);
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Status::failure(ErrorCode::ReadError, "Not a readable file", path);
    }
    const auto expected = static_cast<size_t>(st.st_size);
    block.reset(new unsigned char[expected > 0 ? expected : 1]);
    size_t done = 0;
    while (done < expected) {
        const ssize_t n = ::read(fd, block.get() + done, expected - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            return Status::failure(ErrorCode::ReadError, std::strerror(err), path);
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    size = done;
    return Status::success();
}

} // namespace

Status DictionaryIndex::loadTab(const std::string &programFolder, int t)
{
    TabLists &lists = tab(t);
    lists = TabLists {};
    lists.created = true;
    Status st = readBlock(indexPath(programFolder, t), lists.indexBuffer, lists.indexSize);
    if (!st.ok())
        return st;
    const size_t count = lists.indexSize / kRecordSize;
    lists.entries.reserve(count);
    const bool english = isEnglishTab(t);
    if (english)
        lists.soundNumbers.reserve(count);
    int baseCounter = 0;
    for (size_t i = 0; i < count; ++i) {
        const auto *record
            = reinterpret_cast<const TWordRecord *>(lists.indexBuffer.get() + i * kRecordSize);
        lists.entries.push_back(record);
        if (english) {
            if (record->isBase())
                lists.soundNumbers.push_back(std::to_string(++baseCounter));
            else
                lists.soundNumbers.emplace_back("0");
        }
    }
    return Status::success();
}

Status DictionaryIndex::loadAll(const std::string &programFolder,
                                const std::function<void()> &afterFile)
{
    for (int t = 0; t < kTabCount; ++t) {
        Status st = loadTab(programFolder, t);
        if (!st.ok())
            return st;
        if (afterFile)
            afterFile();
    }
    return Status::success();
}

void DictionaryIndex::insertUserEntry(int t, size_t position, const TWordRecord &record)
{
    TabLists &lists = tab(t);
    lists.created = true;
    if (position > lists.entries.size())
        position = lists.entries.size();
    lists.addedRecords.push_back(std::make_unique<TWordRecord>(record));
    const TWordRecord *kept = lists.addedRecords.back().get();
    lists.entries.insert(lists.entries.begin() + static_cast<std::ptrdiff_t>(position), kept);
    if (isEnglishTab(t))
        lists.soundNumbers.insert(
            lists.soundNumbers.begin() + static_cast<std::ptrdiff_t>(position), "0");
}

const std::string &SplashProgress::advance()
{
    ++m_counter;
    if (m_counter > 6) {
        m_counter = 0;
        m_label.clear();
    } else {
        m_label += '.';
    }
    return m_label;
}

} // namespace zarel
