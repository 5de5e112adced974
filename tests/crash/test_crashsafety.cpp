// Crash safety: the program is killed with SIGKILL at random moments while it stores added words,
// settings and the word list; after every kill each stored file must be exactly its old or its
// new version, nothing else in the tree may have changed, and `zarel-dict check` must pass.
//
// The kill times come from a fixed seed, printed at the start; ZAREL_CRASH_SEED sets another
// (a run repeats as far as timing allows). ZAREL_CRASH_KILLS changes the number of kills (200).
#include "crashplan.h"
#include "crashprocess.h"

#include "dictionary/collation.h"
#include "dictionary/configfile.h"
#include "dictionary/lettertabs.h"
#include "dictionary/twordrecord.h"
#include "rtf/rtfdocument.h"
#include "rtf/rtfreader.h"
#include "support/testdictionary.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;
using zarel::crash::environmentNumber;
using zarel::crash::execOrExit;
using zarel::crash::logText;
using zarel::crash::runTool;
using zarel::test::readFile;

enum Kind { Word = 0, Cfg = 1, List = 2 };
// The word list as the program keeps it between runs, in its own folder.
constexpr const char *kKeptListFile = "WordList.DIC";
constexpr const char *kKindNames[] = { "word", "cfg", "list" };

// How many stores of each kind the files hold, and which store the program does next.
struct Versions
{
    std::array<int, 3> done {};
    int phase = Word;
};

// The storing program as a child process whose stdout lines are read as they arrive.
class Child
{
public:
    struct Line
    {
        std::string text;
        Clock::time_point at;
    };

    Child(const std::string &program, const std::string &folder, const Versions &start,
          const std::string &stderrPath)
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return;
        const std::vector<std::string> args
            = { program, std::to_string(start.done[Word]), std::to_string(start.done[Cfg]),
                std::to_string(start.done[List]), std::to_string(start.phase) };
        m_pid = ::fork();
        if (m_pid == 0) {
            const int err = ::open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(fds[1], 1);
            if (err >= 0)
                ::dup2(err, 2);
            if (::chdir(folder.c_str()) != 0)
                ::_exit(126);
            execOrExit(args);
        }
        ::close(fds[1]);
        m_out = fds[0];
    }
    ~Child()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            reap();
        }
        if (m_out >= 0)
            ::close(m_out);
    }
    Child(const Child &) = delete;
    Child &operator=(const Child &) = delete;

    bool started() const { return m_pid > 0 && m_out >= 0; }

    // Reads lines until `deadline` (or, with `toFirstLine`, until a line has arrived); false
    // when the output ended first (the child is gone).
    bool readUntil(Clock::time_point deadline, bool toFirstLine = false)
    {
        while (!m_eof && !(toFirstLine && !m_lines.empty())) {
            const auto now = Clock::now();
            if (now >= deadline)
                return true;
            const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - now);
            timespec wait { static_cast<time_t>(left.count() / 1000000000),
                            static_cast<long>(left.count() % 1000000000) };
            pollfd p { m_out, POLLIN, 0 };
            const int r = ::ppoll(&p, 1, &wait, nullptr);
            if (r < 0 && errno != EINTR)
                return false;
            if (r > 0)
                readAvailable();
        }
        return !m_eof;
    }

    // Reads until the first line arrives; nullopt when the output ends or `limit` passes.
    std::optional<Line> firstLine(Clock::duration limit)
    {
        readUntil(Clock::now() + limit, true);
        if (m_lines.empty())
            return std::nullopt;
        return m_lines.front();
    }

    // SIGKILL, then every line written before it; returns the wait status.
    int killAndDrain()
    {
        ::kill(m_pid, SIGKILL);
        while (!m_eof) {
            pollfd p { m_out, POLLIN, 0 };
            if (::poll(&p, 1, 10000) <= 0)
                break;
            readAvailable();
        }
        return reap();
    }

    const std::vector<Line> &lines() const { return m_lines; }

