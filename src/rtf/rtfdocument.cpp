// RtfDocument helpers: the plain text of a document.
#include "rtf/rtfdocument.h"

namespace zarel::rtf {

std::string plainText(const Document &doc)
{
    std::string out;
    for (std::size_t i = 0; i < doc.paragraphs.size(); ++i) {
        if (i > 0)
            out += '\n';
        for (const Run &run : doc.paragraphs[i].runs)
            out += run.text;
    }
    return out;
}

} // namespace zarel::rtf
