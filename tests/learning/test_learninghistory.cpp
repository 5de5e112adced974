// The learning history on SQLite: answers and states that survive reopening, damaged files set
// aside, a writer killed between answers, and the due-first draw over it.
#include "learning/core/duedraw.h"
#include "learning/core/learninghistory.h"
#include "support/testdictionary.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace zarel::learning;

namespace {

constexpr std::int64_t kNow = 1'800'000'000;
constexpr std::int64_t kDay = kSecondsPerDay;

std::string readAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeAll(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> damagedFiles(const std::string &folder)
{
    std::vector<std::string> found;
    for (const auto &e : std::filesystem::directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        if (name.rfind("Learning.sqlite.damaged-", 0) == 0)
            found.push_back(e.path().string());
    }
    return found;
}

} // namespace

TEST(LearningHistory, AnswersAndStatesSurviveReopening)
{
    zarel::test::TempDir dir;
    const std::string path = dir.file(kHistoryFileName);
    {
        LearningHistory h;
        ASSERT_TRUE(h.open(path, kNow));
        EXPECT_TRUE(h.notice().empty());
        EXPECT_TRUE(h.recordAnswer({ "book", true }, "method3", true, kNow));
        EXPECT_TRUE(h.recordAnswer({ "book", true }, "method4", true, kNow + 10));
        EXPECT_TRUE(h.recordAnswer({ "kitap", false }, "hangman", false, kNow + 20));
        // The same text in the other language is another word.
        EXPECT_TRUE(h.recordAnswer({ "book", false }, "method5", false, kNow + 30));
    }
    LearningHistory h;
    ASSERT_TRUE(h.open(path, kNow));
    const auto book = h.wordState({ "book", true });
    ASSERT_TRUE(book);
    EXPECT_EQ(*book, (WordState { 3, 2, 0, kNow + 10, kNow + 10 + 4 * kDay }));
    EXPECT_EQ(h.wordState({ "book", false })->box, 1);
    EXPECT_EQ(h.wordState({ "kitap", false })->wrong, 1);
    EXPECT_FALSE(h.wordState({ "kitap", true }));

    const auto rows = h.answersSince(kNow + 10);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].method, "method4");
    EXPECT_EQ(rows[1].key, (WordKey { "kitap", false }));
    EXPECT_FALSE(rows[1].right);
    EXPECT_EQ(rows[2].time, kNow + 30);
}

TEST(LearningHistory, ReviewOptionIsOffUntilSetAndKept)
{
    zarel::test::TempDir dir;
    const std::string path = dir.file(kHistoryFileName);
    {
        LearningHistory h;
        ASSERT_TRUE(h.open(path, kNow));
        EXPECT_FALSE(h.reviewDueFirst());
        EXPECT_TRUE(h.setReviewDueFirst(true));
        EXPECT_TRUE(h.reviewDueFirst());
    }
    LearningHistory h;
    ASSERT_TRUE(h.open(path, kNow));
    EXPECT_TRUE(h.reviewDueFirst());
    EXPECT_TRUE(h.setReviewDueFirst(false));
    EXPECT_FALSE(h.reviewDueFirst());
}

TEST(LearningHistory, DamagedFileIsSetAsideAndANewOneStarted)
{
    // A real history cut short, to stand for a file damaged on disc.
    std::string truncated;
    {
        zarel::test::TempDir dir;
        LearningHistory h;
        ASSERT_TRUE(h.open(dir.file(kHistoryFileName), kNow));
        for (int i = 0; i < 200; ++i)
            h.recordAnswer({ "word" + std::to_string(i), true }, "method3", i % 2 == 0, kNow + i);
        h.close();
        truncated = readAll(dir.file(kHistoryFileName));
        truncated.resize(truncated.size() / 2 + 100);
    }
    struct Case
    {
        const char *name;
        std::string bytes;
    };
    const Case cases[] = {
        { "garbage", std::string(5000, '\x5a') },
        { "text file", "word\tbox\nbook\t3\n" },
        { "database header only", std::string("SQLite format 3\0", 16) + std::string(84, '\xff') },
        { "truncated history", truncated },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        zarel::test::TempDir dir;
        const std::string path = dir.file(kHistoryFileName);
        writeAll(path, c.bytes);
        LearningHistory h;
        ASSERT_TRUE(h.open(path, kNow));
        EXPECT_NE(h.notice().find("set aside"), std::string::npos) << h.notice();
        const auto aside = damagedFiles(dir.path());
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(readAll(aside[0]), c.bytes);
        EXPECT_NE(h.notice().find(aside[0]), std::string::npos);
        EXPECT_EQ(h.noticeKind(), LearningHistory::NoticeKind::SetAside);
        EXPECT_EQ(h.asidePath(), aside[0]);
        EXPECT_TRUE(h.recordAnswer({ "book", true }, "method3", true, kNow));
        EXPECT_EQ(h.answersSince(0).size(), 1u);
        EXPECT_FALSE(h.takeNotice().empty());
        EXPECT_TRUE(h.notice().empty());
        EXPECT_EQ(h.noticeKind(), LearningHistory::NoticeKind::None);
    }
}

TEST(LearningHistory, EmptyOrMissingFileStartsQuietly)
{
    for (bool emptyFile : { false, true }) {
        zarel::test::TempDir dir;
        const std::string path = dir.file(kHistoryFileName);
        if (emptyFile)
            writeAll(path, "");
        LearningHistory h;
        ASSERT_TRUE(h.open(path, kNow));
        EXPECT_TRUE(h.notice().empty());
        EXPECT_TRUE(damagedFiles(dir.path()).empty());
        EXPECT_TRUE(h.recordAnswer({ "car", true }, "method4", false, kNow));
    }
}