private:
    void readAvailable()
    {
        char buffer[4096];
        const ssize_t n = ::read(m_out, buffer, sizeof buffer);
        if (n <= 0) {
            if (n == 0 || errno != EINTR)
                m_eof = true;
            return;
        }
        const auto now = Clock::now();
        m_partial.append(buffer, static_cast<size_t>(n));
        size_t end;
        while ((end = m_partial.find('\n')) != std::string::npos) {
            m_lines.push_back({ m_partial.substr(0, end), now });
            m_partial.erase(0, end + 1);
        }
    }
    int reap()
    {
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return status;
    }

    pid_t m_pid = -1;
    int m_out = -1;
    bool m_eof = false;
    std::string m_partial;
    std::vector<Line> m_lines;
};

// What one kill left behind.
struct KillOutcome
{
    std::array<int, 3> found {}; // the version of each stored file
    bool unreferencedArticle = false; // this kill left bytes no record points to
    std::vector<std::string> newTemporaries; // leftover temporary files first seen now
    std::vector<std::string> problems;
};

// Knows the tree as written and checks it after each kill.
class TreeVerifier
{
public:
    explicit TreeVerifier(const std::string &folder)
        : m_folder(folder)
        , m_index(relative(zarel::indexPath(folder, zarel::crash::kWordTab)))
        , m_articles(relative(zarel::articlePath(folder, zarel::crash::kWordTab, false)))
        , m_config(zarel::kConfigFileName)
        , m_list(zarel::crash::kListFileName)
    {
        for (const auto &e : fs::recursive_directory_iterator(folder)) {
            if (e.is_regular_file())
                m_snapshot[relative(e.path().string())] = readFile(e.path().string());
        }
        const std::string index = m_snapshot[m_index];
        for (size_t at = 0; at + zarel::kRecordSize <= index.size(); at += zarel::kRecordSize) {
            const std::string bytes = index.substr(at, zarel::kRecordSize);
            m_baseRecords[std::string(record(bytes).headword())] = bytes;
        }
        m_articleBytes = m_snapshot[m_articles];
    }

    // Checks every file against the announced versions; the store in progress (`inProgress`)
    // may have finished unannounced, every other file must be exactly as announced.
    KillOutcome verify(const Versions &announced, int inProgress)
    {
        KillOutcome out;
        const auto candidates = [&](int kind) {
            std::vector<int> c { announced.done[static_cast<size_t>(kind)] };
            if (kind == inProgress)
                c.push_back(c.front() + 1);
            return c;
        };
        out.found[Word] = checkIndex(candidates(Word), out);
        out.found[Cfg] = checkWhole(m_config, candidates(Cfg), zarel::crash::configFileBytes,
                                    "Dictionary.cfg", out);
        out.found[List] = checkWhole(m_list, candidates(List), zarel::crash::listFileBytes,
                                     "the list file", out);
        checkKeptList(candidates(List), out);
        checkOtherFiles(out);
        return out;
    }

private:
    static const zarel::TWordRecord &record(const std::string &bytes)
    {
        return *reinterpret_cast<const zarel::TWordRecord *>(bytes.data());
    }

    std::string relative(const std::string &path) const
    {
        return fs::relative(path, m_folder).string();
    }

    static std::vector<std::string> expectedHeadwords(const std::vector<std::string> &base, int k)
    {
        std::vector<std::string> all = base;
        for (int j = 1; j <= k; ++j)
            all.push_back(zarel::crash::addedWord(j));
        std::sort(all.begin(), all.end(), [](const std::string &a, const std::string &b) {
            return zarel::compareEnglish(a, b) < 0;
        });
        return all;
    }

