// TCryptStream: one article file opened through the LZ layer (or plainly), read within the
// limit `remaining`, base articles descrambled byte by byte.
#include "dictionary/tcryptstream.h"

#include "dictionary/lettertabs.h"
#include "platform/lzfile.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace zarel {

namespace {

int openPlain(const std::string &path, int mode)
{
    int flags = O_RDONLY;
    if (mode == 1)
        flags = O_WRONLY;
    else if (mode == 2)
        flags = O_RDWR;
    return ::open(path.c_str(), flags | O_CLOEXEC);
}

int openWithMode(const std::string &path, int mode)
{
    return mode == 0 ? lz::lzOpenFile(path) : openPlain(path, mode);
}

} // namespace

void scrambleInPlace(std::string &bytes)
{
    for (char &c : bytes)
        c = static_cast<char>(scrambleByte(static_cast<unsigned char>(c)));
}

TCryptStream::TCryptStream(const std::string &path, int mode, bool scrambled)
    : m_mode(mode)
    , m_scrambled(scrambled)
{
    m_handle = openWithMode(path, mode);
    if (m_handle < 0) {
        // A missing article file is created empty on first use, then opened again.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0)
            ::close(fd);
        m_handle = openWithMode(path, mode);
    }
}

TCryptStream::~TCryptStream()
{
    if (m_handle < 0)
        return;
    if (m_mode == 0)
        lz::lzClose(m_handle);
    else
        ::close(m_handle);
}

void TCryptStream::setSize(int64_t size)
{
    if (m_handle < 0 || m_mode == 0 || size < 0)
        return;
    if (::lseek(m_handle, size, SEEK_SET) >= 0)
        (void)!::ftruncate(m_handle, size);
}

int TCryptStream::read(void *buffer, int count)
{
    if (m_handle < 0 || count <= 0 || m_remaining <= 0)
        return 0;
    const int n = count < m_remaining ? count : m_remaining;
    int got = 0;
    if (m_mode == 0) {
        got = lz::lzRead(m_handle, buffer, n);
    } else {
        ssize_t r;
        do {
            r = ::read(m_handle, buffer, static_cast<size_t>(n));
        } while (r < 0 && errno == EINTR);
        got = static_cast<int>(r);
    }
    if (got <= 0)
        return 0;
    if (m_scrambled) {
        auto *p = static_cast<unsigned char *>(buffer);
        for (int i = 0; i < got; ++i)
            p[i] = descrambleByte(p[i]);
    }
    m_remaining -= got;
    return got;
}

int TCryptStream::write(const void *buffer, int count)
{
    if (m_handle < 0 || m_mode == 0 || count <= 0)
        return 0;
    if (::lseek(m_handle, 0, SEEK_END) < 0)
        return 0;
    int done = 0;
    const auto *p = static_cast<const char *>(buffer);
    while (done < count) {
        const ssize_t n = ::write(m_handle, p + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<int>(n);
    }
    return done;
}

int64_t TCryptStream::seek(int64_t offset, int origin)
{
    if (m_handle < 0)
        return -1;
    if (m_mode == 0)
        return lz::lzSeek(m_handle, offset, origin);
    const int whence = origin == 1 ? SEEK_CUR : (origin == 2 ? SEEK_END : SEEK_SET);
    return ::lseek(m_handle, offset, whence);
}

std::string readArticle(const std::string &programFolder, int tab, const TWordRecord &r)
{
    if (!isValidTab(tab))
        return {};
    TCryptStream stream(articlePath(programFolder, tab, r.isBase()), 0, r.isBase());
    return readArticle(stream, r);
}

std::string readArticle(TCryptStream &stream, const TWordRecord &r)
{
    std::string article;
    // A negative offset or size cannot address an article; read nothing.
    if (r.ArticleOffset() < 0 || r.ArticleSize() <= 0)
        return article;
    if (stream.seek(r.ArticleOffset(), 0) != r.ArticleOffset())
        return article;
    stream.setRemaining(r.ArticleSize());
    char buffer[16384];
    for (;;) {
        const int n = stream.read(buffer, sizeof buffer);
        if (n <= 0)
            break;
        article.append(buffer, static_cast<size_t>(n));
    }
    return article;
}

} // namespace zarel
