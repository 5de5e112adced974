// RTF reader: a single-pass tokenizer over the bytes with an explicit stack of group states
// (no recursion), and the plain-text fallback for bytes that are not RTF.
#include "rtf/rtfreader.h"

#include "dictionary/codepage1254.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace zarel::rtf {

namespace {

// Control words longer than this are not RTF; they are consumed and ignored.
constexpr std::size_t kMaxWordLength = 32;
// Numeric parameters saturate here instead of overflowing.
constexpr long long kMaxParam = 2'000'000'000;
// \ucN beyond this is nonsense; the cap keeps a hostile value from swallowing the text.
constexpr int kMaxUnicodeSkip = 16;
constexpr int kDefaultHalfPoints = 24;

enum class Destination { Text, FontTable, ColorTable, Skip };

// The state a group inherits from its parent and restores when it closes.
struct State
{
    Destination destination = Destination::Text;
    int font = -1; // -1: the default font
    CharFormat format; // fontName already resolved from `font`
    Alignment alignment = Alignment::Left;
    int unicodeSkip = 1; // \ucN: fallback characters that follow each \uN
};

enum class Word {
    Bin,
    Deff,
    FontTable,
    ColorTable,
    SkipDestination,
    Font,
    FontSize,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Color,
    Plain,
    Pard,
    Par,
    Line,
    Tab,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    Unicode,
    UnicodeSkip,
    Red,
    Green,
    Blue,
    Character, // a control word that stands for one character
};

struct WordInfo
{
    Word word;
    char32_t character = 0; // for Word::Character
};

const std::unordered_map<std::string_view, WordInfo> &wordTable()
{
    static const std::unordered_map<std::string_view, WordInfo> table = {
        { "bin", { Word::Bin } },
        { "deff", { Word::Deff } },
        { "fonttbl", { Word::FontTable } },
        { "colortbl", { Word::ColorTable } },
        // Destinations whose content is not document text.
        { "annotation", { Word::SkipDestination } },
        { "atnauthor", { Word::SkipDestination } },
        { "atnid", { Word::SkipDestination } },
        { "author", { Word::SkipDestination } },
        { "bkmkend", { Word::SkipDestination } },
        { "bkmkstart", { Word::SkipDestination } },
        { "buptim", { Word::SkipDestination } },
        { "colorschememapping", { Word::SkipDestination } },
        { "comment", { Word::SkipDestination } },
        { "company", { Word::SkipDestination } },
        { "creatim", { Word::SkipDestination } },
        { "datastore", { Word::SkipDestination } },
        { "doccomm", { Word::SkipDestination } },
        { "docvar", { Word::SkipDestination } },
        { "fldinst", { Word::SkipDestination } },
        { "filetbl", { Word::SkipDestination } },
        { "footer", { Word::SkipDestination } },
        { "footerf", { Word::SkipDestination } },
        { "footerl", { Word::SkipDestination } },
        { "footerr", { Word::SkipDestination } },
        { "footnote", { Word::SkipDestination } },
        { "generator", { Word::SkipDestination } },
        { "header", { Word::SkipDestination } },
        { "headerf", { Word::SkipDestination } },
        { "headerl", { Word::SkipDestination } },
        { "headerr", { Word::SkipDestination } },
        { "info", { Word::SkipDestination } },
        { "keywords", { Word::SkipDestination } },
        { "latentstyles", { Word::SkipDestination } },
        { "listoverridetable", { Word::SkipDestination } },
        { "listtable", { Word::SkipDestination } },
        { "nonshppict", { Word::SkipDestination } },
        { "object", { Word::SkipDestination } },
        { "operator", { Word::SkipDestination } },
        { "pgdsctbl", { Word::SkipDestination } },
        { "pict", { Word::SkipDestination } },
        { "printim", { Word::SkipDestination } },
        { "revtbl", { Word::SkipDestination } },
        { "revtim", { Word::SkipDestination } },
        { "rsidtbl", { Word::SkipDestination } },
        { "stylesheet", { Word::SkipDestination } },
        { "subject", { Word::SkipDestination } },
        { "template", { Word::SkipDestination } },
        { "themedata", { Word::SkipDestination } },
        { "title", { Word::SkipDestination } },
        { "userprops", { Word::SkipDestination } },
        { "xmlnstbl", { Word::SkipDestination } },
        { "f", { Word::Font } },
        { "fs", { Word::FontSize } },
        { "b", { Word::Bold } },
        { "i", { Word::Italic } },
        { "ul", { Word::Underline } },
        { "uld", { Word::Underline } },
        { "uldash", { Word::Underline } },
        { "uldb", { Word::Underline } },
        { "ulth", { Word::Underline } },
        { "ulw", { Word::Underline } },
        { "ulwave", { Word::Underline } },
        { "ulnone", { Word::UnderlineNone } },
        { "cf", { Word::Color } },
        { "plain", { Word::Plain } },
        { "pard", { Word::Pard } },
        { "par", { Word::Par } },
        { "row", { Word::Par } },
        { "line", { Word::Line } },
        { "tab", { Word::Tab } },
        { "cell", { Word::Tab } },
        { "ql", { Word::AlignLeft } },
        { "qc", { Word::AlignCenter } },
        { "qr", { Word::AlignRight } },
        { "qj", { Word::AlignJustify } },
        { "qd", { Word::AlignJustify } },
        { "u", { Word::Unicode } },
        { "uc", { Word::UnicodeSkip } },
        { "red", { Word::Red } },
        { "green", { Word::Green } },
        { "blue", { Word::Blue } },
        { "emdash", { Word::Character, 0x2014 } },
        { "endash", { Word::Character, 0x2013 } },
        { "emspace", { Word::Character, 0x2003 } },
        { "enspace", { Word::Character, 0x2002 } },
        { "bullet", { Word::Character, 0x2022 } },
        { "lquote", { Word::Character, 0x2018 } },
        { "rquote", { Word::Character, 0x2019 } },
        { "ldblquote", { Word::Character, 0x201C } },
        { "rdblquote", { Word::Character, 0x201D } },
    };
    return table;
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string trimmed(const std::string &s)
{
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

class Parser
{
public:
    explicit Parser(std::string_view in)
        : m_in(in)
    {
        m_stack.emplace_back();
    }

    Document run();

private:
    State &state() { return m_stack.back(); }
    bool skipping() const
    {
        return m_overflowDepth > 0 || m_stack.back().destination == Destination::Skip;
    }

    void openGroup();
    void closeGroup();
    void readControl();
    void controlWord(std::string_view name, bool hasParam, long long param);
    void controlSymbol(char symbol);
    void textByte(unsigned char byte, bool literal);
    void unicodeChar(long long value);
    void emit(char32_t c);
    void appendText(char32_t c);
    void endParagraph();
    void commitFont();
    void selectFont(int index);
    // True when the pending \uN fallback swallows the current character.
    bool consumeFallback();

    std::string_view m_in;
    std::size_t m_pos = 0;
    std::vector<State> m_stack; // [0]: the state outside every group
    long long m_overflowDepth = 0; // open groups beyond kMaxGroupDepth
    int m_fallbackLeft = 0; // \uN fallback characters still to skip
    bool m_groupStart = false; // nothing but '{' read since the group opened
    char32_t m_highSurrogate = 0;

    int m_defaultFont = 0;
    std::map<int, std::string> m_fonts;
    int m_fontEntry = -1; // the \fN being defined in the font table
    std::string m_fontName; // its name so far (UTF-8)
    bool m_fontCommitted = true;

    std::vector<std::optional<uint32_t>> m_colors; // nullopt: "auto"
    uint32_t m_colorValue = 0;
    bool m_colorSet = false;

    Document m_doc;
    Paragraph m_paragraph;
    Alignment m_textAlignment = Alignment::Left; // where the paragraph's last text went
};

Document Parser::run()
{
    while (m_pos < m_in.size()) {
        const char c = m_in[m_pos++];
        switch (c) {
        case '{':
            openGroup();
            break;
        case '}':
            closeGroup();
            break;
        case '\\':
            readControl();
            break;
        case '\r':
        case '\n':
            break;
        default:
            m_groupStart = false;
            textByte(static_cast<unsigned char>(c), true);
            break;
        }
    }
    commitFont();
    if (!m_paragraph.runs.empty()) {
        m_paragraph.alignment = m_textAlignment;
        m_doc.paragraphs.push_back(std::move(m_paragraph));
    }
    if (const auto it = m_fonts.find(m_defaultFont); it != m_fonts.end())
        m_doc.defaultFontName = it->second;
    return std::move(m_doc);
}

void Parser::openGroup()
{
    m_fallbackLeft = 0;
    m_groupStart = true;
    if (m_overflowDepth > 0 || m_stack.size() > static_cast<std::size_t>(kMaxGroupDepth))
        ++m_overflowDepth;
    else
        m_stack.push_back(m_stack.back());
}

void Parser::closeGroup()
{
    m_fallbackLeft = 0;
    m_groupStart = false;
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return;
    }
    if (m_stack.size() <= 1)
        return; // a stray '}'
    if (state().destination == Destination::FontTable)
        commitFont();
    m_stack.pop_back();
}

void Parser::readControl()
{
    if (m_pos >= m_in.size())
        return; // a lone '\' at the end
    if (!isLetter(m_in[m_pos])) {
        controlSymbol(m_in[m_pos++]);
        return;
    }
    const std::size_t start = m_pos;
    while (m_pos < m_in.size() && isLetter(m_in[m_pos]))
        ++m_pos;
    std::string_view name = m_in.substr(start, m_pos - start);
    if (name.size() > kMaxWordLength)
        name = {};
    bool negative = false;
    if (m_pos + 1 < m_in.size() && m_in[m_pos] == '-' && isDigit(m_in[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    bool hasParam = false;
    long long value = 0;
    while (m_pos < m_in.size() && isDigit(m_in[m_pos])) {
        hasParam = true;
        value = std::min(value * 10 + (m_in[m_pos] - '0'), kMaxParam);
        ++m_pos;
    }
    if (m_pos < m_in.size() && m_in[m_pos] == ' ')
        ++m_pos;
    controlWord(name, hasParam, negative ? -value : value);
}

void Parser::controlWord(std::string_view name, bool hasParam, long long param)
{
    const bool groupStart = m_groupStart;
    m_groupStart = false;
    const auto &table = wordTable();
    const auto it = table.find(name);
    if (it == table.end()) {
        consumeFallback();
        return;
    }
    const WordInfo info = it->second;

    if (info.word == Word::Bin) {
        // Binary data: skip it whole so that its bytes are not read as braces or text.
        const auto count = static_cast<std::size_t>(std::max(0LL, param));
        m_pos += std::min(count, m_in.size() - m_pos);
        return;
    }
    if (skipping() || consumeFallback())
        return;

    State &s = state();
    // A destination word owns its group only when it opens it; elsewhere it is a stray word,
    // and switching the group there would swallow the rest of the text.
    const bool ownsGroup = groupStart && m_stack.size() > 1;
    switch (info.word) {
    case Word::FontTable:
        if (ownsGroup)
            s.destination = Destination::FontTable;
        return;
    case Word::ColorTable:
        if (ownsGroup) {
            s.destination = Destination::ColorTable;
            m_colorSet = false;
        }
        return;
    case Word::SkipDestination:
        if (ownsGroup)
            s.destination = Destination::Skip;
        return;
    default:
        break;
    }

    if (s.destination == Destination::FontTable) {
        if (info.word == Word::Font) {
            commitFont();
            m_fontEntry = static_cast<int>(std::clamp(param, -kMaxParam, kMaxParam));
            m_fontName.clear();
            m_fontCommitted = false;
        } else if (info.word == Word::Unicode && hasParam) {
            unicodeChar(param);
        } else if (info.word == Word::UnicodeSkip) {
            s.unicodeSkip = static_cast<int>(std::clamp<long long>(param, 0, kMaxUnicodeSkip));
        }
        return;
    }
    if (s.destination == Destination::ColorTable) {
        const auto component = static_cast<uint32_t>(std::clamp<long long>(param, 0, 255));
        if (info.word == Word::Red) {
            m_colorValue = (m_colorValue & 0x00FFFFu) | (component << 16);
            m_colorSet = true;
        } else if (info.word == Word::Green) {
            m_colorValue = (m_colorValue & 0xFF00FFu) | (component << 8);
            m_colorSet = true;
        } else if (info.word == Word::Blue) {
            m_colorValue = (m_colorValue & 0xFFFF00u) | component;
            m_colorSet = true;
        }
        return;
    }

    const bool on = !hasParam || param != 0;
    switch (info.word) {
    case Word::Deff:
        m_defaultFont = static_cast<int>(std::clamp(param, -kMaxParam, kMaxParam));
        break;
    case Word::Font:
        selectFont(static_cast<int>(std::clamp(param, -kMaxParam, kMaxParam)));
        break;
    case Word::FontSize:
        s.format.halfPoints = hasParam
            ? static_cast<int>(std::clamp<long long>(param, 1, kMaxHalfPoints))
            : kDefaultHalfPoints;
        break;
    case Word::Bold:
        s.format.bold = on;
        break;
    case Word::Italic:
        s.format.italic = on;
        break;
    case Word::Underline:
        s.format.underline = on;
        break;
    case Word::UnderlineNone:
        s.format.underline = false;
        break;
    case Word::Color: {
        const std::optional<uint32_t> color = (param >= 0 && param < std::ssize(m_colors))
            ? m_colors[static_cast<std::size_t>(param)]
            : std::nullopt;
        s.format.hasColor = color.has_value();
        s.format.color = color.value_or(0);
        break;
    }
    case Word::Plain:
        s.format = CharFormat {};
        s.font = -1;
        break;
    case Word::Pard:
        s.alignment = Alignment::Left;
        break;
    case Word::Par:
        endParagraph();
        break;
    case Word::Line:
        emit(U'\n');
        break;
    case Word::Tab:
        emit(U'\t');
        break;
    case Word::AlignLeft:
        s.alignment = Alignment::Left;
        break;
    case Word::AlignCenter:
        s.alignment = Alignment::Center;
        break;
    case Word::AlignRight:
        s.alignment = Alignment::Right;
        break;
    case Word::AlignJustify:
        s.alignment = Alignment::Justify;
        break;
    case Word::Unicode:
        if (hasParam)
            unicodeChar(param);
        break;
    case Word::UnicodeSkip:
        s.unicodeSkip = static_cast<int>(std::clamp<long long>(param, 0, kMaxUnicodeSkip));
        break;
    case Word::Character:
        emit(info.character);
        break;
    default:
        break;
    }
}

void Parser::controlSymbol(char symbol)
{
    const bool groupStart = m_groupStart;
    m_groupStart = false;
    switch (symbol) {
    case '\'': {
        // \'hh: both digits must be there; a truncated escape is dropped.
        if (m_pos >= m_in.size() || hexValue(m_in[m_pos]) < 0)
            return;
        const int high = hexValue(m_in[m_pos++]);
        if (m_pos >= m_in.size() || hexValue(m_in[m_pos]) < 0)
            return;
        const int low = hexValue(m_in[m_pos++]);
        textByte(static_cast<unsigned char>(high * 16 + low), false);
        return;
    }
    case '\\':
    case '{':
    case '}':
        textByte(static_cast<unsigned char>(symbol), false);
        return;
    case '*':
        // \* marks a destination this reader may ignore; it is one only at a group's start.
        if (groupStart && m_overflowDepth == 0 && m_stack.size() > 1)
            state().destination = Destination::Skip;
        return;
    default:
        break;
    }
    if (skipping() || consumeFallback())
        return;
    switch (symbol) {
    case '~':
        emit(0x00A0);
        break;
    case '_':
        emit(U'-');
        break;
    case '\r':
    case '\n':
        if (state().destination == Destination::Text)
            endParagraph();
        break;
    default:
        break; // \- (optional hyphen), \| \: and unknown symbols
    }
}

bool Parser::consumeFallback()
{
    if (m_fallbackLeft <= 0)
        return false;
    --m_fallbackLeft;
    return true;
}

// A byte of text: `literal` when it stood in the source as itself, not as \'hh or \{.
void Parser::textByte(unsigned char byte, bool literal)
{
    if (skipping())
        return;
    if (literal && byte < 0x20 && byte != '\t')
        return; // NUL and other control bytes are not RTF text
    if (consumeFallback())
        return;
    State &s = state();
    if (s.destination == Destination::ColorTable) {
        if (literal && byte == ';') {
            m_colors.push_back(m_colorSet ? std::optional<uint32_t>(m_colorValue) : std::nullopt);
            m_colorValue = 0;
            m_colorSet = false;
        }
        return;
    }
    if (s.destination == Destination::FontTable && literal && byte == ';') {
        commitFont();
        return;
    }
    // Every font's text is read as code page 1254, the one code page this program knows;
    // for \fcharset0 (ANSI) that is exact for ASCII, for other charsets a best effort.
    emit(cp1254::toUnicode(byte));
}

void Parser::unicodeChar(long long value)
{
    if (value < 0)
        value += 65536;
    m_fallbackLeft = state().unicodeSkip;
    if (value >= 0xD800 && value <= 0xDBFF) {
        m_highSurrogate = static_cast<char32_t>(value);
        return;
    }
    if (value >= 0xDC00 && value <= 0xDFFF) {
        if (m_highSurrogate != 0) {
            const char32_t high = m_highSurrogate;
            m_highSurrogate = 0;
            emit(0x10000 + ((high - 0xD800) << 10) + (static_cast<char32_t>(value) - 0xDC00));
        } else {
            emit(0xFFFD);
        }
        return;
    }
    emit(value < 0 || value > 0x10FFFF ? 0xFFFD : static_cast<char32_t>(value));
}

// A character for the current destination.
void Parser::emit(char32_t c)
{
    if (m_highSurrogate != 0) {
        m_highSurrogate = 0; // a high surrogate without its low half
        emit(0xFFFD);
    }
    if (c == 0)
        return;
    switch (state().destination) {
    case Destination::Text:
        appendText(c);
        break;
    case Destination::FontTable:
        if (!m_fontCommitted)
            appendUtf8(m_fontName, c);
        break;
    default:
        break;
    }
}

void Parser::appendText(char32_t c)
{
    const State &s = state();
    if (m_paragraph.runs.empty() || !(m_paragraph.runs.back().format == s.format))
        m_paragraph.runs.push_back(Run { {}, s.format });
    appendUtf8(m_paragraph.runs.back().text, c);
    m_textAlignment = s.alignment;
}

void Parser::endParagraph()
{
    m_paragraph.alignment = state().alignment;
    m_doc.paragraphs.push_back(std::move(m_paragraph));
    m_paragraph = Paragraph {};
}

void Parser::commitFont()
{
    if (m_fontCommitted)
        return;
    m_fontCommitted = true;
    m_fonts[m_fontEntry] = trimmed(m_fontName);
}

void Parser::selectFont(int index)
{
    State &s = state();
    s.font = index;
    const auto it = m_fonts.find(index);
    s.format.fontName
        = (index == m_defaultFont || it == m_fonts.end()) ? std::string() : it->second;
}

Document parsePlainText(std::string_view bytes)
{
    Document doc;
    std::string line;
    auto endLine = [&] {
        Paragraph paragraph;
        if (!line.empty())
            paragraph.runs.push_back(Run { std::move(line), CharFormat {} });
        doc.paragraphs.push_back(std::move(paragraph));
        line.clear();
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == '\r' || byte == '\n') {
            if (byte == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            endLine();
        } else if (byte != 0) {
            appendUtf8(line, cp1254::toUnicode(byte));
        }
    }
    if (!line.empty())
        endLine();
    return doc;
}

} // namespace

bool isRtf(std::string_view bytes)
{
    return bytes.starts_with("{\\rtf");
}

Document parse(std::string_view bytes)
{
    if (!isRtf(bytes))
        return parsePlainText(bytes);
    return Parser(bytes).run();
}

} // namespace zarel::rtf