    // The index of the word tab: the base records unchanged plus added words 1..k in dictionary
    // order, each pointing at its own article, appended after the previous word's.
    int checkIndex(const std::vector<int> &candidates, KillOutcome &out)
    {
        const std::string index = readFile(m_folder + "/" + m_index);
        const std::string articles = readFile(m_folder + "/" + m_articles);
        if (!articles.starts_with(m_articleBytes))
            out.problems.push_back("the user article file lost or changed bytes it held");
        const bool grew = articles.size() > m_articleBytes.size();
        m_articleBytes = articles;
        if (index.size() % zarel::kRecordSize != 0) {
            out.problems.push_back("the index ends in a partial record ("
                                   + std::to_string(index.size()) + " bytes)");
            return candidates.front();
        }
        std::vector<std::string> headwords;
        std::vector<std::string> base;
        for (const auto &[headword, bytes] : m_baseRecords)
            base.push_back(headword);
        std::map<std::string, int> numbers; // added headword -> its word number
        for (int j = 1; j <= candidates.back(); ++j)
            numbers[zarel::crash::addedWord(j)] = j;
        std::map<int, std::pair<int64_t, int64_t>> ranges; // word number -> offset, size
        for (size_t at = 0; at < index.size(); at += zarel::kRecordSize) {
            const std::string bytes = index.substr(at, zarel::kRecordSize);
            const zarel::TWordRecord &r = record(bytes);
            const std::string headword(r.headword());
            headwords.push_back(headword);
            if (r.isBase()) {
                const auto it = m_baseRecords.find(headword);
                if (it == m_baseRecords.end() || it->second != bytes)
                    out.problems.push_back("base record \"" + headword + "\" changed");
                continue;
            }
            const auto number = numbers.find(headword);
            const int j = number == numbers.end() ? 0 : number->second;
            const int64_t offset = r.ArticleOffset();
            const int64_t size = r.ArticleSize();
            if (j == 0) {
                out.problems.push_back("user record \"" + headword + "\" is no added word");
                continue;
            }
            if (offset < 0 || size <= 0 || offset + size > static_cast<int64_t>(articles.size())) {
                out.problems.push_back("the article range " + std::to_string(offset) + "+"
                                       + std::to_string(size) + " of \"" + headword
                                       + "\" lies outside the article file of "
                                       + std::to_string(articles.size()) + " bytes");
                continue;
            }
            ranges[j] = { offset, size };
            const std::string text = zarel::rtf::plainText(
                zarel::rtf::parse(std::string_view(articles).substr(offset, size)));
            if (text.find_first_not_of(" \r\n") != 0 || text.find(headword) != 0
                || text.find_first_not_of(" \r\n", headword.size()) != std::string::npos)
                out.problems.push_back("the article of \"" + headword + "\" reads \"" + text
                                       + "\"");
        }
        int64_t end = 0;
        for (const auto &[j, range] : ranges) {
            if (range.first < end)
                out.problems.push_back("the article of word " + std::to_string(j)
                                       + " overlaps an earlier one");
            end = range.first + range.second;
        }
        out.unreferencedArticle = grew && end < static_cast<int64_t>(articles.size());
        for (const int k : candidates) {
            if (headwords == expectedHeadwords(base, k))
                return k;
        }
        out.problems.push_back("the index holds " + std::to_string(headwords.size())
                               + " records, neither version (" + std::to_string(candidates.front())
                               + " or " + std::to_string(candidates.back()) + " added words)");
        return candidates.front();
    }

    // A file rewritten whole: exactly the bytes of one candidate version (version 0 of the list
    // is no file at all).
    template<typename Bytes>
    int checkWhole(const std::string &name, const std::vector<int> &candidates, Bytes bytesOf,
                   const std::string &what, KillOutcome &out)
    {
        const std::string path = m_folder + "/" + name;
        const bool present = fs::exists(path);
        const std::string bytes = present ? readFile(path) : std::string();
        for (const int v : candidates) {
            if ((name == m_list && v == 0) ? !present : (present && bytes == bytesOf(v)))
                return v;
        }
        std::string shown = present ? "\"" + bytes + "\"" : "no file";
        std::replace(shown.begin(), shown.end(), '\r', '~');
        std::replace(shown.begin(), shown.end(), '\n', '|');
        out.problems.push_back(what + " is neither version " + std::to_string(candidates.front())
                               + " nor " + std::to_string(candidates.back()) + ": " + shown);
        return candidates.front();
    }

    // The list the program may keep between runs (kKeptListFile), when it keeps one: a whole
    // list of a candidate version, or of the step inside a list store where the oldest entry has
    // been deleted and the new one not yet added.
    void checkKeptList(const std::vector<int> &candidates, KillOutcome &out)
    {
        const std::string path = m_folder + "/" + kKeptListFile;
        if (!fs::exists(path))
            return;
        const std::string bytes = readFile(path);
        for (const int v : candidates) {
            std::vector<std::string> entries = zarel::crash::listEntries(v);
            const auto bytesOf = [](const std::vector<std::string> &list) {
                std::string b;
                for (const std::string &e : list)
                    b += e + "\r\n";
                return b;
            };
            if (bytes == bytesOf(entries))
                return;
            if (v > 0) {
                // Inside store v: the list of v - 1 without its oldest entry.
                entries = zarel::crash::listEntries(v - 1);
                if (entries.size() == static_cast<size_t>(zarel::crash::kListWindow)) {
                    entries.erase(entries.begin());
                    if (bytes == bytesOf(entries))
                        return;
                }
            }
        }
        out.problems.push_back(std::string(kKeptListFile) + " holds no version of the list");
    }

