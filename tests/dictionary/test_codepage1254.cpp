// Code page 1254: every byte round-trips, the Turkish letters and the case folding rules.
#include "dictionary/codepage1254.h"

#include <gtest/gtest.h>

using namespace zarel::cp1254;

TEST(CodePage1254, EveryByteRoundTripsThroughUnicodeAndUtf8)
{
    for (int b = 0; b < 256; ++b) {
        const char32_t u = toUnicode(static_cast<unsigned char>(b));
        EXPECT_EQ(fromUnicode(u), b) << "byte " << b;
        const std::string one(1, static_cast<char>(b));
        bool lossless = false;
        EXPECT_EQ(fromUtf8(toUtf8(one), '?', &lossless), one) << "byte " << b;
        EXPECT_TRUE(lossless);
    }
}

TEST(CodePage1254, TurkishAndSpecialBytes)
{
    const struct
    {
        unsigned char byte;
        char32_t unicode;
    } cases[] = {
        { 0xC7, U'Ç' }, { 0xE7, U'ç' }, { 0xD0, U'Ğ' }, { 0xF0, U'ğ' },
        { 0xDD, U'İ' }, { 0xFD, U'ı' }, { 0xD6, U'Ö' }, { 0xF6, U'ö' },
        { 0xDE, U'Ş' }, { 0xFE, U'ş' }, { 0xDC, U'Ü' }, { 0xFC, U'ü' },
        { 0x80, U'€' }, { 0x9F, U'Ÿ' }, { 0xE9, U'é' }, { 0x41, U'A' },
    };
    for (const auto &c : cases) {
        EXPECT_EQ(toUnicode(c.byte), c.unicode);
        EXPECT_EQ(fromUnicode(c.unicode), c.byte);
    }
    // Latin-1 letters that code page 1254 replaced by Turkish ones are not expressible.
    EXPECT_EQ(fromUnicode(U'Ð'), -1);
    EXPECT_EQ(fromUnicode(U'ý'), -1);
    EXPECT_EQ(fromUnicode(U'ə'), -1);
    EXPECT_EQ(fromUnicode(0x80), -1); // the code point, not the byte
}

TEST(CodePage1254, Utf8Conversion)
{
    EXPECT_EQ(toUtf8("\xFE\x65\x6B\x65\x72"), "şeker");
    EXPECT_EQ(fromUtf8("ağaç"), "a\xF0\x61\xE7");
    bool lossless = true;
    EXPECT_EQ(fromUtf8("ə-x", '?', &lossless), "?-x");
    EXPECT_FALSE(lossless);
    EXPECT_EQ(fromUtf8("əx", 0), "x");
    // Malformed UTF-8: a lone continuation byte, a truncated sequence at the end.
    EXPECT_EQ(fromUtf8("a\x80z"), "a?z");
    EXPECT_EQ(fromUtf8("ab\xC3"), "ab?");
    EXPECT_EQ(fromUtf8("\xE2\x82"), "??");
}

TEST(CodePage1254, CaseFolding)
{
    const struct
    {
        unsigned char in, out;
    } cases[] = {
        { 'A', 'a' },   { 'Z', 'z' },   { 'a', 'a' },   { 'I', 'i' },
        { 0xC7, 0xE7 }, { 0xD0, 0xF0 }, { 0xD6, 0xF6 }, { 0xDE, 0xFE },
        { 0xDC, 0xFC }, { 0xDD, 0xDD }, // İ matches only itself
        { 0xFD, 0xFD }, // and so does ı
        { 0xC9, 0xC9 }, // other Latin-1 capitals are not folded
        { '1', '1' },
    };
    for (const auto &c : cases)
        EXPECT_EQ(foldCase(c.in), c.out) << int(c.in);
    EXPECT_EQ(asciiUpper('q'), 'Q');
    EXPECT_EQ(asciiUpper(0xE7), 0xE7);
}
