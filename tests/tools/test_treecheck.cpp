// Round trip of zarel-dict on a small fake FreeDict source: build -> index and article files
// -> DictionaryIndex / TCryptStream / RTF reader, and the check, list and show commands.
#include "zarel-dict/cli.h"
#include "zarel-dict/freedict.h"
#include "zarel-dict/soundstage.h"
#include "zarel-dict/treecheck.h"

#include "dictionary/codepage1254.h"
#include "dictionary/dictionaryindex.h"
#include "dictionary/lettertabs.h"
#include "dictionary/tcryptstream.h"
#include "fakesource.h"
#include "rtf/rtfreader.h"
#include "support/testdictionary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>

using namespace zarel;
using namespace zarel::dicttool;

namespace {

struct Outcome
{
    int exitCode;
    std::string out;
    std::string err;
};

Outcome run(const std::vector<std::string> &args)
{
    std::ostringstream out;
    std::ostringstream err;
    const int code = runCommandLine(args, out, err);
    return { code, out.str(), err.str() };
}

std::vector<std::string> headwords(const DictionaryIndex &index, int tab)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < index.tab(tab).count(); ++i)
        out.push_back(cp1254::toUtf8(index.tab(tab).headword(i)));
    return out;
}

std::string articleText(const std::string &folder, const DictionaryIndex &index, int tab,
                        const std::string &utf8)
{
    const std::string bytes = cp1254::fromUtf8(utf8);
    for (const TWordRecord *r : index.tab(tab).entries)
        if (r->headword() == bytes)
            return rtf::plainText(rtf::parse(readArticle(folder, tab, *r)));
    return "<missing>";
}

class BuiltDictionaryTree : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::writeFakeSource(m_source.path());
        m_out = m_tree.path() + "/install";
        const Outcome r = run({ "build", "--source", m_source.path(), m_out });
        ASSERT_EQ(r.exitCode, 0) << r.err;
        m_buildReport = r.out;
        ASSERT_TRUE(m_index.loadAll(m_out).ok());
    }

    test::TempDir m_source;
    test::TempDir m_tree;
    std::string m_out;
    std::string m_buildReport;
    DictionaryIndex m_index;
};

TEST_F(BuiltDictionaryTree, ReportsCountsAndSkips)
{
    const std::string &r = m_buildReport;
    EXPECT_NE(r.find("7 English headwords written, 1 repeated entries merged"), std::string::npos)
        << r;
    EXPECT_NE(r.find("skipped 1: no tab for the first character"), std::string::npos) << r;
    EXPECT_NE(r.find("skipped 1: not expressible in code page 1254"), std::string::npos) << r;
    EXPECT_NE(r.find("skipped 1: begins with Q"), std::string::npos) << r;
    EXPECT_NE(r.find("Build finished"), std::string::npos) << r;
}

TEST_F(BuiltDictionaryTree, SpeaksEveryEnglishBaseHeadword)
{
    for (int t = 0; t < kEnglishTabCount; ++t) {
        const int count = static_cast<int>(m_index.tab(t).count());
        for (int n = 1; n <= count; ++n)
            EXPECT_TRUE(test::exists(m_out + "/" + headwordSoundPath(t, n))) << t << " " << n;
        EXPECT_FALSE(test::exists(m_out + "/" + headwordSoundPath(t, count + 1))) << t;
    }
    for (int n = 1; n <= kTranscriptionSymbolCount; ++n)
        EXPECT_TRUE(test::exists(m_out + "/" + transcriptionSoundPath(n))) << n;
    EXPECT_NE(
        m_buildReport.find("Sounds: 7 headwords and 48 transcription symbols; 0 kept, 55 made"),
        std::string::npos)
        << m_buildReport;
}

