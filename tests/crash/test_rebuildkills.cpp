// Kills during a rebuild of the data folder: the real launcher, started over a folder that holds
// words the user added, finds a newer data version and rebuilds; its whole process group is killed
// with SIGKILL at random moments. After every kill each tab's index must be its old or its new
// version with every user record, every user word must read back, the user article files and the
// user's other files must be untouched, and once a start finishes the rebuild `zarel-dict check`
// must pass. The kills are counted by the step of the rebuild they landed in.
//
// The kill times come from a fixed seed (printed); ZAREL_CRASH_SEED sets another, and
// ZAREL_CRASH_REBUILD_KILLS the number of kills (60).
#include "crashprocess.h"

#include "dictionary/codepage1254.h"
#include "dictionary/dictionaryindex.h"
#include "dictionary/lettertabs.h"
#include "dictionary/tcryptstream.h"
#include "dictionary/userentries.h"
#include "dictionary/userrecords.h"
#include "fakesource.h"
#include "support/testdictionary.h"

#include <array>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <thread>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;
using zarel::test::readFile;
using zarel::test::writeFile;
using Indexes = std::array<std::string, zarel::kTabCount>;

// English words per letter of the generated source: enough that writing the 56 tabs takes a
// noticeable share of a rebuild.
constexpr int kPerLetter = 150;

struct UserWord
{
    int tab;
    const char *utf8;
};
// On English and Turkish tabs; "aaab" is a base headword of every edition, "wzzz" of the even
// ones only, "şeker" is added twice.
const UserWord kUserWords[]
    = { { 0, "aaab" },   { 0, "ab" },     { 2, "czar" },   { 22, "wzzz" }, { 25, "zebra" },
        { 29, "çorap" }, { 36, "İzmir" }, { 47, "şeker" }, { 47, "şeker" } };

std::string userArticle(const std::string &cp1254Word)
{
    return "{\\rtf1\\ansi\\ansicpg1254 " + cp1254Word + " user\\par}";
}

std::string indexBytes(const std::vector<zarel::TWordRecord> &records)
{
    std::string out;
    for (const zarel::TWordRecord &r : records)
        out.append(reinterpret_cast<const char *>(&r), sizeof r);
    return out;
}

std::vector<zarel::TWordRecord> recordsOf(const std::string &index)
{
    std::vector<zarel::TWordRecord> out(index.size() / zarel::kRecordSize);
    for (size_t i = 0; i < out.size(); ++i)
        std::memcpy(&out[i], index.data() + i * zarel::kRecordSize, zarel::kRecordSize);
    return out;
}

std::string readOrEmpty(const std::string &path)
{
    return zarel::test::exists(path) ? readFile(path) : std::string();
}

// The index files of one edition, as a clean build writes them.
struct Edition
{
    Indexes index;
};

enum Step { BeforeFirstIndex, InsideATab, BetweenTabs, AfterLastIndex, AfterStamp, StepCount };
constexpr const char *kStepNames[] = {
    "before the first index was replaced (start-up, reading the sources, the first tab's files)",
    "inside a tab: its base article file replaced, its index not yet",
    "between two tabs: some indexes replaced, others not yet",
    "after the last index, before the stamp (content stage, stamp)",
    "after the stamp (the program starting)",
};

