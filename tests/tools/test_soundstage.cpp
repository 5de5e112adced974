// Tests of the sound stage: which files a dictionary gets (base records only, numbered per
// tab), keeping unchanged sounds between runs, cleaning up, worker failures, the transcription
// sounds and their table, and the progress line.
#include "zarel-dict/soundstage.h"

#include "mp3testutil.h"
#include "support/testdictionary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include <sys/stat.h>

using namespace zarel;
using namespace zarel::dicttool;

namespace {

// What identifies one written file: a rewrite renames a new file into place.
struct FileStamp
{
    ino_t inode = 0;
    int64_t mtimeNs = 0;
    bool operator==(const FileStamp &) const = default;
};

// Every file under `folder`/`sub`, by its path relative to `folder`.
std::map<std::string, FileStamp> filesUnder(const std::string &folder, const std::string &sub)
{
    std::map<std::string, FileStamp> files;
    std::error_code ec;
    for (const auto &entry :
         std::filesystem::recursive_directory_iterator(folder + "/" + sub, ec)) {
        if (!entry.is_regular_file())
            continue;
        struct stat st;
        ::stat(entry.path().c_str(), &st);
        files[std::filesystem::relative(entry.path(), folder).string()]
            = { st.st_ino, st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec };
    }
    return files;
}

std::vector<std::string> keysOf(const std::map<std::string, FileStamp> &files)
{
    std::vector<std::string> keys;
    for (const auto &[path, stamp] : files)
        keys.push_back(path);
    return keys;
}

class SoundStageTest : public ::testing::Test
{
protected:
    void SetUp() override { writeDictionary("arm"); }

    // Tab a: two base records around a user record; tab b: a user record before the base
    // record; tab c: a code page 1254 headword.
    void writeDictionary(const std::string &secondA, bool withSecondA = true)
    {
        std::vector<WriterEntry> a
            = { test::baseEntry("apple", "{\\rtf1 apple}"), test::userEntry("apricot", "kayısı") };
        if (withSecondA)
            a.push_back(test::baseEntry(secondA, "{\\rtf1 " + secondA + "}"));
        test::writeTestDictionary(
            m_dir.path(),
            { { 0, a },
              { 1, { test::userEntry("baa", "meleme"), test::baseEntry("bee", "{\\rtf1 bee}") } },
              { 2, { test::baseEntry("caf\xE9", "{\\rtf1 caf\\'e9}") } } });
    }

    Status run(SoundReport &report, int workers = 2, std::ostream *progress = nullptr,
               bool inPlace = false)
    {
        std::vector<SoundJob> jobs;
        const Status st = headwordSoundJobs(m_dir.path(), jobs);
        if (!st.ok())
            return st;
        SoundRunOptions options;
        options.workers = workers;
        options.progress = progress;
        options.progressInPlace = inPlace;
        return makeSounds(m_dir.path(), jobs, options, report);
    }

