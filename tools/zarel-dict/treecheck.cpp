// check, list and show: the tree read through DictionaryIndex, TCryptStream and the RTF reader.
#include "zarel-dict/treecheck.h"

#include "zarel-dict/contentstage.h"

#include "dictionary/codepage1254.h"
#include "dictionary/combosearch.h"
#include "dictionary/dictionaryindex.h"
#include "dictionary/lettertabs.h"
#include "dictionary/tcryptstream.h"
#include "platform/fileutil.h"
#include "platform/lzfile.h"
#include "rtf/rtfdocument.h"
#include "rtf/rtfreader.h"

#include <algorithm>
#include <memory>

namespace zarel::dicttool {

namespace {

// Braces of RTF balance: never below zero, zero at the end; escaped braces do not count.
bool bracesBalance(std::string_view rtf)
{
    long depth = 0;
    for (size_t i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        if (c == '\\') {
            ++i; // the escaped character, whatever it is
        } else if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth < 0)
                return false;
        }
    }
    return depth == 0;
}

// The expanded size of an article file as the LZ layer reads it; -1 when it cannot be opened.
int64_t expandedSize(const std::string &path)
{
    const int handle = lz::lzOpenFile(path);
    if (handle < 0)
        return -1;
    const int64_t size = lz::lzSeek(handle, 0, 2);
    lz::lzClose(handle);
    return size;
}

class Checker
{
public:
    explicit Checker(CheckResult &result)
        : m_result(result)
    { }

    void problem(TabCheck &tab, const std::string &what)
    {
        ++tab.problems;
        ++m_result.problemCount;
        if (m_result.problems.size() < kMaxListedProblems)
            m_result.problems.push_back("tab " + tabName(tab.tab) + ": " + what);
    }

private:
    CheckResult &m_result;
};

std::string quoted(std::string_view cp1254Headword)
{
    return "\"" + cp1254::toUtf8(cp1254Headword) + "\"";
}

void checkTab(const std::string &folder, int t, TabCheck &tab, Checker &checker,
              const LabelSet &labelKey)
{
    const std::string index = indexPath(folder, t);
    if (!fileExists(index)) {
        checker.problem(tab, "index file missing: " + index);
        return;
    }
    DictionaryIndex loaded;
    const Status st = loaded.loadTab(folder, t);
    if (!st.ok()) {
        checker.problem(tab, st.message + ": " + index);
        return;
    }
    const TabLists &lists = loaded.tab(t);
    if (lists.indexSize % kRecordSize != 0)
        checker.problem(tab,
                        "index file ends in a partial record of "
                            + std::to_string(lists.indexSize % kRecordSize) + " bytes");
    tab.records = lists.count();

    // Article files: both must exist; their expanded sizes bound the records' ranges.
    int64_t sizes[2] = { -1, -1 }; // user, base
    std::unique_ptr<TCryptStream> streams[2];
    for (int base = 0; base < 2; ++base) {
        const std::string path = articlePath(folder, t, base != 0);
        if (!fileExists(path)) {
            checker.problem(tab, "article file missing: " + path);
            continue;
        }
        sizes[base] = expandedSize(path);
        if (sizes[base] < 0) {
            checker.problem(tab, "article file cannot be read (damaged compression?): " + path);
            continue;
        }
        streams[base] = std::make_unique<TCryptStream>(path, 0, base != 0);
    }

    for (size_t i = 0; i < lists.count(); ++i) {
        const TWordRecord &r = *lists.entries[i];
        const int base = r.isBase() ? 1 : 0;
        ++(base ? tab.baseRecords : tab.userRecords);
        const std::string which = "record " + std::to_string(i + 1) + " " + quoted(r.headword());
        if (r.headwordLength > kMaxHeadwordLength)
            checker.problem(tab,
                            which + ": headword length " + std::to_string(r.headwordLength)
                                + " above 101");
        if (!streams[base])
            continue;
        const int64_t offset = r.ArticleOffset();
        const int64_t size = r.ArticleSize();
        if (offset < 0 || size < 0 || offset + size > sizes[base]) {
            checker.problem(tab,
                            which + ": article range " + std::to_string(offset) + "+"
                                + std::to_string(size) + " lies outside its file of "
                                + std::to_string(sizes[base]) + " bytes");
            continue;
        }
        if (size == 0) {
            // A user may save an empty article; the base dictionary has none.
            if (r.isBase())
                checker.problem(tab, which + ": empty article");
            continue;
        }
        const std::string article = readArticle(*streams[base], r);
        if (!rtf::isRtf(article) || !bracesBalance(article)) {
            checker.problem(tab, which + ": article is not well-formed RTF");
            continue;
        }
        if (r.isBase()) {
            const std::string text = rtf::plainText(rtf::parse(article));
            if (!text.starts_with(cp1254::toUtf8(r.headword())))
                checker.problem(tab, which + ": article does not begin with its headword");
            for (const std::string &label : missingLabels(text, labelKey))
                checker.problem(
                    tab, which + ": usage label (" + label + ") is not in the abbreviation key");
        }
    }
}

} // namespace

