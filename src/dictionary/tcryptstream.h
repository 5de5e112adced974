// TCryptStream: the stream over one article file that limits reading to one article and
// descrambles base articles; readArticle() is the one operation every article reader uses.
#pragma once

#include "dictionary/tstream.h"
#include "dictionary/twordrecord.h"
#include "platform/result.h"

#include <string>

namespace zarel {

// Descrambling of a base-article byte and its inverse, for producing base article files.
inline unsigned char descrambleByte(unsigned char stored)
{
    return static_cast<unsigned char>(static_cast<unsigned char>(stored - 0x37) ^ 0x6B);
}
inline unsigned char scrambleByte(unsigned char plain)
{
    return static_cast<unsigned char>(static_cast<unsigned char>(plain ^ 0x6B) + 0x37);
}
void scrambleInPlace(std::string &bytes);

class TCryptStream : public TStream
{
public:
    // Opens `path`: mode 0 through the LZ file layer for reading, a positive mode as a plain
    // file (1 = write only, 2 = read and write, anything else read only). A missing file is
    // created empty and opened again; when that fails too, the handle stays invalid and every
    // operation reads or writes nothing.
    TCryptStream(const std::string &path, int mode, bool scrambled);
    ~TCryptStream() override;
    TCryptStream(const TCryptStream &) = delete;
    TCryptStream &operator=(const TCryptStream &) = delete;

    void setSize(int64_t size) override; // plain mode only; a failure is ignored
    int read(void *buffer, int count) override;
    int write(const void *buffer, int count) override; // appends, never scrambles
    int64_t seek(int64_t offset, int origin) override;

    int handle() const { return m_handle; }
    int mode() const { return m_mode; }
    bool scrambled() const { return m_scrambled; }
    int32_t remaining() const { return m_remaining; }
    void setRemaining(int32_t remaining) { m_remaining = remaining; }

private:
    int m_handle = -1;
    int m_mode = 0;
    bool m_scrambled = false;
    int32_t m_remaining = 0;
};

// Read an article: the bytes of record `r` of `tab` from its base (descrambled) or user
// article file under `programFolder`. A missing article file is created empty and yields an
// empty article; a negative offset or size yields an empty article; a range past the end of
// the file yields what exists.
std::string readArticle(const std::string &programFolder, int tab, const TWordRecord &r);

// The same read through a stream the caller keeps open over the right article file, for
// readers of many articles of one file.
std::string readArticle(TCryptStream &stream, const TWordRecord &r);

} // namespace zarel
