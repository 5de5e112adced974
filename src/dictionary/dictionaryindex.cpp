// Index loading: each ".dak" file read in one block; the per-tab lists point into the block.
#include "dictionary/dictionaryindex.h"

#include "platform/fileutil.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <utility>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zarel {

namespace {

// Mapped index files, for the bus-error handler below. A slot's start is non-zero while it
// names a mapping; the handler only reads the slots.
struct GuardedRange
{
    std::atomic<uintptr_t> start { 0 };
    std::atomic<size_t> length { 0 };
};
constexpr size_t kGuardedRanges = 4 * kTabCount;
std::array<GuardedRange, kGuardedRanges> g_guarded;
struct sigaction g_previousBusHandler;
long g_pageSize = 4096;

// A read from a mapped index file whose end was cut off in place raises SIGBUS. The page is
// replaced by a zero-filled one, so the read is repeated and gives zero bytes; a bus error
// anywhere else goes to the handler that was there before (by default, the end of the program).
void onBusError(int signal, siginfo_t *info, void *context)
{
    const auto address = reinterpret_cast<uintptr_t>(info->si_addr);
    for (const GuardedRange &range : g_guarded) {
        const uintptr_t start = range.start.load(std::memory_order_acquire);
        const size_t length = range.length.load(std::memory_order_acquire);
        if (start == 0 || address < start || address - start >= length)
            continue;
        void *page = reinterpret_cast<void *>(address & ~static_cast<uintptr_t>(g_pageSize - 1));
        if (::mmap(page, static_cast<size_t>(g_pageSize), PROT_READ,
                   MAP_PRIVATE | MAP_FIXED | MAP_ANONYMOUS, -1, 0)
            != MAP_FAILED)
            return;
        break;
    }
    if ((g_previousBusHandler.sa_flags & SA_SIGINFO) != 0) {
        if (g_previousBusHandler.sa_sigaction != nullptr) {
            g_previousBusHandler.sa_sigaction(signal, info, context);
            return;
        }
    } else if (g_previousBusHandler.sa_handler != SIG_DFL
               && g_previousBusHandler.sa_handler != SIG_IGN) {
        g_previousBusHandler.sa_handler(signal);
        return;
    }
    // The default action: on return the faulting read runs again and ends the program.
    struct sigaction fallback
    {
    };
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(SIGBUS, &fallback, nullptr);
}

void installBusErrorHandler()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const long page = ::sysconf(_SC_PAGESIZE);
        if (page > 0)
            g_pageSize = page;
        struct sigaction action
        {
        };
        action.sa_sigaction = &onBusError;
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &g_previousBusHandler);
    });
}

// Slots are taken and given back under the lock; the handler reads them without it, so a
// slot's length is set before its start makes it active, and its start cleared first.
std::mutex g_guardLock;

bool guard(const void *start, size_t length)
{
    const std::lock_guard lock(g_guardLock);
    for (GuardedRange &range : g_guarded) {
        if (range.start.load(std::memory_order_relaxed) != 0)
            continue;
        range.length.store(length, std::memory_order_release);
        range.start.store(reinterpret_cast<uintptr_t>(start), std::memory_order_release);
        return true;
    }
    return false;
}

void unguard(const void *start)
{
    const std::lock_guard lock(g_guardLock);
    for (GuardedRange &range : g_guarded) {
        if (range.start.load(std::memory_order_relaxed) == reinterpret_cast<uintptr_t>(start)) {
            range.start.store(0, std::memory_order_release);
            range.length.store(0, std::memory_order_release);
            return;
        }
    }
}

} // namespace

IndexBuffer::IndexBuffer(IndexBuffer &&other) noexcept
{
    *this = std::move(other);
}

IndexBuffer &IndexBuffer::operator=(IndexBuffer &&other) noexcept
{
    if (this != &other) {
        release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_mapped = std::exchange(other.m_mapped, false);
        m_owned = std::move(other.m_owned);
    }
    return *this;
}

IndexBuffer::~IndexBuffer()
{
    release();
}

void IndexBuffer::release()
{
    if (m_mapped) {
        unguard(m_data);
        ::munmap(const_cast<unsigned char *>(m_data), m_size);
    }
    m_data = nullptr;
    m_size = 0;
    m_mapped = false;
    m_owned.reset();
}

Status IndexBuffer::load(const std::string &path)
{
    release();
    int fd = -1;
    size_t expected = 0;
    if (Status opened = openRegularFile(path, fd, expected); !opened.ok())
        return opened;
    if (expected > 0) {
        installBusErrorHandler();
        void *map = ::mmap(nullptr, expected, PROT_READ, MAP_PRIVATE, fd, 0);
        if (map != MAP_FAILED) {
            if (guard(map, expected)) {
                ::close(fd);
                m_data = static_cast<const unsigned char *>(map);
                m_size = expected;
                m_mapped = true;
                return Status::success();
            }
            ::munmap(map, expected);
        }
    }
    // Not mappable (or more mappings than the guard keeps): the contents are read instead.
    m_owned.reset(new unsigned char[expected > 0 ? expected : 1]);
    size_t done = 0;
    const Status read = readUpTo(fd, reinterpret_cast<char *>(m_owned.get()), expected, done, path);
    if (!read.ok()) {
        ::close(fd);
        m_owned.reset();
        return read;
    }
    ::close(fd);
    m_data = m_owned.get();
    m_size = done;
    return Status::success();
}

Status DictionaryIndex::loadTab(const std::string &programFolder, int t)
{
    TabLists &lists = tab(t);
    lists = TabLists {};
    lists.created = true;
    Status st = lists.indexBuffer.load(indexPath(programFolder, t));
    lists.indexSize = lists.indexBuffer.size();
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
