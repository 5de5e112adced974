// Tests of the RTF reader and writer: control words, skipped destinations, the plain-text
// fallback, malformed and random input, and write/read round trips.
#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace zarel::rtf {

// Readable failure messages for documents.
void PrintTo(const Paragraph &p, std::ostream *os)
{
    *os << "{align " << static_cast<int>(p.alignment) << ":";
    for (const Run &r : p.runs) {
        const CharFormat &f = r.format;
        *os << " [\"" << r.text << "\" font=\"" << f.fontName << "\" fs" << f.halfPoints
            << (f.bold ? " b" : "") << (f.italic ? " i" : "") << (f.underline ? " ul" : "");
        if (f.hasColor)
            *os << " #" << std::hex << f.color << std::dec;
        *os << "]";
    }
    *os << "}";
}

void PrintTo(const Document &d, std::ostream *os)
{
    *os << "default font \"" << d.defaultFontName << "\"";
    for (const Paragraph &p : d.paragraphs) {
        *os << "\n  ";
        PrintTo(p, os);
    }
}

namespace {

using namespace std::string_literals;

// A format from flags ("b", "i", "u" in any combination), a size and an optional colour.
CharFormat fmt(std::string_view flags = "", int halfPoints = 24,
               std::optional<uint32_t> color = std::nullopt, std::string font = {})
{
    CharFormat f;
    f.fontName = std::move(font);
    f.halfPoints = halfPoints;
    f.bold = flags.find('b') != std::string_view::npos;
    f.italic = flags.find('i') != std::string_view::npos;
    f.underline = flags.find('u') != std::string_view::npos;
    f.hasColor = color.has_value();
    f.color = color.value_or(0);
    return f;
}

Paragraph para(std::vector<rtf::Run> runs, Alignment alignment = Alignment::Left)
{
    return Paragraph { alignment, std::move(runs) };
}

Document makeDoc(std::vector<Paragraph> paragraphs, std::string defaultFont = {})
{
    Document doc;
    doc.paragraphs = std::move(paragraphs);
    doc.defaultFontName = std::move(defaultFont);
    return doc;
}

// Wraps a body in a header with two fonts (f0 default, f1 Arial) and two colours.
std::string rtf(std::string_view body)
{
    return std::string("{\\rtf1\\ansi\\ansicpg1254\\deff0{\\fonttbl{\\f0\\fnil\\fcharset162 Times "
                       "New Roman;}{\\f1\\fswiss\\fcharset162 Arial;}}{\\colortbl;\\red255\\green0"
                       "\\blue0;\\red0\\green128\\blue255;}\n")
        + std::string(body) + "}";
}

struct ReaderCase
{
    const char *name;
    std::string body;
    std::vector<Paragraph> expected;
};

// CTest lists each case by its name instead of the struct's bytes.
void PrintTo(const ReaderCase &c, std::ostream *out)
{
    *out << c.name;
}

class ReaderTest : public testing::TestWithParam<ReaderCase>
{
};

TEST_P(ReaderTest, ReadsBody)
{
    const Document doc = parse(rtf(GetParam().body));
    EXPECT_EQ(doc.paragraphs, GetParam().expected);
    EXPECT_EQ(doc.defaultFontName, "Times New Roman");
}

const ReaderCase kReaderCases[] = {
    { "Plain", "Hello", { para({ { "Hello", fmt() } }) } },
    { "Bold",
      "a\\b b\\b0 c\\b1 d",
      { para({ { "a", fmt() }, { "b", fmt("b") }, { "c", fmt() }, { "d", fmt("b") } }) } },
    { "Italic", "\\i x\\i0 y", { para({ { "x", fmt("i") }, { "y", fmt() } }) } },
    { "Underline",
      "\\ul x\\ulnone y\\ul z\\ul0 w\\uldb v",
      { para({ { "x", fmt("u") },
               { "y", fmt() },
               { "z", fmt("u") },
               { "w", fmt() },
               { "v", fmt("u") } }) } },
    { "FontSize",
      "\\fs32 big\\fs20 small\\fs x",
      { para({ { "big", fmt("", 32) }, { "small", fmt("", 20) }, { "x", fmt() } }) } },
    { "Font",
      "\\f1 arial\\f0 times\\f7 unknown",
      { para({ { "arial", fmt("", 24, std::nullopt, "Arial") }, { "timesunknown", fmt() } }) } },
    { "Colour",
      "\\cf1 red\\cf2 blue\\cf0 auto\\cf9 none",
      { para({ { "red", fmt("", 24, 0xFF0000) },
               { "blue", fmt("", 24, 0x0080FF) },
               { "autonone", fmt() } }) } },
    { "Plain resets character format",
      "\\b\\i\\ul\\fs30\\cf1\\f1 x\\plain y",
      { para({ { "x", fmt("biu", 30, 0xFF0000, "Arial") }, { "y", fmt() } }) } },
    { "Group restores format",
      "{\\b\\i bold}{\\fs40 {\\ul u}big}plain",
      { para({ { "bold", fmt("bi") },
               { "u", fmt("u", 40) },
               { "big", fmt("", 40) },
               { "plain", fmt() } }) } },
    { "Equal runs merge", "a{\\b}b{\\i0 c}\\b0 d", { para({ { "abcd", fmt() } }) } },
    { "Paragraphs", "one\\par two", { para({ { "one", fmt() } }), para({ { "two", fmt() } }) } },
    { "Empty paragraph kept",
      "one\\par\\par two",
      { para({ { "one", fmt() } }), para({}), para({ { "two", fmt() } }) } },
    { "Trailing par adds no paragraph",
      "one\\par two\\par",
      { para({ { "one", fmt() } }), para({ { "two", fmt() } }) } },
    { "Alignment",
      "\\qc c\\par r\\par\\pard l\\par\\qr r\\par\\qj j\\par\\qc\\ql l",
      { para({ { "c", fmt() } }, Alignment::Center), para({ { "r", fmt() } }, Alignment::Center),
        para({ { "l", fmt() } }), para({ { "r", fmt() } }, Alignment::Right),
        para({ { "j", fmt() } }, Alignment::Justify), para({ { "l", fmt() } }) } },
    { "Alignment of an unterminated last paragraph",
      "{\\qr right}",
      { para({ { "right", fmt() } }, Alignment::Right) } },
    { "Line and tab", "a\\line b\\tab c\td", { para({ { "a\nb\tc\td", fmt() } }) } },
    { "Escaped braces and backslash", "\\\\ \\{x\\}", { para({ { "\\ {x}", fmt() } }) } },
    { "Hex escapes in cp1254",
      "\\'fe\\'f0\\'dd\\'FD\\'e7\\'80",
      { para({ { "şğİıç€", fmt() } }) } },
    { "Raw cp1254 bytes", "\xfe\xf0\xdd", { para({ { "şğİ", fmt() } }) } },
    { "Symbols",
      "a\\~b\\-c\\_d\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote",
      { para({ { "a\u00A0bc-d—–•‘’“”", fmt() } }) } },
    { "CR and LF ignored", "a\r\nb\rc\nd", { para({ { "abcd", fmt() } }) } },
    { "Escaped newline is a paragraph",
      "a\\\nb",
      { para({ { "a", fmt() } }), para({ { "b", fmt() } }) } },
    { "Unicode", "\\u601?\\u8364?\\u-1279?x", { para({ { "ə€ﬁx", fmt() } }) } },
    { "Unicode skip 0", "\\uc0\\u601 x", { para({ { "əx", fmt() } }) } },
    { "Unicode skip 1", "\\uc1\\u601 ab", { para({ { "əb", fmt() } }) } },
    { "Unicode skip 2", "\\uc2\\u601\\'3f\\'3fx\\u351 abc", { para({ { "əxşc", fmt() } }) } },
    { "Unicode fallback is a control word", "\\u601\\tab x", { para({ { "əx", fmt() } }) } },
    { "Unicode skip is scoped to its group",
      "{\\uc2 \\u601 ab}\\u601?c",
      { para({ { "əəc", fmt() } }) } },
    { "Brace ends the fallback", "\\uc3\\u601 a{b}c", { para({ { "əbc", fmt() } }) } },
    { "Surrogate pair", "\\u-10179?\\u-8704?", { para({ { "\U0001F600", fmt() } }) } },
    { "Lone surrogates", "\\u-10179?x\\u-8704?", { para({ { "\uFFFDx\uFFFD", fmt() } }) } },
    { "Field result kept, instruction skipped",
      "{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt {\\ul link}}}",
      { para({ { "link", fmt("u") } }) } },
    { "Unstarred fldinst skipped",
      "{\\field{\\fldinst PAGE}{\\fldrslt 3}}",
      { para({ { "3", fmt() } }) } },
    { "Binary data skipped", "a{\\*\\blip\\bin3 {{{}b\\bin2 }{c", { para({ { "abc", fmt() } }) } },
    { "Destination word inside text is ignored",
      "a \\info b\\fonttbl c\\colortbl d",
      { para({ { "a bcd", fmt() } }) } },
    { "Listtext shown", "{\\listtext \\'95\\tab}item", { para({ { "•\titem", fmt() } }) } },
};

INSTANTIATE_TEST_SUITE_P(ControlWords, ReaderTest, testing::ValuesIn(kReaderCases),
                         [](const auto &info) {
                             std::string name;
                             for (const char c : std::string(info.param.name))
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

TEST(RtfReader, SkipsDestinations)
{
    const char *const destinations[] = {
        "{\\*\\generator Riched20 10.0;}",
        "{\\info{\\title T}{\\author A}}",
        "{\\stylesheet{\\s0 Normal;}{\\s1 Heading;}}",
        "{\\pict\\wmetafile8 0102ff}",
        "{\\*\\shppict{\\pict\\pngblip 89504e47}}{\\nonshppict{\\pict 00}}",
        "{\\header h}",
        "{\\footer f}",
        "{\\object{\\objdata 01}}",
        "{\\*\\themedata 504b}",
        "{\\*\\colorschememapping 3c3f}",
        "{\\*\\latentstyles\\lsdstimax376{\\lsdlockedexcept x}}",
        "{\\*\\listtable{\\list{\\listlevel{\\leveltext \\'02\\'00.;}}}}",
        "{\\*\\listoverridetable{\\listoverride\\ls1}}",
        "{\\*\\rsidtbl \\rsid123}",
        "{\\*\\xmlnstbl {\\xmlns1 http://x}}",
        "{\\*\\unknowndestination text}",
        "{\\*\\bkmkstart mark}",
    };
    for (const char *destination : destinations) {
        SCOPED_TRACE(destination);
        const Document doc = parse(rtf(std::string("A") + destination + "B"));
        EXPECT_EQ(plainText(doc), "AB");
    }
}

TEST(RtfReader, FontTable)
{
    // Entries without braces, names in \'hh, nested \* groups, a missing ';', \deff.
    const Document doc = parse(
        "{\\rtf1\\deff2{\\fonttbl\\f0\\fswiss Arial;\\f1\\froman{\\*\\panose 02020603}T\\'fcrk "
        "Font{\\*\\falt Alt};{\\f2 Courier New}}\\f0 a\\f1 b\\f2 c}");
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    EXPECT_EQ(doc.paragraphs[0].runs,
              (std::vector<rtf::Run> { { "a", fmt("", 24, std::nullopt, "Arial") },
                                       { "b", fmt("", 24, std::nullopt, "Türk Font") },
                                       { "c", fmt() } }));
    EXPECT_EQ(doc.defaultFontName, "Courier New");
}

TEST(RtfReader, WordPadDocument)
{
    const Document doc = parse(
        "{\\rtf1\\ansi\\ansicpg1254\\deff0\\nouicompat\\deflang1055{\\fonttbl{\\f0\\fnil"
        "\\fcharset162 Calibri;}}\r\n{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
        "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang31 Merhaba d\\'fcnya\\par\r\n}\r\n");
    EXPECT_EQ(doc.paragraphs,
              std::vector<Paragraph> { para({ { "Merhaba dünya", fmt("", 22) } }) });
    EXPECT_EQ(doc.defaultFontName, "Calibri");
}

TEST(RtfReader, PlainTextFallback)
{
    const struct
    {
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        { "", {} },
        { "abc", { "abc" } },
        { "a\r\nb\nc\rd", { "a", "b", "c", "d" } },
        { "a\n\nb", { "a", "", "b" } },
        { "a\r\n", { "a" } },
        { "\n", { "" } },
        { "\r\r\n", { "", "" } },
        { "\xfe\xf0\xdd \xfd\xde\xd0", { "şğİ ıŞĞ" } },
        { std::string("a\0b", 3), { "ab" } },
        { "{\\rt", { "{\\rt" } },
        { " {\\rtf1 x}", { " {\\rtf1 x}" } },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_FALSE(isRtf(c.bytes));
        const Document doc = parse(c.bytes);
        ASSERT_EQ(doc.paragraphs.size(), c.lines.size());
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            const Paragraph expected
                = c.lines[i].empty() ? para({}) : para({ { c.lines[i], fmt() } });
            EXPECT_EQ(doc.paragraphs[i], expected);
        }
    }
    EXPECT_TRUE(isRtf("{\\rtf1}"));
    EXPECT_TRUE(parse("{\\rtf1}").paragraphs.empty());
}

TEST(RtfReader, MalformedInput)
{
    const struct
    {
        std::string input;
        std::string text;
    } cases[] = {
        { "{\\rtf1 a}}}b", "ab" },
        { "{\\rtf1 {\\b a", "a" },
        { "{\\rtf1 a\\", "a" },
        { "{\\rtf1 a\\'", "a" },
        { "{\\rtf1 a\\'4", "a" },
        { "{\\rtf1 a\\'4g b}", "ag b" },
        { "{\\rtf1 a\\u", "a" },
        { "{\\rtf1 a\\u}", "a" },
        { "{\\rtf1 a\\u-", "a-" },
        { "{\\rtf1 \\u99999999999999999999?x}", "\uFFFDx" },
        { "{\\rtf1 \\uc99999999999 \\u601 abcdefghijklmnopqrstuvwxyz}", "əqrstuvwxyz" },
        { "{\\rtf1 \\abcdefghijklmnopqrstuvwxyzabcdefghijklmnop x}", "x" },
        { "{\\rtf1 \\bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb7 x}", "x" },
        { "{\\rtf1 \\cf99999999999999999999 \\cf-5 \\f-99999999999999999 x}", "x" },
        { std::string("{\\rtf1 a") + '\0' + "b\\'00c}", "abc" },
        { "{\\rtf1 {\\*}{\\*\\}x}y}", "y" },
        { "{\\rtf1 \\* x}", " x" },
        { "{\\rtf1 \\bin99999999999999999 x}", "" },
        { "{\\rtf1 \\bin-3 x}", "x" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(plainText(parse(c.input)), c.text);
    }
    const Document big = parse("{\\rtf1 \\fs99999999999999999999 x\\fs-5 y\\fs0 z}");
    ASSERT_EQ(big.paragraphs.size(), 1u);
    EXPECT_EQ(big.paragraphs[0].runs,
              (std::vector<rtf::Run> { { "x", fmt("", kMaxHalfPoints) }, { "yz", fmt("", 1) } }));
}

TEST(RtfReader, NestingCap)
{
    // The rtf group is level 1: text at kMaxGroupDepth is kept, one level deeper is skipped,
    // and the groups around still close properly.
    auto nested = [](int levels) {
        return "{\\rtf1 a" + std::string(static_cast<std::size_t>(levels - 1), '{') + "{\\b x}"
            + std::string(static_cast<std::size_t>(levels - 1), '}') + "b}";
    };
    EXPECT_EQ(plainText(parse(nested(kMaxGroupDepth - 1))), "axb");
    EXPECT_EQ(plainText(parse(nested(kMaxGroupDepth))), "ab");
    EXPECT_EQ(plainText(parse(nested(100000))), "ab");
    EXPECT_EQ(plainText(parse("{\\rtf1 a" + std::string(100000, '{') + "x")), "a");
}

// Checks that write() then parse() gives the document back.
void expectRoundTrip(const Document &doc)
{
    const std::string written = write(doc);
    SCOPED_TRACE(written);
    for (const char c : written)
        ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "the RTF is plain ASCII";
    Document expected = doc;
    if (expected.defaultFontName.empty())
        expected.defaultFontName = "Times New Roman";
    EXPECT_EQ(parse(written), expected);
}

TEST(RtfRoundTrip, Documents)
{
    const Document documents[] = {
        makeDoc({}),
        makeDoc({ para({}) }),
        makeDoc(
            { para({}, Alignment::Center), para({ { "x", fmt() } }), para({}, Alignment::Right) }),
        makeDoc({ para({ { "ğ ş ı İ ç ö ü Ğ Ş Ç Ö Ü", fmt() } }) }),
        makeDoc({ para({ { "plain ", fmt() },
                         { "b", fmt("b") },
                         { "i", fmt("i") },
                         { "u", fmt("u") },
                         { "bi", fmt("bi") },
                         { "bu", fmt("bu") },
                         { "iu", fmt("iu") },
                         { "biu", fmt("biu") },
                         { " end", fmt() } }) }),
        makeDoc({ para({ { "red", fmt("", 24, 0xFF0000) },
                         { "auto", fmt() },
                         { "black", fmt("", 24, 0) },
                         { "blue", fmt("b", 24, 0x0000FF) } }),
                  para({ { "red again", fmt("", 24, 0xFF0000) } }) }),
        makeDoc({ para({ { "left", fmt() } }), para({ { "centre", fmt() } }, Alignment::Center),
                  para({}), para({ { "right", fmt() } }, Alignment::Right),
                  para({ { "justified", fmt() } }, Alignment::Justify) }),
        makeDoc({ para({ { "ə € 😀 Ω ﬁ \uFFFF \xc2\x81 ?", fmt() } }) }),
        makeDoc({ para({ { "a\\b{c}d\te\nf;g\r", fmt() },
                         { " leading space", fmt("b") },
                         { "123", fmt("", 20) },
                         { "-5", fmt("", 30) },
                         { "\t", fmt("i") } }) }),
        makeDoc({ para({ { "arial", fmt("", 24, std::nullopt, "Arial") },
                         { "named default", fmt("", 24, std::nullopt, "Times New Roman") },
                         { "default", fmt() },
                         { "odd", fmt("", 24, std::nullopt, "A;b{c}\\d ş") } }) },
                "Courier New"),
        makeDoc({ para({ { "abandon", fmt("b", 28) },
                         { " /", fmt() },
                         { "ə", fmt("b") },
                         { "'bændən/ ", fmt() } }),
                  para({ { "1. ", fmt() }, { "(müz.)", fmt("i") }, { " terk etmek", fmt() } }),
                  para({ { "2. ", fmt() },
                         { "(huk.)", fmt("i", 24, 0x800000) },
                         { " vazgeçmek", fmt() } }) }),
        makeDoc({ para({ { "tiny", fmt("", 1) }, { "huge", fmt("", kMaxHalfPoints) } }) }),
    };
    for (const Document &doc : documents)
        expectRoundTrip(doc);
}

TEST(RtfWriter, Output)
{
    Document doc = makeDoc({ para({ { "ş", fmt() } }) });
    const std::string plain = write(doc);
    EXPECT_TRUE(plain.starts_with("{\\rtf1\\ansi\\ansicpg1254\\deff0"));
    EXPECT_NE(plain.find("{\\fonttbl{\\f0\\fnil\\fcharset162 Times New Roman;}}"),
              std::string::npos);
    EXPECT_EQ(plain.find("colortbl"), std::string::npos);
    EXPECT_NE(write(doc, "Arial").find("{\\f0\\fnil\\fcharset162 Arial;}"), std::string::npos);

    doc.paragraphs[0].runs.push_back({ "r", fmt("", 24, 0xFF8000) });
    EXPECT_NE(write(doc).find("{\\colortbl;\\red255\\green128\\blue0;}"), std::string::npos);

    const struct
    {
        std::string text;
        std::string written;
    } escapes[] = {
        { "ş", "\\'fe" },
        { "€", "\\'80" },
        { "ə", "\\u601?" },
        { "ﬁ", "\\u-1279?" },
        { "😀", "\\u-10179?\\u-8704?" },
        { "{x}", "\\{x\\}" },
        { "a\\b", "a\\\\b" },
        { "a\tb", "a\\tab b" },
        { "a\nb", "a\\line b" },
        { "a;b", "a;b" },
    };
    for (const auto &e : escapes) {
        SCOPED_TRACE(e.text);
        EXPECT_NE(write(makeDoc({ para({ { e.text, fmt() } }) })).find(e.written),
                  std::string::npos);
    }
}

TEST(RtfWriter, AcceptsUnnormalisedInput)
{
    // Empty runs vanish, equal neighbours merge, sizes are clamped, bad UTF-8 becomes U+FFFD.
    const Document doc = makeDoc({ para({ { "", fmt("b") },
                                          { "a", fmt() },
                                          { "b", fmt() },
                                          { "c", fmt("", 0) },
                                          { "\xff", fmt("", 99999) } }) });
    const Document read = parse(write(doc));
    EXPECT_EQ(
        read.paragraphs,
        std::vector<Paragraph> { para(
            { { "ab", fmt() }, { "c", fmt("", 1) }, { "\uFFFD", fmt("", kMaxHalfPoints) } }) });
}

TEST(RtfUtf8, DecodesAndEncodes)
{
    const struct
    {
        std::string bytes;
        std::vector<char32_t> codePoints;
    } cases[] = {
        { "a\xc5\x9f", { U'a', 0x15F } },
        { "\xf0\x9f\x98\x80", { 0x1F600 } },
        { "\xc0\x80", { 0xFFFD, 0xFFFD } }, // overlong
        { "\xed\xa0\x80", { 0xFFFD, 0xFFFD, 0xFFFD } }, // surrogate
        { "\xe2\x82", { 0xFFFD, 0xFFFD } }, // truncated
        { "\xf5\x80\x80\x80", { 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD } }, // above U+10FFFF
    };
    for (const auto &c : cases) {
        std::vector<char32_t> decoded;
        for (std::size_t pos = 0; pos < c.bytes.size();)
            decoded.push_back(nextUtf8(c.bytes, pos));
        EXPECT_EQ(decoded, c.codePoints) << c.bytes;
    }
    std::string out;
    appendUtf8(out, 0xD800);
    appendUtf8(out, 0x110000);
    appendUtf8(out, 0x10FFFF);
    EXPECT_EQ(out, "\uFFFD\uFFFD\U0010FFFF");
    EXPECT_EQ(plainText(makeDoc({ para({ { "a", fmt() }, { "b", fmt("b") } }), para({}),
                                  para({ { "c", fmt() } }) })),
              "ab\n\nc");
}

TEST(RtfReader, RandomInputNeverFailsAndRoundTrips)
{
    // Random and mutated RTF: the reader must return, and whatever it reads must survive a
    // write/read round trip unchanged.
    const std::string sample = rtf(
        "{\\*\\generator x;}\\pard\\qc{\\b\\fs28 abandon}\\plain  "
        "/\\u601?/\\par\\uc2\\u351\\'fe\\'fe"
        "{\\i\\cf1 (m\\'fcz.)}\\tab\\line\\f1 x\\~y\\'dd{\\field{\\*\\fldinst A}{\\fldrslt B}}"
        "{\\pict\\bin2 {}}\\ul\\cf2 z\\par\\par");
    const std::string alphabet = "{}\\'*;-0123456789abcdefuflpqrsx \r\n\t\x00\x80\xfe\xff"s;
    std::mt19937 rng(20240601);
    auto pick
        = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
    for (int iteration = 0; iteration < 3000; ++iteration) {
        std::string input;
        if (iteration % 3 == 0) {
            input = "{\\rtf1 ";
            const std::size_t length = pick(200);
            for (std::size_t i = 0; i < length; ++i)
                input += iteration % 2 ? static_cast<char>(pick(256))
                                       : alphabet[pick(alphabet.size())];
        } else {
            input = sample;
            for (std::size_t edits = 1 + pick(8); edits > 0; --edits) {
                const std::size_t at = 6 + pick(input.size() - 6);
                const char c = alphabet[pick(alphabet.size())];
                switch (pick(3)) {
                case 0:
                    input[at] = c;
                    break;
                case 1:
                    input.insert(at, 1, c);
                    break;
                default:
                    input.erase(at, 1);
                    break;
                }
            }
        }
        Document doc = parse(input);
        if (doc.defaultFontName.empty())
            doc.defaultFontName = "Times New Roman"; // what the writer names font 0 then
        ASSERT_EQ(parse(write(doc)), doc) << "input: " << input;
    }
}

} // namespace
} // namespace zarel::rtf
