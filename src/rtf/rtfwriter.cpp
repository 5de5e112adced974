// RTF writer: a font table and colour table built from the runs, then one \pard paragraph
// per Paragraph whose runs switch only the character properties that change.
#include "rtf/rtfwriter.h"

#include "dictionary/codepage1254.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zarel::rtf {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

class Writer
{
public:
    explicit Writer(std::string &out)
        : m_out(out)
    { }

    // A control word; a space goes before any literal text that follows it.
    void word(std::string_view name, std::optional<long long> param = std::nullopt)
    {
        m_out += '\\';
        m_out += name;
        if (param)
            m_out += std::to_string(*param);
        m_delimit = true;
    }

    // UTF-8 text of a run, escaped; tab and newline become \tab and \line.
    void text(std::string_view utf8) { escaped(utf8, false); }

    // A font name, escaped; its ';' is written as \'3b because a bare ';' ends the name.
    void fontName(std::string_view utf8) { escaped(utf8, true); }

private:
    void escaped(std::string_view utf8, bool fontName)
    {
        const bool breaks = !fontName;
        std::size_t pos = 0;
        while (pos < utf8.size()) {
            const char32_t c = nextUtf8(utf8, pos);
            if (breaks && c == U'\t') {
                word("tab");
            } else if (breaks && c == U'\n') {
                word("line");
            } else if (c == U'\\' || c == U'{' || c == U'}') {
                m_out += '\\';
                m_out += static_cast<char>(c);
                m_delimit = false;
            } else if (c >= 0x20 && c < 0x7F && !(fontName && c == U';')) {
                if (m_delimit)
                    m_out += ' ';
                m_out += static_cast<char>(c);
                m_delimit = false;
            } else if (const int byte = cp1254::fromUnicode(c); byte >= 0) {
                hexByte(static_cast<unsigned char>(byte));
            } else if (c > 0xFFFF) {
                const char32_t v = c - 0x10000;
                unicode(0xD800 + (v >> 10));
                unicode(0xDC00 + (v & 0x3FF));
            } else {
                unicode(c);
            }
        }
    }

    void hexByte(unsigned char byte)
    {
        m_out += "\\'";
        m_out += kHexDigits[byte >> 4];
        m_out += kHexDigits[byte & 0x0F];
        m_delimit = false;
    }

    // \uN with N as a signed 16-bit number, then the "?" that older readers show instead.
    void unicode(char32_t unit)
    {
        m_out += "\\u";
        m_out += std::to_string(static_cast<int16_t>(static_cast<uint16_t>(unit)));
        m_out += '?';
        m_delimit = false;
    }

    std::string &m_out;
    bool m_delimit = false;
};

// What \f, \fs, \b, \i, \ul and \cf are set to at a point of the output.
struct WrittenFormat
{
    int font = 0;
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int color = 0;
};

bool hasText(const Paragraph &paragraph)
{
    return std::any_of(paragraph.runs.begin(), paragraph.runs.end(),
                       [](const Run &run) { return !run.text.empty(); });
}

} // namespace

std::string write(const Document &doc, const std::string &defaultFont)
{
    // Font 0 is the default font; every named font gets its own entry, even one that
    // shares the default's name, so that it reads back named rather than empty.
    std::vector<std::string> fonts { doc.defaultFontName.empty() ? defaultFont
                                                                 : doc.defaultFontName };
    std::map<std::string, int> fontIndex;
    std::vector<uint32_t> colors;
    std::map<uint32_t, int> colorIndex;
    for (const Paragraph &paragraph : doc.paragraphs) {
        for (const Run &run : paragraph.runs) {
            if (run.text.empty())
                continue;
            const CharFormat &f = run.format;
            if (!f.fontName.empty() && !fontIndex.contains(f.fontName)) {
                fontIndex.emplace(f.fontName, static_cast<int>(fonts.size()));
                fonts.push_back(f.fontName);
            }
            const uint32_t color = f.color & 0xFFFFFFu;
            if (f.hasColor && !colorIndex.contains(color)) {
                colors.push_back(color);
                colorIndex.emplace(color, static_cast<int>(colors.size()));
            }
        }
    }

    std::string out;
    Writer w(out);
    out += "{";
    w.word("rtf", 1);
    w.word("ansi");
    w.word("ansicpg", 1254);
    w.word("deff", 0);
    w.word("uc", 1);
    out += "{";
    w.word("fonttbl");
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        out += "{";
        w.word("f", static_cast<long long>(i));
        w.word("fnil");
        w.word("fcharset", 162);
        w.fontName(fonts[i]);
        out += ";}";
    }
    out += "}";
    if (!colors.empty()) {
        out += "{";
        w.word("colortbl");
        out += ";";
        for (const uint32_t color : colors) {
            w.word("red", (color >> 16) & 0xFF);
            w.word("green", (color >> 8) & 0xFF);
            w.word("blue", color & 0xFF);
            out += ";";
        }
        out += "}";
    }
    out += "\n";

    WrittenFormat current;
    for (std::size_t p = 0; p < doc.paragraphs.size(); ++p) {
        const Paragraph &paragraph = doc.paragraphs[p];
        if (p > 0) {
            w.word("par");
            out += "\n";
        }
        w.word("pard");
        switch (paragraph.alignment) {
        case Alignment::Center:
            w.word("qc");
            break;
        case Alignment::Right:
            w.word("qr");
            break;
        case Alignment::Justify:
            w.word("qj");
            break;
        case Alignment::Left:
            break;
        }
        for (const Run &run : paragraph.runs) {
            if (run.text.empty())
                continue;
            const CharFormat &f = run.format;
            WrittenFormat next;
            next.font = f.fontName.empty() ? 0 : fontIndex.at(f.fontName);
            next.halfPoints = std::clamp(f.halfPoints, 1, kMaxHalfPoints);
            next.bold = f.bold;
            next.italic = f.italic;
            next.underline = f.underline;
            next.color = f.hasColor ? colorIndex.at(f.color & 0xFFFFFFu) : 0;
            if (next.font != current.font)
                w.word("f", next.font);
            if (next.halfPoints != current.halfPoints)
                w.word("fs", next.halfPoints);
            if (next.bold != current.bold)
                w.word("b", next.bold ? std::nullopt : std::optional<long long>(0));
            if (next.italic != current.italic)
                w.word("i", next.italic ? std::nullopt : std::optional<long long>(0));
            if (next.underline != current.underline)
                w.word(next.underline ? "ul" : "ulnone");
            if (next.color != current.color)
                w.word("cf", next.color);
            current = next;
            w.text(run.text);
        }
    }
    // A final paragraph without text would vanish on reading (a trailing \par adds no
    // paragraph), so it is closed with a \par of its own.
    if (!doc.paragraphs.empty() && !hasText(doc.paragraphs.back()))
        w.word("par");
    out += "}";
    return out;
}

} // namespace zarel::rtf