    test::TempDir m_dir;
};

TEST_F(SoundStageTest, NumbersTheBaseRecordsOfEachTabFromOne)
{
    std::vector<SoundJob> jobs;
    ASSERT_TRUE(headwordSoundJobs(m_dir.path(), jobs).ok());
    ASSERT_EQ(jobs.size(), 4u);
    const std::pair<const char *, const char *> expected[] = {
        { "wave/1/1.mp3", "apple" },
        { "wave/1/2.mp3", "arm" },
        { "wave/2/1.mp3", "bee" },
        { "wave/3/1.mp3", "café" },
    };
    for (size_t i = 0; i < jobs.size(); ++i) {
        EXPECT_EQ(jobs[i].path, expected[i].first);
        EXPECT_EQ(jobs[i].text, expected[i].second);
        EXPECT_FALSE(jobs[i].phonemes);
    }
    EXPECT_EQ(headwordSoundPath(25, 3012), "wave/26/3012.mp3");
    EXPECT_EQ(transcriptionSoundPath(48), "trans/48.mp3");

    test::TempDir empty;
    jobs.clear();
    EXPECT_EQ(headwordSoundJobs(empty.path(), jobs).code, ErrorCode::FileNotFound);
}

TEST_F(SoundStageTest, WritesOnePlayableSoundPerBaseRecord)
{
    SoundReport report;
    const Status st = run(report);
    ASSERT_TRUE(st.ok()) << st.message;
    EXPECT_EQ(report.planned, 4u);
    EXPECT_EQ(report.made, 4u);
    EXPECT_EQ(report.kept, 0u);
    EXPECT_EQ(report.silent, 0u);
    EXPECT_EQ(report.workers, 2);
    EXPECT_EQ(keysOf(filesUnder(m_dir.path(), "wave")),
              (std::vector<std::string> { "wave/1/1.mp3", "wave/1/2.mp3", "wave/2/1.mp3",
                                          "wave/3/1.mp3" }));
    for (const auto &[path, stamp] : filesUnder(m_dir.path(), "wave")) {
        const test::DecodedMp3 mp3 = test::decodeMp3File(m_dir.file(path));
        ASSERT_TRUE(mp3.ok) << path << ": " << mp3.error;
        EXPECT_EQ(mp3.rate, 22050) << path;
        EXPECT_EQ(mp3.channels, 1) << path;
        EXPECT_GT(mp3.pcm.size(), 22050u / 5) << path;
        EXPECT_GT(test::peakOf(mp3.pcm), 2000) << path;
    }
    EXPECT_TRUE(test::exists(m_dir.file(std::string(kManifestName))));
}

TEST_F(SoundStageTest, KeepsUnchangedSoundsAndRemakesOnlyAChangedWord)
{
    SoundReport report;
    ASSERT_TRUE(run(report).ok());
    const auto first = filesUnder(m_dir.path(), "wave");

    ASSERT_TRUE(run(report).ok());
    EXPECT_EQ(report.kept, 4u);
    EXPECT_EQ(report.made, 0u);
    EXPECT_EQ(report.workers, 0);
    EXPECT_EQ(filesUnder(m_dir.path(), "wave"), first);

    writeDictionary("army");
    ASSERT_TRUE(run(report).ok());
    EXPECT_EQ(report.kept, 3u);
    EXPECT_EQ(report.made, 1u);
    EXPECT_EQ(report.workers, 1); // never more workers than sounds to make
    const auto third = filesUnder(m_dir.path(), "wave");
    ASSERT_EQ(keysOf(third), keysOf(first));
    for (const auto &[path, stamp] : third) {
        if (path == "wave/1/2.mp3")
            EXPECT_NE(stamp, first.at(path)) << path;
        else
            EXPECT_EQ(stamp, first.at(path)) << path;
    }
}

TEST_F(SoundStageTest, RemakesMissingDamagedAndUnrecordedSounds)
{
    SoundReport report;
    ASSERT_TRUE(run(report).ok());
    std::filesystem::remove(m_dir.file("wave/1/1.mp3"));
    test::writeFile(m_dir.file("wave/2/1.mp3"), "cut");
    ASSERT_TRUE(run(report, 1).ok());
    EXPECT_EQ(report.made, 2u);
    EXPECT_EQ(report.kept, 2u);
    EXPECT_TRUE(test::decodeMp3File(m_dir.file("wave/2/1.mp3")).ok);

    for (const char *record : { "", "zarel-sounds 1\ngarbage\n", "other format\n" }) {
        test::writeFile(m_dir.file(std::string(kManifestName)), record);
        ASSERT_TRUE(run(report).ok());
        EXPECT_EQ(report.made, 4u) << record;
    }
}

TEST_F(SoundStageTest, RemovesSoundsThatNoHeadwordUses)
{
    SoundReport report;
    ASSERT_TRUE(run(report).ok());
    test::writeFile(m_dir.file("wave/1/7.mp3.tmpAbC123"), "left by a stopped run");
    test::writeFile(m_dir.file("wave/1/notes.txt"), "not ours");
    test::writeFile(m_dir.file("wave/1/0.mp3"), "not a number we write");
    std::filesystem::create_directories(m_dir.file("wave/27"));
    test::writeFile(m_dir.file("wave/27/1.mp3"), "outside the English tabs");
    writeDictionary("", false);
    ASSERT_TRUE(run(report).ok());
    EXPECT_EQ(report.removed, 2u);
    EXPECT_EQ(report.kept, 3u);
    EXPECT_EQ(keysOf(filesUnder(m_dir.path(), "wave")),
              (std::vector<std::string> { "wave/1/0.mp3", "wave/1/1.mp3", "wave/1/notes.txt",
                                          "wave/2/1.mp3", "wave/27/1.mp3", "wave/3/1.mp3" }));
}

TEST_F(SoundStageTest, AFailingWorkerFailsTheRunWithItsWord)
{
    // A folder where a sound should go: the rename into place fails.
    std::filesystem::create_directories(m_dir.file("wave/1/2.mp3"));
    SoundReport report;
    std::ostringstream progress;
    Status st = run(report, 2, &progress);
    ASSERT_FALSE(st.ok());
    EXPECT_EQ(st.code, ErrorCode::WriteError);
    EXPECT_NE(st.message.find("wave/1/2.mp3"), std::string::npos) << st.message;
    EXPECT_NE(st.message.find("\"arm\""), std::string::npos) << st.message;
    EXPECT_LT(report.made, 4u);
    EXPECT_NE(progress.str().find("stopped after"), std::string::npos) << progress.str();

    // What was finished is recorded and kept; the next run makes the rest.
    std::filesystem::remove(m_dir.file("wave/1/2.mp3"));
    const size_t madeBefore = report.made;
    st = run(report);
    ASSERT_TRUE(st.ok()) << st.message;
    EXPECT_EQ(report.kept, madeBefore);
    EXPECT_EQ(report.made, 4u - madeBefore);
}

TEST_F(SoundStageTest, WritesSilenceForAWordWithNothingToSpeak)
{
    const std::vector<SoundJob> jobs = { { "wave/1/1.mp3", "..." }, { "wave/1/2.mp3", "(a.)" } };
    SoundReport report;
    ASSERT_TRUE(makeSounds(m_dir.path(), jobs, {}, report).ok());
    EXPECT_EQ(report.made, 2u);
    EXPECT_EQ(report.silent, 1u);
    const test::DecodedMp3 silence = test::decodeMp3File(m_dir.file("wave/1/1.mp3"));
    ASSERT_TRUE(silence.ok) << silence.error;
    EXPECT_NEAR(static_cast<double>(silence.pcm.size()), 22050.0 * kSilenceMs / 1000, 2);
    EXPECT_LT(test::peakOf(silence.pcm), 50);
    EXPECT_GT(test::peakOf(test::decodeMp3File(m_dir.file("wave/1/2.mp3")).pcm), 2000);
}

TEST_F(SoundStageTest, RefusesTwoSoundsForOneFile)
{
    SoundReport report;
    const std::vector<SoundJob> jobs = { { "wave/1/1.mp3", "one" }, { "wave/1/1.mp3", "two" } };
    EXPECT_EQ(makeSounds(m_dir.path(), jobs, {}, report).code, ErrorCode::BadInput);
    EXPECT_FALSE(test::exists(m_dir.file("wave/1/1.mp3")));
}

TEST_F(SoundStageTest, ShowsProgressInPlaceOnATerminalAndAsLinesElsewhere)
{
    std::ostringstream terminal;
    SoundReport report;
    ASSERT_TRUE(run(report, 2, &terminal, true).ok());
    EXPECT_EQ(terminal.str().front(), '\r');
    EXPECT_NE(terminal.str().find("Sounds: 4/4 (100%)"), std::string::npos) << terminal.str();
    EXPECT_EQ(terminal.str().back(), '\n');

    writeDictionary("army");
    std::ostringstream log;
    ASSERT_TRUE(run(report, 2, &log, false).ok());
    EXPECT_EQ(log.str().find('\r'), std::string::npos) << log.str();
    EXPECT_TRUE(log.str().starts_with("Sounds: 1/1 (100%)")) << log.str();
}

TEST(TranscriptionSounds, MakesAllFortyEightAudibleSounds)
{
    std::array<std::string, kTranscriptionSymbolCount> phonemes;
    const Status st = loadPhonemeTable(builtinPhonemeTable(), phonemes);
    ASSERT_TRUE(st.ok()) << st.message;
    EXPECT_EQ(phonemes[0], "'i:");
    EXPECT_EQ(phonemes[38], "SSS"); // ş
    const std::vector<SoundJob> jobs = transcriptionSoundJobs(phonemes);
    ASSERT_EQ(jobs.size(), 48u);
    EXPECT_EQ(jobs[47].path, "trans/48.mp3");
    EXPECT_TRUE(jobs[47].phonemes);

    test::TempDir dir;
    SoundReport report;
    ASSERT_TRUE(makeSounds(dir.path(), jobs, {}, report).ok());
    EXPECT_EQ(report.made, 48u);
    EXPECT_EQ(report.silent, 0u);
    for (int n = 1; n <= 48; ++n) {
        const test::DecodedMp3 mp3 = test::decodeMp3File(dir.file(transcriptionSoundPath(n)));
        ASSERT_TRUE(mp3.ok) << n << ": " << mp3.error;
        EXPECT_EQ(mp3.rate, 22050) << n;
        EXPECT_GT(test::peakOf(mp3.pcm), 1000) << "sound " << n;
        // Vowels and diphthongs (1-24) are held.
        if (n <= 24) {
            EXPECT_GT(mp3.pcm.size(), 22050u * 3 / 10) << "sound " << n;
        }
    }
}

TEST(TranscriptionSounds, RefusesTablesThatDoNotMatchTheAlphabet)
{
    const std::string table(builtinPhonemeTable());
    const auto replaced = [&table](const std::string &from, const std::string &to) {
        std::string t = table;
        const size_t at = t.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return t.replace(at, from.size(), to);
    };
    struct Case
    {
        const char *name;
        std::string tsv;
        const char *message;
    };
    const Case cases[] = {
        { "two symbols swapped", replaced("i:\t'i:\tsee\ni\t'I", "i\t'I\tsit\ni:\t'i:"), "line" },
        { "a symbol missing", replaced("h\th@\that\n", ""), "47 symbols" },
        { "a symbol too many", table + "h\th@\n", "more than 48" },
        { "no phonemes", replaced("\t'i:\t", "\t\t"), "no phonemes" },
        { "brackets", replaced("\t'i:\t", "\t]]i:\t"), "printable ASCII" },
        { "no tab", replaced("i:\t'i:\tsee", "i: 'i: see"), "no tab" },
        { "empty", "", "0 symbols" },
    };
    for (const Case &c : cases) {
        std::array<std::string, kTranscriptionSymbolCount> phonemes;
        phonemes[0] = "kept";
        const Status st = loadPhonemeTable(c.tsv, phonemes);
        EXPECT_EQ(st.code, ErrorCode::BadFormat) << c.name;
        EXPECT_NE(st.message.find(c.message), std::string::npos) << c.name << ": " << st.message;
        EXPECT_EQ(phonemes[0], "kept") << c.name;
    }
    std::array<std::string, kTranscriptionSymbolCount> phonemes;
    std::string crlf;
    for (const char c : table) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    EXPECT_TRUE(loadPhonemeTable(crlf, phonemes).ok());
}

TEST(SoundDefinition, ChangesWithEverythingThatChangesTheFile)
{
    const SoundJob job { "wave/1/1.mp3", "apple", false };
    const SoundSettings settings;
    const uint64_t base = soundDefinition(job, settings);
    EXPECT_EQ(soundDefinition(job, settings), base);
    EXPECT_EQ(soundDefinition({ "wave/9/9.mp3", "apple", false }, settings), base)
        << "the place is not part of the sound";

    std::vector<std::pair<const char *, uint64_t>> changed;
    changed.emplace_back("text", soundDefinition({ job.path, "apples", false }, settings));
    changed.emplace_back("kind", soundDefinition({ job.path, "apple", true }, settings));
    SoundSettings s = settings;
    s.words.voice = "en-us";
    changed.emplace_back("voice", soundDefinition(job, s));
    s = settings;
    s.words.rate += 10;
    changed.emplace_back("rate", soundDefinition(job, s));
    s = settings;
    s.mp3.bitrateKbps = 32;
    changed.emplace_back("bit rate", soundDefinition(job, s));
    s = settings;
    s.mp3.quality = 2;
    changed.emplace_back("quality", soundDefinition(job, s));
    for (const auto &[what, definition] : changed)
        EXPECT_NE(definition, base) << what;
    // The symbol rate only concerns phoneme sounds.
    s = settings;
    s.symbolRate += 10;
    EXPECT_EQ(soundDefinition(job, s), base);
    EXPECT_NE(soundDefinition({ job.path, "apple", true }, s),
              soundDefinition({ job.path, "apple", true }, settings));
}

TEST(SoundManifest, RoundTripsAndIgnoresBadLines)
{
    const SoundManifest manifest = { { "trans/1.mp3", { 0x0123456789abcdefULL, 1489 } },
                                     { "wave/26/3012.mp3", { 0xffffffffffffffffULL, 0 } } };
    const std::string text = formatManifest(manifest);
    EXPECT_TRUE(text.starts_with("zarel-sounds 1\n"));
    EXPECT_EQ(parseManifest(text), manifest);
    EXPECT_EQ(parseManifest(text + "xyz\n12 notanumber wave/1/1.mp3\n\n" + std::string(900, 'a')),
              manifest);
    EXPECT_TRUE(parseManifest("zarel-sounds 2\n" + text.substr(15)).empty());
    EXPECT_TRUE(parseManifest("").empty());
}

} // namespace
