// The learning history on SQLite: answers, word states and settings, each change one transaction.
#include "learning/core/learninghistory.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>

#include <sqlite3.h>

namespace zarel::learning {

namespace {

constexpr const char *kReviewDueFirstKey = "review_due_first";

// A prepared statement that finalizes itself.
class Statement
{
public:
    Statement(sqlite3 *db, const char *sql)
    {
        if (db == nullptr || sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            m_stmt = nullptr;
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool ok() const { return m_stmt != nullptr; }
    void bind(int i, const std::string &text)
    {
        sqlite3_bind_text(m_stmt, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    void bind(int i, std::int64_t value) { sqlite3_bind_int64(m_stmt, i, value); }
    int step() { return ok() ? sqlite3_step(m_stmt) : SQLITE_ERROR; }
    void reset()
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    std::int64_t integer(int col) const { return sqlite3_column_int64(m_stmt, col); }
    std::string text(int col) const
    {
        const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, col));
        return p == nullptr
            ? std::string()
            : std::string(p, static_cast<size_t>(sqlite3_column_bytes(m_stmt, col)));
    }

private:
    sqlite3_stmt *m_stmt = nullptr;
};

const char *languageCode(bool english)
{
    return english ? "en" : "tr";
}

std::string localStamp(std::int64_t now)
{
    const std::time_t t = static_cast<std::time_t>(now);
    std::tm tm {};
    localtime_r(&t, &tm);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y%m%d-%H%M%S", &tm);
    return buffer;
}

std::function<std::int64_t()> &clockFunction()
{
    static std::function<std::int64_t()> clock;
    return clock;
}

} // namespace

LearningHistory::~LearningHistory()
{
    close();
}

void LearningHistory::close()
{
    if (m_db != nullptr)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

std::string LearningHistory::takeNotice()
{
    std::string n;
    n.swap(m_notice);
    m_noticeKind = NoticeKind::None;
    m_asidePath.clear();
    return n;
}

bool LearningHistory::exec(const char *sql)
{
    return m_db != nullptr && sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool LearningHistory::openFresh(const std::string &path)
{
    close();
    sqlite3 *db = nullptr;
    const int rc
        = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(db);
        return false;
    }
    m_db = db;
    sqlite3_busy_timeout(m_db, 5000);
    return true;
}

bool LearningHistory::prepareSchema()
{
    // A file that is not a database, or a damaged one, fails here (the check reads every page).
    {
        Statement check(m_db, "PRAGMA quick_check");
        if (!check.ok() || check.step() != SQLITE_ROW || check.text(0) != "ok")
            return false;
    }
    return exec("PRAGMA synchronous=FULL")
        && exec("BEGIN IMMEDIATE;"
                "CREATE TABLE IF NOT EXISTS answers(id INTEGER PRIMARY KEY, word TEXT NOT NULL,"
                " language TEXT NOT NULL, method TEXT NOT NULL, right INTEGER NOT NULL,"
                " time INTEGER NOT NULL);"
                "CREATE INDEX IF NOT EXISTS answers_time ON answers(time);"
                "CREATE TABLE IF NOT EXISTS words(word TEXT NOT NULL, language TEXT NOT NULL,"
                " box INTEGER NOT NULL, right INTEGER NOT NULL, wrong INTEGER NOT NULL,"
                " last INTEGER NOT NULL, due INTEGER NOT NULL, PRIMARY KEY(word, language));"
                "CREATE TABLE IF NOT EXISTS settings(key TEXT PRIMARY KEY, value TEXT NOT NULL);"
                "COMMIT;");
}

void LearningHistory::setAside(std::int64_t now)
{
    close();
    namespace fs = std::filesystem;
    std::string target = m_path + ".damaged-" + localStamp(now);
    std::error_code ec;
    for (int n = 2; fs::exists(target, ec) && n < 1000; ++n)
        target = m_path + ".damaged-" + localStamp(now) + "-" + std::to_string(n);
    fs::rename(m_path, target, ec);
    // A journal left beside the damaged file belongs to it, not to the new history.
    for (const char *suffix : { "-journal", "-wal", "-shm" }) {
        std::error_code ignored;
        if (fs::exists(m_path + suffix, ignored))
            fs::rename(m_path + suffix, target + suffix, ignored);
    }
    if (ec) {
        m_notice = "The learning history " + m_path + " could not be read or set aside ("
            + ec.message() + ").";
    } else {
        m_notice = "The learning history " + m_path + " could not be read. It was set aside as "
            + target + " and a new history was started.";
        m_noticeKind = NoticeKind::SetAside;
        m_asidePath = target;
    }
}

bool LearningHistory::open(const std::string &path, std::int64_t now)
{
    m_path = path;
    m_notice.clear();
    m_noticeKind = NoticeKind::None;
    m_asidePath.clear();
    if (openFresh(path) && prepareSchema())
        return true;
    const bool existed = std::filesystem::exists(path);
    if (existed) {
        setAside(now);
        if (openFresh(path) && prepareSchema())
            return true;
    }
    close();
    m_noticeKind = NoticeKind::NotKept;
    std::string why = "The learning history " + path + " cannot be kept";
    if (m_notice.empty())
        m_notice = why + "; answers are not remembered.";
    else
        m_notice += " " + why + "; answers are not remembered.";
    return false;
}

bool LearningHistory::recordAnswer(const WordKey &key, const std::string &method, bool right,
                                   std::int64_t now)
{
    if (m_db == nullptr || !exec("BEGIN IMMEDIATE"))
        return false;
    const WordState next = applyAnswer(wordState(key), right, now);
    Statement insert(m_db,
                     "INSERT INTO answers(word, language, method, right, time)"
                     " VALUES(?1, ?2, ?3, ?4, ?5)");
    insert.bind(1, key.word);
    insert.bind(2, std::string(languageCode(key.english)));
    insert.bind(3, method);
    insert.bind(4, std::int64_t { right ? 1 : 0 });
    insert.bind(5, now);
    Statement upsert(m_db,
                     "INSERT OR REPLACE INTO words(word, language, box, right, wrong, last, due)"
                     " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    upsert.bind(1, key.word);
    upsert.bind(2, std::string(languageCode(key.english)));
    upsert.bind(3, std::int64_t { next.box });
    upsert.bind(4, std::int64_t { next.right });
    upsert.bind(5, std::int64_t { next.wrong });
    upsert.bind(6, next.lastAnswer);
    upsert.bind(7, next.due);
    if (insert.step() != SQLITE_DONE || upsert.step() != SQLITE_DONE) {
        exec("ROLLBACK");
        return false;
    }
    return exec("COMMIT");
}

std::optional<WordState> LearningHistory::wordState(const WordKey &key) const
{
    Statement q(m_db,
                "SELECT box, right, wrong, last, due FROM words WHERE word = ?1 AND language = ?2");
    if (!q.ok())
        return std::nullopt;
    q.bind(1, key.word);
    q.bind(2, std::string(languageCode(key.english)));
    if (q.step() != SQLITE_ROW)
        return std::nullopt;
    WordState s;
    s.box = static_cast<int>(q.integer(0));
    s.right = static_cast<int>(q.integer(1));
    s.wrong = static_cast<int>(q.integer(2));
    s.lastAnswer = q.integer(3);
    s.due = q.integer(4);
    return s;
}

std::vector<std::optional<WordState>>
LearningHistory::wordStates(const std::vector<WordKey> &keys) const
{
    std::vector<std::optional<WordState>> states;
    states.reserve(keys.size());
    for (const WordKey &k : keys)
        states.push_back(wordState(k));
    return states;
}

std::vector<AnswerRow> LearningHistory::answersSince(std::int64_t since) const
{
    std::vector<AnswerRow> rows;
    Statement q(m_db,
                "SELECT word, language, method, right, time FROM answers WHERE time >= ?1"
                " ORDER BY time, id");
    if (!q.ok())
        return rows;
    q.bind(1, since);
    while (q.step() == SQLITE_ROW) {
        AnswerRow r;
        r.key.word = q.text(0);
        r.key.english = q.text(1) == "en";
        r.method = q.text(2);
        r.right = q.integer(3) != 0;
        r.time = q.integer(4);
        rows.push_back(std::move(r));
    }
    return rows;
}

std::optional<std::string> LearningHistory::setting(const std::string &key) const
{
    Statement q(m_db, "SELECT value FROM settings WHERE key = ?1");
    if (!q.ok())
        return std::nullopt;
    q.bind(1, key);
    if (q.step() != SQLITE_ROW)
        return std::nullopt;
    return q.text(0);
}

bool LearningHistory::setSetting(const std::string &key, const std::string &value)
{
    Statement q(m_db, "INSERT OR REPLACE INTO settings(key, value) VALUES(?1, ?2)");
    if (!q.ok())
        return false;
    q.bind(1, key);
    q.bind(2, value);
    return q.step() == SQLITE_DONE;
}

bool LearningHistory::reviewDueFirst() const
{
    return setting(kReviewDueFirstKey).value_or("0") == "1";
}

bool LearningHistory::setReviewDueFirst(bool on)
{
    return setSetting(kReviewDueFirstKey, on ? "1" : "0");
}

LearningHistory &historyFor(const std::string &dataFolder)
{
    static LearningHistory history;
    std::string path = dataFolder;
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += kHistoryFileName;
    if (history.path() != path)
        history.open(path, nowSeconds());
    return history;
}

std::int64_t nowSeconds()
{
    if (clockFunction())
        return clockFunction()();
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void setClock(std::function<std::int64_t()> clock)
{
    clockFunction() = std::move(clock);
}

} // namespace zarel::learning
