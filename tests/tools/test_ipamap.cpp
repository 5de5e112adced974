// Tests of the transcription alphabet and the IPA mapping table in data/.
#include "zarel-dict/ipamap.h"

#include <gtest/gtest.h>

using namespace zarel;
using namespace zarel::dicttool;

namespace {

TEST(TranscriptionAlphabet, HasFortyEightSymbolsOfWhichTwelveHaveBoldParts)
{
    const auto &symbols = transcriptionSymbols();
    ASSERT_EQ(symbols.size(), 48u);
    int withBold = 0;
    int wholeBold = 0;
    for (const std::string_view s : symbols) {
        const Transcription t = parseMarkup(s);
        ASSERT_FALSE(t.empty()) << s;
        withBold += std::any_of(t.begin(), t.end(), [](const auto &p) { return p.bold; });
        wholeBold += t.size() == 1 && t.front().bold;
    }
    // Six bold symbols (e, ı, o, o:, t, d) and six with a bold ı (eı iı uı auı ayı eyı).
    EXPECT_EQ(wholeBold, 6);
    EXPECT_EQ(withBold, 12);
    EXPECT_EQ(symbols[3], "*e*");
    EXPECT_EQ(symbols[20], "*o:*");
    EXPECT_EQ(symbols[47], "h");
}

TEST(TranscriptionMarkup, ParsesAndWritesBack)
{
    const Transcription t = parseMarkup("ey*ı*");
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0], (TranscriptionPart { "ey", false }));
    EXPECT_EQ(t[1], (TranscriptionPart { "ı", true }));
    EXPECT_EQ(toMarkup(t), "ey*ı*");
    EXPECT_EQ(toPlainText(t), "eyı");
    EXPECT_EQ(toMarkup(parseMarkup("a*b")), "a*b*"); // an unmatched '*' makes the rest bold
    EXPECT_TRUE(parseMarkup("").empty());
}

TEST(IpaTable, BuiltinTableLoads)
{
    IpaMap map;
    const Status st = IpaMap::load(IpaMap::builtinTable(), map);
    ASSERT_TRUE(st.ok()) << st.message;
    EXPECT_GT(map.size(), 60u);
    EXPECT_EQ(IpaMap::builtin().size(), map.size());
}

// Real pronunciations as FreeDict spells them.
TEST(IpaTable, ConvertsKnownWords)
{
    struct Case
    {
        const char *word;
        const char *ipa;
        const char *expected; // markup
    };
    const Case cases[] = {
        { "abandon", "ɐbˈandən", "*ı*b*e*nd*ı*n" },
        { "think", "θˈɪŋk", "*t*ingk" },
        { "this", "ðˈɪs", "*d*is" },
        { "church", "tʃˈɜːtʃ", "çö:ç" },
        { "judge", "dʒˈʌdʒ", "cac" },
        { "day", "dˈeɪ", "dey" },
        { "my", "mˈaɪ", "may" },
        { "boy", "bˈɔɪ", "boy" },
        { "now", "nˈaʊ", "nau" },
        { "go", "ɡˈəʊ", "gou" },
        { "hair", "hˈeə", "he*ı*" },
        { "near", "nˈiə", "ni*ı*" },
        { "tour", "tˈʊə", "tu*ı*" },
        { "fire", "fˈaɪə", "fay*ı*" },
        { "hour", "ˈaʊə", "au*ı*" },
        { "player", "plˈeɪə", "pley*ı*" },
        { "measure", "mˈɛʒə", "mej*ı*" },
        { "she", "ʃˈiː", "şi:" },
        { "yes", "jˈɛs", "yes" },
        { "hot", "hˈɒt", "h*o*t" },
        { "law", "lˈɔː", "lo:" },
        { "father", "fˈɑːðə", "fa:*dı*" },
        { "food", "fˈuːd", "fu:d" },
        { "bird", "bˈɜːd", "bö:d" },
        { "thorough", "θˈʌɹə", "*t*ar*ı*" },
        { "stereo", "stˈɛɹɪˌəʊ", "steriou" },
        { "radio", "ɹˈeɪdɪəʊ", "reydiou" },
        { "a la carte", "ˌala kˈɑːt", "*e*l*e* ka:t" },
        { "loch", "lˈɒx", "l*o*h" },
    };
    const IpaMap &map = IpaMap::builtin();
    for (const Case &c : cases) {
        std::map<char32_t, int> unknown;
        EXPECT_EQ(toMarkup(map.convert(c.ipa, &unknown)), c.expected) << c.word;
        EXPECT_TRUE(unknown.empty()) << c.word;
    }
}

TEST(IpaTable, LeavesOutAndCountsUnknownCharactersAndExtraBlanks)
{
    std::map<char32_t, int> unknown;
    const Transcription t = IpaMap::builtin().convert("  b€d  €  ˈɒ  ", &unknown);
    EXPECT_EQ(toMarkup(t), "bd *o*");
    ASSERT_EQ(unknown.size(), 1u);
    EXPECT_EQ(unknown[U'€'], 2);
    EXPECT_TRUE(IpaMap::builtin().convert("").empty());
    EXPECT_TRUE(IpaMap::builtin().convert("ˈˌ").empty());
}

TEST(IpaTable, RefusesBadTables)
{
    struct Case
    {
        const char *table;
        const char *messagePart;
    };
    const Case cases[] = {
        { "a\tq\n", "not made of the 48 symbols" },
        { "a\te\na\ti\n", "appears twice" },
        { "# only a comment\n", "empty" },
        { "ə\n", "expected IPA<TAB>transcription" },
        { "\te\n", "expected IPA<TAB>transcription" },
        { "ə\t*ı\n", "unbalanced" },
        { "ə\tı\n", "not made of the 48 symbols" }, // only the bold ı is a symbol
    };
    for (const Case &c : cases) {
        IpaMap map;
        const Status st = IpaMap::load(c.table, map);
        EXPECT_EQ(st.code, ErrorCode::BadFormat) << c.table;
        EXPECT_NE(st.message.find(c.messagePart), std::string::npos) << st.message;
    }
}

TEST(IpaTable, UsesLongestMatchAndAcceptsNotesAndCrLf)
{
    IpaMap map;
    ASSERT_TRUE(IpaMap::load("t\tt\tnote\r\nʃ\tş\r\ntʃ\tç\r\nˈ\t\r\n", map).ok());
    EXPECT_EQ(toMarkup(map.convert("tʃˈʃt")), "çşt");
}

} // namespace
