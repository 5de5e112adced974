// The content stage of zarel-dict, run without an application as the command-line builder runs
// it: every file in place, pictures that decode at their sizes, the two key documents, sound
// files; the key tables' checks and the usage-label rules.
#include "platform/jpegdecoder.h"
#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"
#include "support/testdictionary.h"
#include "zarel-dict/contentstage.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

using namespace zarel;
using namespace zarel::dicttool;
using zarel::test::readFile;
using zarel::test::TempDir;

namespace {

void writeFile(const std::string &path, const std::string &bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    zarel::test::writeFile(path, bytes);
}

uint32_t little(const std::string &bytes, size_t at, int size)
{
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    return v;
}

// One content build shared by the tests that only read it.
class ContentTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new TempDir;
        BuildOptions options;
        options.outDir = s_dir->path();
        BuildContext context { options, s_log, {}, {} };
        const auto stage = makeContentStage();
        ASSERT_EQ(stage->name(), "content");
        const Status st = stage->run(context);
        ASSERT_TRUE(st.ok()) << st.message << " " << st.path;
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }
    static std::string file(const std::string &relative) { return s_dir->file(relative); }

    static inline TempDir *s_dir = nullptr;
    static inline std::ostringstream s_log;
};

} // namespace

TEST_F(ContentTest, HelpPagesAreInstalledAsCompiledIn)
{
    int pages = 0;
    for (const EmbeddedFile &embedded : embeddedContentFiles()) {
        if (!embedded.path.starts_with("hlp/"))
            continue;
        ++pages;
        EXPECT_EQ(readFile(file(std::string(embedded.path))), embedded.bytes) << embedded.path;
    }
    EXPECT_GE(pages, 14);
    for (const char *page : { "help", "metod1", "metod2", "metod3", "metod4", "metod5", "metod6" })
        for (const char *suffix : { ".htm", "e.htm" }) {
            const std::string name = std::string("hlp/") + page + suffix;
            EXPECT_FALSE(embeddedContent(name).empty()) << name;
        }
}

TEST_F(ContentTest, HelpPagesLinkOnlyToPagesThatExist)
{
    for (const EmbeddedFile &embedded : embeddedContentFiles()) {
        if (!embedded.path.ends_with(".htm"))
            continue;
        const std::string_view html = embedded.bytes;
        for (const std::string_view attribute : { "href=\"", "src=\"" }) {
            for (size_t at = html.find(attribute); at != std::string_view::npos;
                 at = html.find(attribute, at + 1)) {
                const size_t start = at + attribute.size();
                std::string target(html.substr(start, html.find('"', start) - start));
                target = target.substr(0, target.find('#'));
                if (target.empty() || target.starts_with("http"))
                    continue;
                EXPECT_FALSE(embeddedContent("hlp/" + target).empty())
                    << embedded.path << " -> " << target;
            }
        }
    }
}

TEST_F(ContentTest, PicturesDecodeAtTheirSizes)
{
    const std::tuple<const char *, int, int> jpegs[] = {
        { "logo_en_tr.jpg", 90, 58 },  { "logo_tr_en.jpg", 90, 58 }, { "about.jpg", 406, 194 },
        { "aboutprog.jpg", 406, 194 }, { "strip.jpg", 400, 44 },     { "texture.jpg", 256, 256 },
    };
    for (const auto &[name, width, height] : jpegs) {
        RgbImage image;
        EXPECT_TRUE(decodeJpegFile(file(name), image).ok()) << name;
        EXPECT_EQ(image.width, width) << name;
        EXPECT_EQ(image.height, height) << name;
    }
    EXPECT_NE(readFile(file("logo_en_tr.jpg")), readFile(file("logo_tr_en.jpg")));

    const std::tuple<const char *, int, int> bitmaps[] = {
        { "Start1.bmp", 24, 24 },  { "Start2.bmp", 24, 24 }, { "Stop2.bmp", 24, 24 },
        { "Record1.bmp", 24, 24 }, { "a.bmp", 43, 34 },      { "b.bmp", 43, 34 },
    };
    for (const auto &[name, width, height] : bitmaps) {
        const std::string bmp = readFile(file(name));
        ASSERT_GT(bmp.size(), 54u) << name;
        EXPECT_EQ(bmp.substr(0, 2), "BM") << name;
        EXPECT_EQ(little(bmp, 2, 4), bmp.size()) << name;
        EXPECT_EQ(little(bmp, 18, 4), static_cast<uint32_t>(width)) << name;
        EXPECT_EQ(little(bmp, 22, 4), static_cast<uint32_t>(height)) << name;
    }
    EXPECT_NE(readFile(file("Start1.bmp")), readFile(file("Start2.bmp"))); // the blink shows
}

