// Fuzz harness of the RTF reader: any bytes parse to a well-formed document that survives a
// write/read round trip unchanged.
#include "dictionary/codepage1254.h"
#include "fuzzsupport.h"
#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

using namespace zarel::rtf;

bool validUtf8(std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t before = pos;
        const char32_t c = zarel::utf8::next(text, pos);
        // U+FFFD stands for bad bytes; it is valid only where it was really written.
        if (c == 0xFFFD && text.substr(before, pos - before) != "\xEF\xBF\xBD")
            return false;
    }
    return true;
}

// The shape the reader promises: no empty runs, neighbouring runs of differing format, sizes
// within range, UTF-8 text.
void checkDocument(const Document &doc)
{
    ZAREL_FUZZ_CHECK(validUtf8(doc.defaultFontName));
    for (const Paragraph &paragraph : doc.paragraphs) {
        for (std::size_t i = 0; i < paragraph.runs.size(); ++i) {
            const Run &run = paragraph.runs[i];
            ZAREL_FUZZ_CHECK(!run.text.empty());
            ZAREL_FUZZ_CHECK(validUtf8(run.text));
            ZAREL_FUZZ_CHECK(validUtf8(run.format.fontName));
            ZAREL_FUZZ_CHECK(run.format.halfPoints >= 1 && run.format.halfPoints <= kMaxHalfPoints);
            ZAREL_FUZZ_CHECK(!run.format.hasColor || run.format.color <= 0xFFFFFFu);
            if (i > 0)
                ZAREL_FUZZ_CHECK(!(paragraph.runs[i - 1].format == run.format));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    Document doc = parse(bytes);
    checkDocument(doc);
    (void)plainText(doc);

    // What the reader produced, the writer must give back exactly (font 0 being named after the
    // writer's default when the input named none).
    if (doc.defaultFontName.empty())
        doc.defaultFontName = "Times New Roman";
    const std::string written = write(doc);
    for (const char c : written)
        ZAREL_FUZZ_CHECK(static_cast<unsigned char>(c) < 0x80);
    const Document reread = parse(written);
    ZAREL_FUZZ_CHECK(reread == doc);
    return 0;
}
