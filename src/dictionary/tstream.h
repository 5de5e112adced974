// TStream: the abstract byte stream that article readers read from.
#pragma once

#include <cstdint>

namespace zarel {

class TStream
{
public:
    virtual ~TStream() = default;

    // The four overridable operations, in this slot order.
    virtual void setSize(int64_t size) = 0;
    virtual int read(void *buffer, int count) = 0;
    virtual int write(const void *buffer, int count) = 0;
    virtual int64_t seek(int64_t offset, int origin) = 0; // 0 = begin, 1 = current, 2 = end
};

} // namespace zarel
