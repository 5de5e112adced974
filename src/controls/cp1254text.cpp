// Code page 1254 to and from QString through a 256-entry table built once from the core's map.
#include "controls/cp1254text.h"

#include "dictionary/codepage1254.h"

#include <array>

namespace zarel::app {

namespace {

const std::array<QChar, 256> &byteTable()
{
    static const std::array<QChar, 256> table = [] {
        std::array<QChar, 256> t {};
        for (int b = 0; b < 256; ++b)
            t[static_cast<size_t>(b)]
                = QChar(static_cast<char16_t>(cp1254::toUnicode(static_cast<unsigned char>(b))));
        return t;
    }();
    return table;
}

} // namespace

QString fromCp1254(std::string_view bytes)
{
    const auto &table = byteTable();
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes)
        *out++ = table[static_cast<unsigned char>(c)];
    return text;
}

std::string toCp1254(const QString &text, char replacement)
{
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (const QChar c : text) {
        const int b = cp1254::fromUnicode(c.unicode());
        bytes += b < 0 ? replacement : static_cast<char>(b);
    }
    return bytes;
}

} // namespace zarel::app