CheckResult checkTree(const std::string &programFolder)
{
    CheckResult result;
    Checker checker(result);
    const LabelSet labelKey = installedLabelKey(programFolder);
    for (int t = 0; t < kTabCount; ++t) {
        TabCheck tab;
        tab.tab = t;
        checkTab(programFolder, t, tab, checker, labelKey);
        result.tabs.push_back(tab);
    }
    return result;
}

void printCheck(const CheckResult &result, std::ostream &out)
{
    size_t records = 0;
    for (const TabCheck &tab : result.tabs) {
        records += tab.records;
        out << "tab " << tabName(tab.tab) << ": " << tab.records << " records (" << tab.baseRecords
            << " base, " << tab.userRecords << " user)";
        if (tab.problems > 0)
            out << ", " << tab.problems << " problem" << (tab.problems == 1 ? "" : "s");
        out << "\n";
    }
    for (const std::string &p : result.problems)
        out << "problem: " << p << "\n";
    if (static_cast<size_t>(result.problemCount) > result.problems.size())
        out << "... and " << (static_cast<size_t>(result.problemCount) - result.problems.size())
            << " more problems\n";
    out << records << " records in " << result.tabs.size()
        << " tabs: " << (result.ok() ? "ok" : std::to_string(result.problemCount) + " problems")
        << "\n";
}

int parseTab(std::string_view text)
{
    if (text.empty())
        return -1;
    if (text.size() <= 2
        && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        const int n = std::stoi(std::string(text));
        return isValidTab(n) ? n : -1;
    }
    if (text.size() == 1 && text[0] >= 'a' && text[0] <= 'z')
        return text[0] - 'a';
    bool lossless = false;
    const std::string bytes = cp1254::fromUtf8(text, '?', &lossless);
    if (!lossless || bytes.size() != 1)
        return -1;
    for (int t = kEnglishTabCount; t < kTabCount; ++t) {
        if (tabCapital(t) == static_cast<unsigned char>(bytes[0]))
            return t;
    }
    return -1;
}

std::string tabName(int tab)
{
    if (!isValidTab(tab))
        return std::to_string(tab);
    std::string name = std::to_string(tab) + " (";
    if (isEnglishTab(tab))
        name += "eg/" + std::string(1, static_cast<char>('a' + tab));
    else
        name += "tr/" + cp1254::toUtf8(std::string(1, static_cast<char>(tabCapital(tab))));
    return name + ")";
}

Status listTab(const std::string &programFolder, int tab, std::ostream &out)
{
    if (!isValidTab(tab))
        return Status::failure(ErrorCode::BadInput, "No such tab");
    DictionaryIndex index;
    const Status st = index.loadTab(programFolder, tab);
    if (!st.ok())
        return st;
    const TabLists &lists = index.tab(tab);
    for (size_t i = 0; i < lists.count(); ++i)
        out << cp1254::toUtf8(lists.headword(i)) << "\n";
    return Status::success();
}

Status findArticles(const std::string &programFolder, std::string_view word,
                    std::vector<FoundArticle> &found)
{
    found.clear();
    bool lossless = false;
    const std::string bytes = cp1254::fromUtf8(word, '?', &lossless);
    if (bytes.empty() || !lossless)
        return Status::failure(ErrorCode::BadInput, "The word cannot be written in code page 1254");
    const auto first = static_cast<unsigned char>(bytes.front());
    const int tabs[2] = { englishTabForChar(first), turkishTabForChar(first) };
    for (const int t : tabs) {
        if (!isValidTab(t))
            continue;
        DictionaryIndex index;
        const Status st = index.loadTab(programFolder, t);
        if (!st.ok())
            return st;
        const TabLists &lists = index.tab(t);
        std::vector<size_t> hits;
        for (size_t i = 0; i < lists.count(); ++i) {
            if (lists.headword(i) == bytes)
                hits.push_back(i);
        }
        if (hits.empty()) {
            for (size_t i = 0; i < lists.count(); ++i) {
                if (equalsFolded(lists.headword(i), bytes, Casing::Ascii))
                    hits.push_back(i);
            }
        }
        for (const size_t i : hits) {
            const TWordRecord &r = *lists.entries[i];
            // A missing article file would be created by the read; look it up first.
            std::string text;
            if (fileExists(articlePath(programFolder, t, r.isBase())))
                text = rtf::plainText(rtf::parse(readArticle(programFolder, t, r)));
            found.push_back({ t, cp1254::toUtf8(r.headword()), std::move(text) });
        }
    }
    return Status::success();
}

} // namespace zarel::dicttool