TEST_F(ContentTest, FeedbackSoundsAreShortCleanPcm)
{
    for (const char *name : { "da.wav", "ne.wav" }) {
        SCOPED_TRACE(name);
        const std::string wav = readFile(file(name));
        ASSERT_GT(wav.size(), 44u);
        EXPECT_EQ(wav.substr(0, 4), "RIFF");
        EXPECT_EQ(little(wav, 4, 4), wav.size() - 8);
        EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
        EXPECT_EQ(little(wav, 20, 2), 1u); // PCM
        EXPECT_EQ(little(wav, 22, 2), 1u); // mono
        const uint32_t rate = little(wav, 24, 4);
        EXPECT_EQ(little(wav, 34, 2), 16u);
        EXPECT_EQ(wav.substr(36, 4), "data");
        const uint32_t frames = little(wav, 40, 4) / 2;
        ASSERT_EQ(44 + frames * 2, wav.size());
        const double seconds = static_cast<double>(frames) / rate;
        EXPECT_GT(seconds, 0.2);
        EXPECT_LT(seconds, 1.0);
        int peak = 0;
        for (uint32_t i = 0; i < frames; ++i)
            peak = std::max(peak, std::abs(static_cast<int16_t>(little(wav, 44 + i * 2, 2))));
        EXPECT_GT(peak, 8000); // audible
        EXPECT_LT(peak, 32000); // not clipped
        // Starts and ends in silence, so playing it makes no click.
        EXPECT_LT(std::abs(static_cast<int16_t>(little(wav, 44, 2))), 200);
        EXPECT_LT(std::abs(static_cast<int16_t>(little(wav, wav.size() - 2, 2))), 200);
    }
    EXPECT_NE(readFile(file("da.wav")), readFile(file("ne.wav")));
}

TEST_F(ContentTest, TranscriptionKeyHasOneLinePerSymbolButton)
{
    const rtf::Document doc = rtf::parse(readFile(file("rtf/trans.rtf")));
    ASSERT_EQ(doc.paragraphs.size(), 48u);
    // Line n belongs to button n: its first runs are the symbol, bold where the symbol is bold.
    const std::tuple<int, const char *, const char *> starts[] = {
        { 1, "i:", "" },  { 4, "", "e" },  { 5, "ö:", "" }, { 18, "e", "ı" },
        { 21, "", "o:" }, { 33, "", "t" }, { 48, "h", "" },
    };
    for (const auto &[n, regular, bold] : starts) {
        SCOPED_TRACE(n);
        const rtf::Paragraph &p = doc.paragraphs[static_cast<size_t>(n - 1)];
        size_t run = 0;
        if (*regular) {
            ASSERT_FALSE(p.runs[run].format.bold);
            EXPECT_TRUE(p.runs[run].text.starts_with(regular));
            ++run;
        }
        if (*bold) {
            ASSERT_TRUE(p.runs[run].format.bold);
            EXPECT_EQ(p.runs[run].text, bold);
        }
    }
    const std::string text = rtf::plainText(doc);
    EXPECT_NE(text.find("see /si:/, tree /tri:/"), std::string::npos);
    EXPECT_EQ(text.find('*'), std::string::npos); // no markup left
}

TEST_F(ContentTest, AbbreviationKeyListsTheCompiledInLabels)
{
    const LabelSet installed = installedLabelKey(s_dir->path());
    EXPECT_EQ(installed, builtinLabelKey());
    for (const char *label : { "müz.", "huk.", "bak.", "kıs.", "A.B.D.", "k. dili", "argo" })
        EXPECT_TRUE(installed.contains(label)) << label;
    EXPECT_NE(s_log.str().find("48 transcription key lines"), std::string::npos) << s_log.str();
}

TEST(ContentStage, RunsAgainInTheSameProcess)
{
    // The builder's own tests build several trees in one process; each build makes and ends its
    // own drawing application.
    for (int round = 0; round < 2; ++round) {
        TempDir dir;
        std::ostringstream log;
        const Status st = writeContent(dir.path(), log);
        ASSERT_TRUE(st.ok()) << round << ": " << st.message;
        RgbImage logo;
        EXPECT_TRUE(decodeJpegFile(dir.file("logo_tr_en.jpg"), logo).ok()) << round;
    }
}

TEST(ContentTables, CompiledInTablesLoad)
{
    std::vector<TranscriptionKeyLine> lines;
    const Status st = loadTranscriptionKey(embeddedContent("rtf/trans_lines.tsv"), lines);
    EXPECT_TRUE(st.ok()) << st.message;
    EXPECT_EQ(lines.size(), 48u);
    std::vector<Abbreviation> entries;
    const Status ast = loadAbbreviationKey(embeddedContent("rtf/abbreviations.tsv"), entries);
    EXPECT_TRUE(ast.ok()) << ast.message;
    EXPECT_GT(entries.size(), 150u);
}