TEST_F(BuiltDictionaryTree, EnglishTabsReadBackAsTheProgramReadsThem)
{
    EXPECT_EQ(headwords(m_index, 0), (std::vector<std::string> { "ab", "abandon" }));
    EXPECT_EQ(headwords(m_index, 2), (std::vector<std::string> { "café", "car", "card", "Carl" }));
    EXPECT_EQ(headwords(m_index, 16), std::vector<std::string> { "quick" });
    for (const TWordRecord *r : m_index.tab(0).entries)
        EXPECT_EQ(r->baseFlag, 1);

    EXPECT_EQ(articleText(m_out, m_index, 0, "abandon"),
              "abandon /ıbendın/\n1. tamamıyle bırakmak, terketmek\n2. (müz.) kendini kaptırmak.");
    EXPECT_EQ(articleText(m_out, m_index, 0, "ab"),
              "ab /eb/\n1. (önek) uzağa\n2. temmuz ortasında başlayan ay");
    EXPECT_EQ(articleText(m_out, m_index, 2, "café"), "café /kefey/\n1. kahvehane");

    // Bold headword and bold transcription symbols; labels in italics.
    const TWordRecord *abandon = m_index.tab(0).entries[1];
    const rtf::Document doc = rtf::parse(readArticle(m_out, 0, *abandon));
    ASSERT_EQ(doc.paragraphs.size(), 3u);
    std::string bold;
    for (const rtf::Run &run : doc.paragraphs[0].runs)
        if (run.format.bold)
            bold += run.text + "|";
    EXPECT_EQ(bold, "abandon|ı|e|ı|");
    ASSERT_FALSE(doc.paragraphs[2].runs.empty());
    bool italicLabel = false;
    for (const rtf::Run &run : doc.paragraphs[2].runs)
        italicLabel |= run.format.italic && run.text == "(müz.)";
    EXPECT_TRUE(italicLabel);
}

TEST_F(BuiltDictionaryTree, TurkishTabsHoldEntriesAndTheReverseIndex)
{
    EXPECT_EQ(headwords(m_index, 26), std::vector<std::string> { "araba" });
    EXPECT_EQ(articleText(m_out, m_index, 26, "araba"), "araba\n1. car, automobile");
    EXPECT_EQ(headwords(m_index, 35), std::vector<std::string> { "Irak" });
    EXPECT_EQ(headwords(m_index, 38),
              (std::vector<std::string> { "kahvehane", "kart", "kendini kaptırmak" }));
    EXPECT_EQ(articleText(m_out, m_index, 38, "kart"), "kart\n1. card");
    EXPECT_EQ(headwords(m_index, 29), std::vector<std::string> { "çabuk" });
    EXPECT_EQ(headwords(m_index, 36), std::vector<std::string> { "iskambil kâğıdı" });
    EXPECT_EQ(articleText(m_out, m_index, 48, "terketmek"), "terketmek\n1. abandon");
}

TEST_F(BuiltDictionaryTree, PassesTheCheck)
{
    const CheckResult result = checkTree(m_out);
    EXPECT_TRUE(result.ok()) << (result.problems.empty() ? "" : result.problems.front());
    ASSERT_EQ(result.tabs.size(), 56u);
    EXPECT_EQ(result.tabs[2].records, 4u);
    EXPECT_EQ(result.tabs[2].baseRecords, 4u);
    const Outcome r = run({ "check", m_out });
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("tab 2 (eg/c): 4 records (4 base, 0 user)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(": ok"), std::string::npos) << r.out;
}

TEST_F(BuiltDictionaryTree, CompressedBuildReadsTheSame)
{
    test::TempDir other;
    const std::string packed = other.path() + "/packed";
    const Outcome r = run({ "build", "--compress", "--source", m_source.path(), packed });
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(test::readFile(packed + "/eg/base_a.ref").starts_with("SZDD"));
    DictionaryIndex index;
    ASSERT_TRUE(index.loadAll(packed).ok());
    for (const int tab : { 0, 2, 26, 38 }) {
        ASSERT_EQ(index.tab(tab).count(), m_index.tab(tab).count());
        for (size_t i = 0; i < index.tab(tab).count(); ++i)
            EXPECT_EQ(readArticle(packed, tab, *index.tab(tab).entries[i]),
                      readArticle(m_out, tab, *m_index.tab(tab).entries[i]));
    }
    EXPECT_TRUE(checkTree(packed).ok());
}

TEST_F(BuiltDictionaryTree, ListsAndShowsHeadwords)
{
    Outcome r = run({ "list", m_out, "c" });
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "café\ncar\ncard\nCarl\n");
    EXPECT_EQ(run({ "list", m_out, "2" }).out, r.out);
    EXPECT_EQ(run({ "list", m_out, "K" }).out, "kahvehane\nkart\nkendini kaptırmak\n");
    EXPECT_EQ(run({ "list", m_out, "Ç" }).out, "çabuk\n");

    r = run({ "show", m_out, "card" });
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "[tab 2 (eg/c)]\ncard /ka:d/\n1. kart, iskambil kâğıdı\n");
    // Letter case ignored when no headword matches exactly; both directions are looked in.
    r = run({ "show", m_out, "KART" });
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "[tab 38 (tr/K)]\nkart\n1. card\n");
    r = run({ "show", m_out, "nothing" });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("no headword"), std::string::npos);
}