class RebuildKills : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_data = m_home.path() + "/data";
        m_source = m_home.path() + "/source";
        fs::create_directories(m_source);
        m_program = fs::canonical(ZAREL_PROGRAM).string();
        for (int e = 1; e <= 2; ++e)
            buildReference(e);
    }

    // A clean build of edition `e` (the dictionary stage only) gives its base files.
    void buildReference(int e)
    {
        const std::string source = m_home.path() + "/ref-source-" + std::to_string(e);
        const std::string tree = m_home.path() + "/ref-" + std::to_string(e);
        fs::create_directories(source);
        zarel::test::writeGeneratedSource(source, kPerLetter, e);
        const std::string log = m_logs.file("reference.log");
        ASSERT_EQ(zarel::crash::runTool({ ZAREL_DICT_TOOL, "build", "--stages", "dictionary",
                                          "--source", source, tree },
                                        log),
                  0)
            << zarel::crash::logText(log);
        Edition &ed = m_editions[static_cast<size_t>(e - 1)];
        for (int t = 0; t < zarel::kTabCount; ++t)
            ed.index[static_cast<size_t>(t)] = readFile(zarel::indexPath(tree, t));
    }

    const Edition &edition(int e) const { return m_editions[static_cast<size_t>((e + 1) % 2)]; }

    std::map<std::string, std::string> launcherEnvironment(int version) const
    {
        return { { "ZAREL_DATA_DIR", m_data },
                 { "ZAREL_DATA_VERSION_SUFFIX", "+rebuild" + std::to_string(version) },
                 { "ZAREL_BUILD_OPTIONS", "--no-sound --source " + m_source },
                 { "QT_QPA_PLATFORM", "offscreen" },
                 { "DISPLAY", "" } };
    }

    std::string expectedStamp(int version) const
    {
        const std::string log = m_logs.file("version.log");
        ::setenv("ZAREL_DATA_VERSION_SUFFIX", ("+rebuild" + std::to_string(version)).c_str(), 1);
        zarel::crash::runTool({ ZAREL_DICT_TOOL, "--data-version" }, log);
        ::unsetenv("ZAREL_DATA_VERSION_SUFFIX");
        return readFile(log);
    }

    // Every index as the rebuild of edition `e` must leave it: the edition's base records with
    // the user records merged in.
    Indexes expectedIndexes(int e) const
    {
        Indexes out;
        for (int t = 0; t < zarel::kTabCount; ++t) {
            const auto it = m_userRecords.find(t);
            const auto base = recordsOf(edition(e).index[static_cast<size_t>(t)]);
            out[static_cast<size_t>(t)] = it == m_userRecords.end()
                ? indexBytes(base)
                : indexBytes(zarel::mergeUserRecords(t, base, it->second));
        }
        return out;
    }

    Indexes currentIndexes() const
    {
        Indexes out;
        for (int t = 0; t < zarel::kTabCount; ++t)
            out[static_cast<size_t>(t)] = readOrEmpty(zarel::indexPath(m_data, t));
        return out;
    }

    // The inode of each index and base article file: a file replaced by a rename has a new one.
    std::array<ino_t, 2 * zarel::kTabCount> inodes() const
    {
        std::array<ino_t, 2 * zarel::kTabCount> out {};
        for (int t = 0; t < zarel::kTabCount; ++t) {
            const auto i = static_cast<size_t>(t);
            for (const int base : { 0, 1 }) {
                struct stat st
                {
                };
                const std::string path
                    = base ? zarel::articlePath(m_data, t, true) : zarel::indexPath(m_data, t);
                out[2 * i + static_cast<size_t>(base)]
                    = ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
            }
        }
        return out;
    }

    // The user's files and words after a kill; the step of this start's rebuild the kill landed
    // in, told by the files this start replaced (`startInodes` were taken before it).
    Step verify(const Indexes &before, const Indexes &after,
                const std::array<ino_t, 2 * zarel::kTabCount> &startInodes,
                const std::string &stamp, std::vector<std::string> &problems)
    {
        for (const auto &[path, bytes] : m_userFiles) {
            if (readOrEmpty(path) != bytes)
                problems.push_back(path + " changed");
        }
        for (int t = 0; t < zarel::kTabCount; ++t) {
            const auto i = static_cast<size_t>(t);
            const std::string index = readOrEmpty(zarel::indexPath(m_data, t));
            if (index != before[i] && index != after[i])
                problems.push_back("the index of tab " + std::to_string(t)
                                   + " is neither its old nor its new version ("
                                   + std::to_string(index.size()) + " bytes)");
        }
        const auto now = inodes();
        int replaced = 0;
        bool baseAhead = false;
        for (size_t i = 0; i < static_cast<size_t>(zarel::kTabCount); ++i) {
            const bool index = now[2 * i] != startInodes[2 * i];
            replaced += index ? 1 : 0;
            baseAhead |= !index && now[2 * i + 1] != startInodes[2 * i + 1];
        }
        // Every user word reads back through the index and article stream as the program reads.
        zarel::DictionaryIndex loaded;
        for (const auto &[tab, records] : m_userRecords) {
            if (!loaded.loadTab(m_data, tab).ok()) {
                problems.push_back("tab " + std::to_string(tab) + " does not load");
                continue;
            }
            size_t found = 0;
            for (const zarel::TWordRecord *r : loaded.tab(tab).entries) {
                if (r->isBase())
                    continue;
                ++found;
                if (zarel::readArticle(m_data, tab, *r) != userArticle(std::string(r->headword())))
                    problems.push_back("the user word \"" + zarel::cp1254::toUtf8(r->headword())
                                       + "\" reads back wrong");
            }
            if (found != records.size())
                problems.push_back("tab " + std::to_string(tab) + " holds " + std::to_string(found)
                                   + " user words instead of " + std::to_string(records.size()));
        }
        if (readOrEmpty(m_data + "/.zarel-data-version") == stamp)
            return AfterStamp;
        if (replaced == zarel::kTabCount)
            return AfterLastIndex;
        if (baseAhead)
            return InsideATab;
        return replaced == 0 ? BeforeFirstIndex : BetweenTabs;
    }

    zarel::test::TempDir m_home;
    zarel::test::TempDir m_logs;
    std::string m_data;
    std::string m_source;
    std::string m_program;
    std::array<Edition, 2> m_editions; // odd, even
    std::map<int, std::vector<zarel::TWordRecord>> m_userRecords; // tab -> its user records
    std::map<std::string, std::string> m_userFiles; // path -> bytes the rebuild must keep
};

