// The learning history: every answer judged by a method or the hangman, the Leitner state of
// each word and the history's own settings, kept in an SQLite file in the data folder.
#pragma once

#include "learning/core/leitner.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace zarel::learning {

// A word of the history: its text (UTF-8, as the word list shows it) and its language.
struct WordKey
{
    std::string word;
    bool english = true;
    bool operator==(const WordKey &) const = default;
};

// One judged answer.
struct AnswerRow
{
    WordKey key;
    std::string method; // "method3", "method4", "method5", "hangman"
    bool right = false;
    std::int64_t time = 0; // seconds since the Unix epoch
};

// The file name of the history inside the data folder.
inline constexpr const char *kHistoryFileName = "Learning.sqlite";

// An open history file. Every change is one transaction, so a process killed at any moment
// loses at most the answer being written. Not thread-safe: one thread uses it.
class LearningHistory
{
public:
    LearningHistory() = default;
    ~LearningHistory();
    LearningHistory(const LearningHistory &) = delete;
    LearningHistory &operator=(const LearningHistory &) = delete;

    // Opens the history at `path`, creating it when missing. A file that is not a readable
    // history (garbage, truncated, damaged) is renamed to `path` + ".damaged-<local time>" and a
    // new history started; notice() then says where the old one went. False when no history
    // can be kept at all (for example a folder that cannot be written): every later call then
    // does nothing and reports failure, and notice() says why.
    bool open(const std::string &path, std::int64_t now);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    const std::string &path() const { return m_path; }
    // A message for the user about the last open (a set-aside or unusable file); empty when
    // the open went as usual. takeNotice() returns it once.
    const std::string &notice() const { return m_notice; }
    std::string takeNotice();
    // What the notice is about, so that a window can say it in the interface language.
    enum class NoticeKind { None, SetAside, NotKept };
    NoticeKind noticeKind() const { return m_noticeKind; }
    // Where a damaged file was set aside (with NoticeKind::SetAside).
    const std::string &asidePath() const { return m_asidePath; }

    // Records an answer to `key` by `method` at `now` and moves the word's box by the rules of
    // applyAnswer(), in one transaction. False when nothing could be written.
    bool recordAnswer(const WordKey &key, const std::string &method, bool right, std::int64_t now);

    // The state of a word; empty for a word never answered (or without a history).
    std::optional<WordState> wordState(const WordKey &key) const;
    // The states of many words, in the order given.
    std::vector<std::optional<WordState>> wordStates(const std::vector<WordKey> &keys) const;
    // The answers given at or after `since`, oldest first.
    std::vector<AnswerRow> answersSince(std::int64_t since) const;

    // The history's own settings (key/value text).
    std::optional<std::string> setting(const std::string &key) const;
    bool setSetting(const std::string &key, const std::string &value);
    // The option "review due words first"; off unless set.
    bool reviewDueFirst() const;
    bool setReviewDueFirst(bool on);

private:
    bool openFresh(const std::string &path);
    bool prepareSchema();
    void setAside(std::int64_t now);
    bool exec(const char *sql);

    sqlite3 *m_db = nullptr;
    std::string m_path;
    std::string m_notice;
    NoticeKind m_noticeKind = NoticeKind::None;
    std::string m_asidePath;
};

// The process-wide history of the data folder `dataFolder` (its file kHistoryFileName), opened
// on first use and opened again when asked for another folder.
LearningHistory &historyFor(const std::string &dataFolder);
// The clock the program's answers are recorded with: seconds since the Unix epoch. Tests may
// replace it; an empty function restores the system clock.
std::int64_t nowSeconds();
void setClock(std::function<std::int64_t()> clock);

} // namespace zarel::learning