    // Every other file is as written; a new file may only be a temporary of a stored file.
    void checkOtherFiles(KillOutcome &out)
    {
        const std::string stored[] = { m_index, m_articles, m_config, m_list, kKeptListFile };
        std::set<std::string> seen;
        for (const auto &e : fs::recursive_directory_iterator(m_folder)) {
            if (!e.is_regular_file())
                continue;
            const std::string name = relative(e.path().string());
            // The spoken sounds of the added words come from builder processes of their own,
            // which may still be writing after the kill.
            if (name.starts_with("usersound/"))
                continue;
            seen.insert(name);
            if (std::find(std::begin(stored), std::end(stored), name) != std::end(stored))
                continue;
            const auto it = m_snapshot.find(name);
            if (it != m_snapshot.end()) {
                if (readFile(e.path().string()) != it->second)
                    out.problems.push_back(name + " changed");
                continue;
            }
            const bool temporary
                = std::any_of(std::begin(stored), std::end(stored),
                              [&](const std::string &s) { return name.starts_with(s + ".tmp"); });
            if (!temporary)
                out.problems.push_back("unexpected file " + name);
            else if (m_temporaries.insert(name).second)
                out.newTemporaries.push_back(name);
        }
        for (const auto &[name, bytes] : m_snapshot) {
            if (!seen.contains(name))
                out.problems.push_back(name + " is gone");
        }
    }

    const std::string m_folder;
    const std::string m_index;
    const std::string m_articles;
    const std::string m_config;
    const std::string m_list;
    std::map<std::string, std::string> m_snapshot; // relative path -> bytes, as written
    std::map<std::string, std::string> m_baseRecords; // headword -> record bytes
    std::string m_articleBytes; // the user article file as last seen
    std::set<std::string> m_temporaries;
};

// Tallies of the kills, printed at the end.
struct Tally
{
    std::array<int, 3> inProgress {};
    std::array<int, 3> finishedUnannounced {};
    int beforeFirstStore = 0;
    int unreferencedArticles = 0;
    std::map<std::string, int> temporaries; // stored file -> leftover temporaries
    double storeMs = 10; // running mean of the time between two announced stores
    int storeGaps = 0;
    double startMs = 0;

    void addGap(double ms)
    {
        ++storeGaps;
        storeMs += (ms - storeMs) / std::min(storeGaps, 50);
    }
};

} // namespace

TEST(CrashSafety, ZarelDictCheckAcceptsAnArticleNoRecordPointsTo)
{
    // A store appends the article first and then replaces the index, so a kill between the two
    // leaves bytes (possibly half an article) at the end of the user article file.
    zarel::test::TempDir tree;
    zarel::test::TempDir logs;
    zarel::test::writeTestDictionary(tree.path(), zarel::crash::baseTabs());
    ASSERT_FALSE(HasFatalFailure());
    const std::string articles = zarel::articlePath(tree.path(), zarel::crash::kWordTab, false);
    zarel::test::writeFile(articles, "{\\rtf1\\ansi wqx");
    const std::string log = logs.file("check.log");
    EXPECT_EQ(runTool({ ZAREL_DICT_TOOL, "check", tree.path() }, log), 0) << logText(log);
}

