// Search keys of copied text: the English key, the Turkish byte conversion and its tab.
#include "dictionary/clipboardkeys.h"

#include <gtest/gtest.h>

using namespace zarel;

TEST(ClipboardKeys, EnglishKeyKeepsBlanksAndIsBounded)
{
    EXPECT_EQ(skipLeadingBlanks(u"   run away"), u"run away");
    EXPECT_EQ(englishClipboardKey(u"run away\nnow"), "run away\nnow");
    EXPECT_EQ(englishClipboardKey(u"ağaç ə"),
              "a\xF0"
              "a\xE7 ?");
    EXPECT_EQ(englishClipboardKey(std::u16string(5'000'000, u'x')).size(), kMaxEnglishKey);
}

TEST(ClipboardKeys, TurkishConversion)
{
    const struct
    {
        std::u16string text;
        std::string key;
    } cases[] = {
        { u"şeker pancarı",
          "\xFE"
          "ekerpancar\xFD" },
        { u"ÖÇŞİÜĞ öçşıüğ", "\xD6\xC7\xDE\xDD\xDC\xD0\xF6\xE7\xFE\xFD\xFC\xF0" },
        { u"a b c", "abc" },
        { u"é", "\xC3\xA9" }, // not a Turkish letter: its UTF-8 bytes stay
        { u"§", "\xC2" }, // C2 A7: the A7 is one of the dropped bytes
        { u"123 elma", "123elma" },
        { std::u16string(100, u'a'), std::string(62, 'a') },
        { std::u16string(100, u'ş'), std::string(62, '\xFE') },
        // Blanks do not count towards the early stop of the walk over a long text.
        { u"a" + std::u16string(300, u' ') + u"b", "ab" },
        { u"", "" },
    };
    for (const auto &c : cases)
        EXPECT_EQ(turkishClipboardKey(c.text), c.key);
}

TEST(ClipboardKeys, TurkishTabIsSetByTheFirstLetterOfTheTable)
{
    EXPECT_EQ(turkishKeyTab("\xFE"
                            "eker"),
              47);
    EXPECT_EQ(turkishKeyTab("123elma"), 31); // digits are skipped: e decides
    EXPECT_EQ(turkishKeyTab("Irmak"), 35);
    EXPECT_EQ(turkishKeyTab("inek"), 36);
    EXPECT_EQ(turkishKeyTab("q\xF0"
                            "9"),
              -1);
    EXPECT_EQ(turkishKeyTab(""), -1);
}
