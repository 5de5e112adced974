// Sounds of the words a user adds: the speak command for one word, its failures, and rebuilds
// of the data folder, which keep those sounds and make the ones that are missing.
#include "zarel-dict/cli.h"
#include "zarel-dict/soundstage.h"

#include "dictionary/codepage1254.h"
#include "dictionary/lettertabs.h"
#include "dictionary/userentries.h"
#include "dictionary/usersound.h"
#include "fakesource.h"
#include "mp3testutil.h"
#include "support/testdictionary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include <sys/stat.h>

using namespace zarel;
using namespace zarel::dicttool;

namespace {

struct Outcome
{
    int exitCode;
    std::string err;
};

Outcome run(const std::vector<std::string> &args)
{
    std::ostringstream out;
    std::ostringstream err;
    const int code = runCommandLine(args, out, err);
    return { code, err.str() };
}

// Every file under `folder`, relative to it.
std::vector<std::string> filesUnder(const std::string &folder)
{
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto &e : std::filesystem::recursive_directory_iterator(folder, ec))
        if (e.is_regular_file())
            files.push_back(std::filesystem::relative(e.path(), folder).string());
    std::sort(files.begin(), files.end());
    return files;
}

ino_t inodeOf(const std::string &path)
{
    struct stat st
    {
    };
    ::stat(path.c_str(), &st);
    return st.st_ino;
}

void expectSpokenWord(const std::string &path)
{
    const test::DecodedMp3 mp3 = test::decodeMp3File(path);
    ASSERT_TRUE(mp3.ok) << path << ": " << mp3.error;
    EXPECT_EQ(mp3.rate, 22050) << path;
    EXPECT_EQ(mp3.channels, 1) << path;
    EXPECT_GT(mp3.pcm.size(), 22050u / 5) << path;
    EXPECT_GT(test::peakOf(mp3.pcm), 2000) << path;
}

struct SpeakCase
{
    const char *name;
    std::vector<std::string> args; // after "speak DIR"
    int exitCode;
    std::string file; // the one file written, relative to DIR; empty: none
};

} // namespace

TEST(SpeakCommand, WritesOneSpokenWordOrNothing)
{
    const SpeakCase cases[] = {
        { "tab by number", { "7", "hello world" }, 0, "usersound/8/hello_20world.mp3" },
        { "tab by letter, slashes and dots stay in the name",
          { "h", "İstanbul/../x" },
          0,
          "usersound/8/_ddstanbul_2f_2e_2e_2fx.mp3" },
        { "last English tab", { "25", "Zulu" }, 0, "usersound/26/_5aulu.mp3" },
        { "Turkish tab", { "30", "elma" }, 1, "" },
        { "no such tab", { "56", "apple" }, 1, "" },
        { "empty word", { "0", "" }, 1, "" },
        { "outside code page 1254", { "0", "日本" }, 1, "" },
        { "missing word", { "0" }, 1, "" },
    };
    for (const SpeakCase &c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        std::vector<std::string> args { "speak", dir.path() };
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Outcome r = run(args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        if (c.file.empty()) {
            EXPECT_EQ(filesUnder(dir.path()), std::vector<std::string> {});
            continue;
        }
        EXPECT_EQ(filesUnder(dir.path()), std::vector<std::string> { c.file });
        expectSpokenWord(dir.file(c.file));
    }
}

TEST(SpeakCommand, AFailureLeavesNoFileOfTheWord)
{
    // No voice to speak with.
    test::TempDir dir;
    SoundSettings noVoice;
    noVoice.words.voice = "no-such-voice";
    EXPECT_FALSE(makeUserSound(dir.path(), 0, "apple", noVoice).ok());
    EXPECT_EQ(filesUnder(dir.path()), std::vector<std::string> {});

    // The sound cannot be renamed into place (a folder holds its name): no temporary stays.
    const std::string taken = dir.file(userSoundPath(0, "apple"));
    std::filesystem::create_directories(taken);
    EXPECT_EQ(makeUserSound(dir.path(), 0, "apple").code, ErrorCode::WriteError);
    EXPECT_EQ(filesUnder(dir.path()), std::vector<std::string> {});

    // The tab's folder cannot be made.
    test::TempDir other;
    test::writeFile(other.file("usersound"), "not a folder");
    EXPECT_EQ(run({ "speak", other.path(), "0", "apple" }).exitCode, 1);
    EXPECT_EQ(filesUnder(other.path()), std::vector<std::string> { "usersound" });
}

TEST(SpeakCommand, RebuildsKeepTheUserSoundsAndMakeTheMissingOnes)
{
    test::TempDir source;
    test::writeFakeSource(source.path());
    test::TempDir tree;
    const std::string out = tree.path() + "/data";
    ASSERT_EQ(run({ "build", "--source", source.path(), out }).exitCode, 0);

    // Words the user added: one twice, one on a Turkish tab.
    const std::string apricot = "apricot";
    const std::string zed = cp1254::fromUtf8("Zed çay");
    for (const auto &[tab, word] : std::vector<std::pair<int, std::string>> {
             { 0, apricot }, { 0, apricot }, { 25, zed }, { 30, "elma" } })
        ASSERT_TRUE(storeUserEntry(out, tab, word, "{\\rtf1 " + word + "}").ok());
    ASSERT_EQ(run({ "speak", out, "a", apricot }).exitCode, 0);
    const std::string apricotSound = out + "/" + userSoundPath(0, apricot);
    const std::string zedSound = out + "/" + userSoundPath(25, zed);
    const ino_t spoken = inodeOf(apricotSound);

    // A data update with shared sounds rebuilds only the dictionary.
    Outcome r = run({ "build", "--stages", "dictionary", "--source", source.path(), out });
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(inodeOf(apricotSound), spoken);
    EXPECT_FALSE(test::exists(zedSound));

    // A full build keeps the sound that is there and makes the missing one.
    r = run({ "build", "--source", source.path(), out });
    ASSERT_EQ(r.exitCode, 0) << r.err;
    expectSpokenWord(apricotSound);
    expectSpokenWord(zedSound);
    EXPECT_EQ(filesUnder(out + "/usersound"),
              (std::vector<std::string> { "1/apricot.mp3", "26/_5aed_20_e7ay.mp3" }));

    // Later builds, with sounds or without, leave both as they are.
    const ino_t apricotNow = inodeOf(apricotSound);
    const ino_t zedNow = inodeOf(zedSound);
    for (const std::vector<std::string> &options :
         { std::vector<std::string> { "--source", source.path() },
           std::vector<std::string> { "--no-sound", "--source", source.path() } }) {
        std::vector<std::string> args { "build" };
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(out);
        ASSERT_EQ(run(args).exitCode, 0);
        EXPECT_EQ(inodeOf(apricotSound), apricotNow);
        EXPECT_EQ(inodeOf(zedSound), zedNow);
    }
}