TEST(ContentTables, BrokenTranscriptionTablesAreRefused)
{
    std::string good(embeddedContent("rtf/trans_lines.tsv"));
    const size_t firstLine = good.find("\ni:\t") + 1;
    const std::string fourthSymbol = "\n*e*\t";
    struct Case
    {
        const char *what;
        std::string tsv;
    };
    const Case cases[] = {
        { "a line missing",
          good.substr(0, firstLine) + good.substr(good.find('\n', firstLine) + 1) },
        { "an extra line", good + "h\thot\th*o*t\that\th*e*t\tfazla\n" },
        { "five fields",
          good.substr(0, firstLine) + "i:\tsee\tsi:\ttree\ttri:\n"
              + good.substr(good.find('\n', firstLine) + 1) },
        { "wrong order",
          [&] {
              std::string s = good;
              s.replace(s.find(fourthSymbol), fourthSymbol.size(), "\ne\t");
              return s;
          }() },
        { "empty field",
          [&] {
              std::string s = good;
              s.replace(s.find("\tsee\t"), 5, "\t\t");
              return s;
          }() },
        { "empty", "" },
    };
    for (const Case &c : cases) {
        std::vector<TranscriptionKeyLine> lines { {} };
        const Status st = loadTranscriptionKey(c.tsv, lines);
        EXPECT_EQ(st.code, ErrorCode::BadFormat) << c.what;
        EXPECT_TRUE(lines.empty()) << c.what;
    }
}

TEST(ContentTables, BrokenAbbreviationTablesAreRefused)
{
    const std::pair<const char *, const char *> cases[] = {
        { "twice", "müz.\tmüzik\tmusic\nmüz.\tmüzik\tmusic\n" },
        { "two fields", "müz.\tmüzik\n" },
        { "empty meaning", "müz.\t\tmusic\n" },
        { "parenthesis", "(müz.)\tmüzik\tmusic\n" },
        { "too long", "abcdefghijklmnop\tx\ty\n" },
    };
    for (const auto &[what, tsv] : cases) {
        std::vector<Abbreviation> entries { {} };
        EXPECT_EQ(loadAbbreviationKey(tsv, entries).code, ErrorCode::BadFormat) << what;
        EXPECT_TRUE(entries.empty()) << what;
    }
    std::vector<Abbreviation> entries;
    ASSERT_TRUE(loadAbbreviationKey("# comment\n\nmüz.\tmüzik\tmusic\r\n", entries).ok());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].english, "music");
}

TEST(UsageLabels, AbbreviationShape)
{
    const std::pair<const char *, bool> cases[] = {
        { "müz.", true },         { "A.B.D.", true },      { "k.dili.", true },
        { "güz. san.", true },    { "ör. T.C.", true },    { "I.", true },
        { "k. dili", false },     { "argo", false },       { "A.B.D", false },
        { "abcdefghi.", false },  { ".", false },          { "a..b.", false },
        { "1.", false },          { "müz.  san.", false }, { "", false },
        { "-ped, -ping", false },
    };
    for (const auto &[text, abbreviation] : cases)
        EXPECT_EQ(isAbbreviationLabel(text), abbreviation) << text;
}

TEST(UsageLabels, ArticleLabelsAndTheOnesTheKeyLacks)
{
    const LabelSet key { "müz.", "k. dili", "argo" };
    struct Case
    {
        const char *text;
        std::vector<std::string> used;
        std::vector<std::string> missing;
    };
    const Case cases[] = {
        { "note /nout/\n1. (müz.) nota\n2. (k. dili) not (müz.)", { "müz.", "k. dili" }, {} },
        { "1. (huk.) dava, (A.B.D.) ( argo)", { "huk.", "A.B.D.", "argo" }, { "huk.", "A.B.D." } },
        { "1. (bir (müz.) terim)", { "müz." }, {} }, // innermost parentheses
        { "1. (a very long remark.)", {}, {} }, // longer than a label
        { "1. (huk.", {}, {} }, // never closed
        { "1. (someone) (x) (kimse)", {}, {} }, // words, not labels
        { "", {}, {} },
    };
    for (const Case &c : cases) {
        EXPECT_EQ(articleLabels(c.text, key), c.used) << c.text;
        EXPECT_EQ(missingLabels(c.text, key), c.missing) << c.text;
    }
}

TEST(UsageLabels, InstalledKeyIsReadFromTheFolder)
{
    TempDir dir;
    EXPECT_EQ(installedLabelKey(dir.path()), builtinLabelKey()); // no key installed yet

    writeFile(dir.file("rtf/eng.rtf"),
              rtf::write(abbreviationKeyDocument(
                  { { "müz.", "müzik", "music" }, { "k. dili", "konuşma dili", "colloquial" } })));
    EXPECT_EQ(installedLabelKey(dir.path()), (LabelSet { "müz.", "k. dili" }));

    writeFile(dir.file("rtf/eng.rtf"), "\x01garbage{\\rtf");
    EXPECT_TRUE(installedLabelKey(dir.path()).empty()); // so the check names every label
}