TEST_F(RebuildKills, EveryUserWordSurvivesKillsAtAnyMoment)
{
    const int kills = zarel::crash::environmentNumber("ZAREL_CRASH_REBUILD_KILLS", 60);
    const unsigned seed = zarel::crash::crashSeed();
    std::cout << "seed " << seed << " (ZAREL_CRASH_SEED), " << kills << " kills" << std::endl;
    std::mt19937 random(seed);
    ASSERT_FALSE(HasFatalFailure());
    const std::string launcherLog = m_logs.file("launcher.log");

    // Runs the launcher until it starts the program or `killAfter` passes; true when it got to
    // the program. A launcher that ends by itself fails the test.
    double meanRunMs = 0;
    int runs = 0;
    const auto start = [&](int version, std::optional<double> killAfterMs, bool &completed) {
        zarel::crash::ProcessGroup launcher({ ZAREL_LAUNCHER }, launcherLog,
                                            launcherEnvironment(version));
        ASSERT_TRUE(launcher.started());
        const auto began = Clock::now();
        const auto deadline = killAfterMs
            ? began
                + std::chrono::duration_cast<Clock::duration>(
                    std::chrono::duration<double, std::milli>(*killAfterMs))
            : began + std::chrono::minutes(4);
        completed = false;
        while (Clock::now() < deadline) {
            if (launcher.leaderProgram() == m_program) {
                completed = true;
                break;
            }
            int status = 0;
            ASSERT_FALSE(launcher.ended(&status))
                << "the launcher ended by itself (status " << status << ")\n"
                << zarel::crash::logText(launcherLog);
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        if (completed) {
            const double ms
                = std::chrono::duration<double, std::milli>(Clock::now() - began).count();
            ++runs;
            meanRunMs += (ms - meanRunMs) / runs;
        }
        launcher.killAll();
    };

    // The first start prepares the folder (edition 1); then the user adds words and writes files.
    zarel::test::writeGeneratedSource(m_source, kPerLetter, 1);
    bool completed = false;
    start(0, std::nullopt, completed);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(completed) << zarel::crash::logText(launcherLog);
    for (const UserWord &w : kUserWords) {
        const std::string word = zarel::cp1254::fromUtf8(w.utf8);
        zarel::TWordRecord stored;
        ASSERT_TRUE(zarel::storeUserEntry(m_data, w.tab, word, userArticle(word), &stored).ok());
        m_userRecords[w.tab].push_back(stored);
    }
    for (const auto &[tab, records] : m_userRecords) {
        const std::string path = zarel::articlePath(m_data, tab, false);
        m_userFiles[path] = readFile(path);
    }
    for (const auto &[name, bytes] :
         std::map<std::string, std::string> { { "Dictionary.cfg", "10101\r\n" },
                                              { "words.DIC", "aaab*\r\n\xE7orap\r\n" },
                                              { "notes/mine.txt", "my own file" } }) {
        fs::create_directories(fs::path(m_data + "/" + name).parent_path());
        writeFile(m_data + "/" + name, bytes);
        m_userFiles[m_data + "/" + name] = bytes;
    }
    Indexes before = currentIndexes();
    ASSERT_EQ(before, expectedIndexes(1)) << "stored words are not where a rebuild puts them";

    std::array<int, StepCount> steps {};
    int version = 1;
    int newEdition = 2;
    int rebuilds = 0;
    int attempts = 0;
    zarel::test::writeGeneratedSource(m_source, kPerLetter, newEdition);
    Indexes after = expectedIndexes(newEdition);
    std::string stamp = expectedStamp(version);
    for (int kill = 0; kill < kills || !completed;) {
        // Kills spread over a little more than a whole rebuild; after the last kill one start
        // is left to finish.
        const std::optional<double> delay = kill < kills
            ? std::optional<double>(
                std::uniform_real_distribution<double>(0, std::max(50.0, meanRunMs * 1.3))(random))
            : std::nullopt;
        ++attempts;
        const auto startInodes = inodes();
        start(version, delay, completed);
        ASSERT_FALSE(HasFatalFailure());
        std::vector<std::string> problems;
        const Step step = verify(before, after, startInodes, stamp, problems);
        std::ostringstream shown;
        for (const std::string &p : problems)
            shown << "  " << p << "\n";
        ASSERT_TRUE(problems.empty()) << "start " << attempts << " (seed " << seed << ", "
                                      << (delay ? *delay : -1) << " ms):\n"
                                      << shown.str();
        if (!completed) {
            ++kill;
            ++steps[step];
        }
        if (step != AfterStamp)
            continue;
        // The rebuild finished: the whole tree is the new edition with the user's words.
        ASSERT_EQ(currentIndexes(), after);
        const std::string checkLog = m_logs.file("check.log");
        ASSERT_EQ(zarel::crash::runTool({ ZAREL_DICT_TOOL, "check", m_data }, checkLog), 0)
            << zarel::crash::logText(checkLog);
        ++rebuilds;
        before = after;
        newEdition = 3 - newEdition;
        zarel::test::writeGeneratedSource(m_source, kPerLetter, newEdition);
        after = expectedIndexes(newEdition);
        stamp = expectedStamp(++version);
        completed = kill >= kills; // the last rebuild has been finished
    }

    std::cout << kills << " kills in " << attempts << " starts of the launcher, " << rebuilds
              << " rebuilds finished (" << meanRunMs << " ms for a whole start)\n";
    for (int s = 0; s < StepCount; ++s)
        std::cout << "  " << kStepNames[s] << ": " << steps[static_cast<size_t>(s)] << "\n";
    std::cout << "  every user word read back after every kill; zarel-dict check passed after "
              << rebuilds << " rebuilds\n";
}

} // namespace