TEST(CrashSafety, EveryKillLeavesTheOldOrTheNewFiles)
{
    const int kills = environmentNumber("ZAREL_CRASH_KILLS", 200);
    const unsigned seed = zarel::crash::crashSeed();
    std::cout << "seed " << seed << " (ZAREL_CRASH_SEED), " << kills << " kills" << std::endl;
    std::mt19937 random(seed);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);

    zarel::test::TempDir tree;
    zarel::test::TempDir logs;
    const std::string checkLog = logs.file("check.log");
    const std::string childLog = logs.file("storer.log");
    zarel::test::writeTestDictionary(tree.path(), zarel::crash::baseTabs());
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(runTool({ ZAREL_DICT_TOOL, "check", tree.path() }, checkLog), 0) << logText(checkLog);
    TreeVerifier verifier(tree.path());

    Versions state;
    Tally tally;
    const auto began = Clock::now();
    for (int number = 1; number <= kills; ++number) {
        Child child(ZAREL_CRASH_STORER, tree.path(), state, childLog);
        ASSERT_TRUE(child.started());
        const auto started = Clock::now();
        const auto ready = child.firstLine(std::chrono::seconds(30));
        ASSERT_TRUE(ready && ready->text == "ready")
            << "kill " << number << ": the program did not start\n"
            << logText(childLog);
        tally.startMs += std::chrono::duration<double, std::milli>(ready->at - started).count();

        // Kills spread over about six stores, so each kind of store is hit about as often.
        const double windowMs = std::clamp(tally.storeMs * 6, 1.0, 500.0);
        const double delayMs = std::uniform_real_distribution<double>(0, windowMs)(random);
        const bool alive = child.readUntil(ready->at
                                           + std::chrono::duration_cast<Clock::duration>(
                                               std::chrono::duration<double, std::milli>(delayMs)));
        const int status = child.killAndDrain();
        ASSERT_TRUE(alive && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "kill " << number << ": the program ended by itself\n"
            << logText(childLog);

        Versions announced = state;
        int phase = state.phase;
        const auto &lines = child.lines();
        for (size_t i = 1; i < lines.size(); ++i) {
            const std::string expected = std::string(kKindNames[phase]) + " "
                + std::to_string(announced.done[static_cast<size_t>(phase)] + 1);
            ASSERT_EQ(lines[i].text, expected) << "kill " << number;
            ++announced.done[static_cast<size_t>(phase)];
            phase = (phase + 1) % 3;
            tally.addGap(
                std::chrono::duration<double, std::milli>(lines[i].at - lines[i - 1].at).count());
        }

        const KillOutcome out = verifier.verify(announced, phase);
        std::ostringstream problems;
        for (const std::string &p : out.problems)
            problems << "  " << p << "\n";
        ASSERT_TRUE(out.problems.empty())
            << "kill " << number << " (seed " << seed << ", " << delayMs << " ms after start-up, "
            << kKindNames[phase] << " store in progress):\n"
            << problems.str();
        ASSERT_EQ(runTool({ ZAREL_DICT_TOOL, "check", tree.path() }, checkLog), 0)
            << "kill " << number << " (seed " << seed << "):\n"
            << logText(checkLog);

        const bool finished
            = out.found[static_cast<size_t>(phase)] > announced.done[static_cast<size_t>(phase)];
        ++tally.inProgress[static_cast<size_t>(phase)];
        tally.finishedUnannounced[static_cast<size_t>(phase)] += finished ? 1 : 0;
        tally.beforeFirstStore += lines.size() == 1 ? 1 : 0;
        tally.unreferencedArticles += out.unreferencedArticle ? 1 : 0;
        for (const std::string &t : out.newTemporaries)
            ++tally.temporaries[t.substr(0, t.rfind(".tmp"))];
        state.done = out.found;
        state.phase = finished ? (phase + 1) % 3 : phase;
    }

    const double seconds = std::chrono::duration<double>(Clock::now() - began).count();
    std::cout << kills << " kills in " << seconds << " s (start-up " << tally.startMs / kills
              << " ms on average, " << tally.storeMs << " ms between stores)\n";
    for (int k = Word; k <= List; ++k)
        std::cout << "  " << kKindNames[k] << " store in progress: " << tally.inProgress[k]
                  << " kills, of which " << tally.finishedUnannounced[k]
                  << " found the store finished but unannounced\n";
    std::cout << "  before the first store of a run: " << tally.beforeFirstStore << "\n"
              << "  an article with no record left at the end of the article file: "
              << tally.unreferencedArticles << "\n"
              << "  stored: " << state.done[Word] << " words, " << state.done[Cfg] << " settings, "
              << state.done[List] << " lists; zarel-dict check passed after " << kills
              << " kills\n";
    for (const auto &[file, count] : tally.temporaries)
        std::cout << "  leftover temporaries of " << file << ": " << count << "\n";
}