// A small tree written with the real writer, then damaged in one way per case.
TEST(TreeCheck, FailsOnDamagedTrees)
{
    struct Case
    {
        const char *name;
        std::function<void(const std::string &)> damage;
        const char *messagePart;
    };
    const auto appendRecord = [](const std::string &folder, int tab, const TWordRecord &r) {
        const std::string path = indexPath(folder, tab);
        test::writeFile(
            path, test::readFile(path) + std::string(reinterpret_cast<const char *>(&r), sizeof r));
    };
    const Case cases[] = {
        { "record past the end of its file",
          [&](const std::string &f) {
              appendRecord(f, 0, TWordRecord::make("apple", 1000, 50, 1));
          },
          "lies outside its file" },
        { "record with a negative offset",
          [&](const std::string &f) { appendRecord(f, 0, TWordRecord::make("apple", -5, 5, 1)); },
          "lies outside its file" },
        { "user record past its file",
          [&](const std::string &f) { appendRecord(f, 0, TWordRecord::make("apple", 0, 1, 0)); },
          "lies outside its file" },
        { "missing index file",
          [](const std::string &f) { std::filesystem::remove(indexPath(f, 40)); },
          "index file missing" },
        { "missing user article file",
          [](const std::string &f) { std::filesystem::remove(articlePath(f, 7, false)); },
          "article file missing" },
        { "partial record", [](const std::string &f) { test::writeFile(indexPath(f, 3), "xyz"); },
          "partial record" },
        { "article that is not RTF",
          [](const std::string &f) {
              test::writeTestDictionary(f, { { 0, { test::baseEntry("apple", "apple: elma") } } });
          },
          "not well-formed RTF" },
        { "RTF with unbalanced braces",
          [](const std::string &f) {
              test::writeTestDictionary(f,
                                        { { 0, { test::baseEntry("apple", "{\\rtf1 apple") } } });
          },
          "not well-formed RTF" },
        { "article without its headword",
          [](const std::string &f) {
              test::writeTestDictionary(f,
                                        { { 0, { test::baseEntry("apple", "{\\rtf1 pear}") } } });
          },
          "does not begin with its headword" },
        { "damaged compressed article file",
          [](const std::string &f) {
              test::writeFile(articlePath(f, 0, true),
                              std::string("SZDD\x88\xF0\x27\x33", 8) + "A");
          },
          "cannot be read" },
    };
    for (const Case &c : cases) {
        test::TempDir dir;
        test::writeTestDictionary(
            dir.path(),
            { { 0,
                { test::baseEntry("apple", "{\\rtf1 apple}"), test::userEntry("apricot", "") } } });
        ASSERT_TRUE(checkTree(dir.path()).ok()) << c.name;
        c.damage(dir.path());
        const CheckResult result = checkTree(dir.path());
        EXPECT_FALSE(result.ok()) << c.name;
        ASSERT_FALSE(result.problems.empty()) << c.name;
        EXPECT_NE(result.problems.front().find(c.messagePart), std::string::npos)
            << c.name << ": " << result.problems.front();
        const Outcome r = run({ "check", dir.path() });
        EXPECT_EQ(r.exitCode, 1) << c.name;
        EXPECT_NE(r.out.find("problem: "), std::string::npos) << c.name;
    }
}

TEST(TreeCheck, ReadsWithoutCreatingFiles)
{
    test::TempDir dir;
    test::writeTestDictionary(dir.path(), {});
    std::filesystem::remove(articlePath(dir.path(), 5, true));
    EXPECT_FALSE(checkTree(dir.path()).ok());
    EXPECT_FALSE(test::exists(articlePath(dir.path(), 5, true)));
    EXPECT_EQ(run({ "check", dir.path() + "/nowhere" }).exitCode, 1);
}