TEST(LearningHistory, UnusableFolderDropsAnswersWithoutFailingHard)
{
    zarel::test::TempDir dir;
    LearningHistory h;
    EXPECT_FALSE(h.open(dir.file("missing/folder/") + kHistoryFileName, kNow));
    EXPECT_FALSE(h.notice().empty());
    EXPECT_EQ(h.noticeKind(), LearningHistory::NoticeKind::NotKept);
    EXPECT_FALSE(h.recordAnswer({ "car", true }, "method4", true, kNow));
    EXPECT_FALSE(h.wordState({ "car", true }));
    EXPECT_TRUE(h.answersSince(0).empty());
    EXPECT_FALSE(h.reviewDueFirst());
    EXPECT_FALSE(h.setReviewDueFirst(true));
}

// A writer killed with SIGKILL at an arbitrary moment keeps every answer it had committed.
TEST(LearningHistory, KillBetweenAnswersKeepsEveryEarlierAnswer)
{
    zarel::test::TempDir dir;
    const std::string path = dir.file(kHistoryFileName);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(fds[0]);
            LearningHistory h;
            if (!h.open(path, kNow))
                _exit(2);
            for (int i = 0;; ++i) {
                const std::string word = "r" + std::to_string(round) + "w" + std::to_string(i);
                if (!h.recordAnswer({ word, true }, "method3", i % 3 != 0, kNow + i))
                    _exit(3);
                // Told only after the commit returned.
                if (write(fds[1], &i, sizeof i) != static_cast<ssize_t>(sizeof i))
                    _exit(4);
            }
        }
        close(fds[1]);
        // Let the child commit a number of answers that grows with the round, then kill it
        // wherever it is.
        int acknowledged = -1;
        int value = 0;
        const int wanted = 20 + 37 * round;
        while (acknowledged < wanted && read(fds[0], &value, sizeof value) == sizeof value)
            acknowledged = value;
        kill(child, SIGKILL);
        // Answers acknowledged after we stopped reading count too.
        while (read(fds[0], &value, sizeof value) == sizeof value)
            acknowledged = value;
        close(fds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "child ended with " << WEXITSTATUS(status);

        LearningHistory h;
        ASSERT_TRUE(h.open(path, kNow));
        EXPECT_TRUE(h.notice().empty()) << h.notice();
        for (int i = 0; i <= acknowledged; ++i) {
            const std::string word = "r" + std::to_string(round) + "w" + std::to_string(i);
            ASSERT_TRUE(h.wordState({ word, true })) << word;
        }
        EXPECT_TRUE(h.recordAnswer({ "after", true }, "method3", true, kNow));
    }
}

TEST(DueFirstDraw, OptionOffLeavesTheDesignedDrawUnchanged)
{
    zarel::test::TempDir dir;
    LearningHistory h;
    ASSERT_TRUE(h.open(dir.file(kHistoryFileName), kNow));
    std::vector<WordKey> keys;
    for (int i = 0; i < 20; ++i)
        keys.push_back({ "w" + std::to_string(i), true });
    // Plenty of due words: the option alone decides.
    for (int i = 0; i < 20; i += 2)
        h.recordAnswer(keys[static_cast<size_t>(i)], "method3", false, kNow - 5 * kDay);

    std::mt19937 reference(12345);
    std::mt19937 drawn(12345);
    DueFirstDraw draw;
    for (int n = 0; n < 50; ++n) {
        const int expected = static_cast<int>(reference() % 20);
        const int got = draw.next(
            h, keys, {}, [&] { return static_cast<int>(drawn() % 20); }, kNow);
        ASSERT_EQ(got, expected) << "draw " << n;
    }
}

TEST(DueFirstDraw, OptionOnOffersDueWordsLowestBoxFirstThenTheDesignedDraw)
{
    zarel::test::TempDir dir;
    LearningHistory h;
    ASSERT_TRUE(h.open(dir.file(kHistoryFileName), kNow));
    ASSERT_TRUE(h.setReviewDueFirst(true));
    std::vector<WordKey> keys;
    for (int i = 0; i < 8; ++i)
        keys.push_back({ "w" + std::to_string(i), i % 2 == 0 });
    const auto answer = [&](int i, bool right, std::int64_t at) {
        ASSERT_TRUE(h.recordAnswer(keys[static_cast<size_t>(i)], "method4", right, at));
    };
    answer(5, true, kNow - 40 * kDay); // box 2, due long ago
    answer(5, true, kNow - 30 * kDay); // box 3, due 26 days ago
    answer(2, false, kNow - 3 * kDay); // box 1, due
    answer(6, false, kNow - 2 * kDay); // box 1, due, but later than entry 2
    answer(3, true, kNow); // box 2, not due
    answer(7, false, kNow - 2 * kDay); // box 1, due, ruled out below

    int listOrder = -1;
    DueFirstDraw draw;
    std::vector<int> got;
    for (int n = 0; n < 6; ++n) {
        got.push_back(draw.next(
            h, keys, [](int i) { return i != 7; }, [&] { return listOrder = (listOrder + 1) % 8; },
            kNow));
    }
    EXPECT_EQ(got, (std::vector<int> { 2, 6, 5, 0, 1, 2 }));
}