TEST(ZarelDictCommandLine, RefusesBadArguments)
{
    test::TempDir dir;
    test::writeTestDictionary(dir.path(), {});
    struct Case
    {
        std::vector<std::string> args;
        const char *errPart;
    };
    const Case cases[] = {
        { {}, "no command given" },
        { { "frobnicate" }, "unknown command" },
        { { "build" }, "exactly one output folder" },
        { { "build", "a", "b" }, "exactly one output folder" },
        { { "build", "--source" }, "--source needs a value" },
        { { "build", "--bogus", "x" }, "unknown option --bogus" },
        { { "build", "--source", dir.path() + "/none", dir.path() + "/out" },
          "Source file not found" },
        { { "build", "--stages", "sounds", dir.path() + "/out" },
          "Unknown build stage \"sounds\"" },
        { { "check" }, "check needs one folder" },
        { { "list", dir.path() }, "list needs a folder and a tab" },
        { { "list", dir.path(), "56" }, "no such tab: 56" },
        { { "list", dir.path(), "Ğ" }, "no such tab" },
        { { "list", dir.path() + "/none", "a" }, "base_a.dak" },
        { { "show", dir.path() }, "show needs a folder and a word" },
        { { "show", dir.path(), "日本" }, "cannot be written in code page 1254" },
    };
    for (const Case &c : cases) {
        const Outcome r = run(c.args);
        EXPECT_EQ(r.exitCode, 1) << (c.args.empty() ? "" : c.args.front());
        EXPECT_NE(r.err.find(c.errPart), std::string::npos) << r.err;
    }
    EXPECT_FALSE(test::exists(dir.path() + "/out"));
    EXPECT_EQ(run({ "help" }).exitCode, 0);
    EXPECT_NE(run({ "help" }).out.find("dictionary:"), std::string::npos);
}

TEST(ZarelDictCommandLine, NoSoundSkipsTheSoundsAndTheSoundStageRunsAlone)
{
    test::TempDir source;
    test::writeFakeSource(source.path());
    test::TempDir tree;
    const std::string out = tree.path() + "/install";
    Outcome r = run({ "build", "--no-sound", "--source", source.path(), out });
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(test::exists(indexPath(out, 0)));
    EXPECT_FALSE(std::filesystem::exists(out + "/wave"));
    EXPECT_FALSE(std::filesystem::exists(out + "/trans"));
    EXPECT_EQ(r.out.find("Stage sound"), std::string::npos) << r.out;

    // The sound stage reads the tree's index files, so it runs without the dictionary stage.
    r = run({ "build", "--stages", "sound", out });
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(test::exists(out + "/wave/1/2.mp3"));
    EXPECT_TRUE(test::exists(out + "/trans/48.mp3"));
    EXPECT_NE(r.err.find("Sounds: 55/55 (100%)"), std::string::npos) << r.err;

    r = run({ "build", "--stages", "sound", tree.path() + "/empty" });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("base_a.dak"), std::string::npos) << r.err;
    EXPECT_EQ(run({ "build", "--no-sound", "--stages", "sound", out }).exitCode, 0);
}

TEST(ZarelDictCommandLine, PrintsTheDataVersion)
{
    const Outcome r = run({ "--data-version" });
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.empty()) << r.err;
    EXPECT_TRUE(r.out.starts_with("zarel-data-")) << r.out;
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << "one line: " << r.out;
    EXPECT_EQ(run({ "--data-version" }).out, r.out);

    const Outcome extra = run({ "--data-version", "x" });
    EXPECT_EQ(extra.exitCode, 1);
    EXPECT_TRUE(extra.out.empty()) << extra.out;
    EXPECT_NE(extra.err.find("--data-version takes no arguments"), std::string::npos) << extra.err;
    EXPECT_NE(run({ "help" }).out.find("--data-version"), std::string::npos);
}

TEST(ZarelDictCommandLine, NamesTabs)
{
    struct Case
    {
        const char *text;
        int tab;
    };
    const Case cases[] = {
        { "0", 0 },  { "55", 55 }, { "56", -1 },  { "-1", -1 },  { "a", 0 },  { "z", 25 },
        { "A", 26 }, { "Ç", 29 },  { "I", 35 },   { "İ", 36 },   { "Z", 55 }, { "Ğ", -1 },
        { "Q", -1 }, { "", -1 },   { "abc", -1 }, { "007", -1 },
    };
    for (const Case &c : cases)
        EXPECT_EQ(parseTab(c.text), c.tab) << c.text;
    EXPECT_EQ(tabName(29), "29 (tr/Ç)");
    EXPECT_EQ(tabName(0), "0 (eg/a)");
}

} // namespace
