// The layers of the source: the Qt-free libraries include no Qt header (nor do the project headers
// they include), and every folder includes only headers of the libraries it links.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace {

std::string slurp(const std::filesystem::path &p)
{
    std::ifstream in(p);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Include
{
    std::string name;
    bool quoted = false; // "name" rather than <name>
};

// The #include lines of a source text (a plain scan: std::regex draws false warnings from GCC).
std::vector<Include> includes(const std::string &text)
{
    std::vector<Include> found;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        size_t i = line.find_first_not_of(" \t");
        if (i == std::string::npos || line[i] != '#')
            continue;
        i = line.find_first_not_of(" \t", i + 1);
        if (i == std::string::npos || line.compare(i, 7, "include") != 0)
            continue;
        i = line.find_first_not_of(" \t", i + 7);
        if (i == std::string::npos || (line[i] != '"' && line[i] != '<'))
            continue;
        const char close = line[i] == '"' ? '"' : '>';
        const size_t end = line.find(close, i + 1);
        if (end != std::string::npos && end > i + 1)
            found.push_back({ line.substr(i + 1, end - i - 1), close == '"' });
    }
    return found;
}

// Qt's headers: QWidget, QtCore/qglobal.h, qobject.h.
bool isQtHeader(const std::string &name)
{
    const auto letters = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) {
            if (!std::isalpha(static_cast<unsigned char>(name[i])))
                return false;
        }
        return true;
    };
    if (name.size() >= 2 && name.compare(0, 2, "Qt") == 0) {
        const size_t slash = name.find('/');
        if (slash != std::string::npos && letters(2, slash))
            return true;
    }
    if (!name.empty() && name[0] == 'Q' && letters(1, name.size()))
        return true;
    if (name.size() > 3 && name[0] == 'q' && name.compare(name.size() - 2, 2, ".h") == 0) {
        for (size_t i = 1; i + 2 < name.size(); ++i) {
            if (!std::islower(static_cast<unsigned char>(name[i])))
                return false;
        }
        return true;
    }
    return false;
}

} // namespace

TEST(CoreLayer, RecognisesQtHeaders)
{
    for (const char *qt : { "QWidget", "Q", "QtCore/qglobal.h", "qobject.h" })
        EXPECT_TRUE(isQtHeader(qt)) << qt;
    for (const char *other : { "queue", "dictionary/codepage1254.h", "Quux.h", "q.h", "cstdio" })
        EXPECT_FALSE(isQtHeader(other)) << other;
    const auto found = includes("#include <QWidget>\n  #  include \"a/b.h\"\n// #include <x>\n");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].name, "QWidget");
    EXPECT_FALSE(found[0].quoted);
    EXPECT_EQ(found[1].name, "a/b.h");
    EXPECT_TRUE(found[1].quoted);
}

TEST(CoreLayer, IncludesNoQtHeader)
{
    std::ifstream list(CORE_SOURCES_FILE);
    ASSERT_TRUE(list.good());
    const std::filesystem::path srcRoot = std::filesystem::path(ZAREL_SOURCE_DIR) / "src";

    std::vector<std::filesystem::path> pending;
    std::string line;
    while (std::getline(list, line)) {
        if (!line.empty())
            pending.emplace_back(line);
    }
    ASSERT_GT(pending.size(), 5u);
    std::set<std::filesystem::path> seen;
    while (!pending.empty()) {
        const auto file = pending.back();
        pending.pop_back();
        if (!seen.insert(file).second)
            continue;
        const std::string text = slurp(file);
        for (const Include &inc : includes(text)) {
            const std::string &name = inc.name;
            EXPECT_FALSE(isQtHeader(name)) << file << " includes " << name;
            const auto projectHeader = srcRoot / name;
            if (std::filesystem::exists(projectHeader))
                pending.push_back(projectHeader);
        }
    }
}

// Every header a source folder includes from another folder belongs to a library that the
// folder's library links, directly or through others: an include outside that set is a
// dependency the build does not know about, and the start of a cycle between the folders.
TEST(CoreLayer, FoldersIncludeOnlyTheLibrariesTheyLink)
{
    std::ifstream map(FOLDER_LIBRARIES_FILE);
    ASSERT_TRUE(map.good());
    const std::filesystem::path srcRoot = std::filesystem::path(ZAREL_SOURCE_DIR) / "src";

    std::string line;
    int folders = 0;
    while (std::getline(map, line)) {
        std::istringstream words(line);
        std::string folder;
        if (!(words >> folder))
            continue;
        ++folders;
        std::set<std::string> allowed { folder };
        for (std::string dep; words >> dep;)
            allowed.insert(dep);
        for (const auto &entry : std::filesystem::directory_iterator(srcRoot / folder)) {
            const auto ext = entry.path().extension();
            if (ext != ".h" && ext != ".cpp")
                continue;
            const std::string text = slurp(entry.path());
            for (const Include &inc : includes(text)) {
                if (!inc.quoted)
                    continue;
                const std::filesystem::path header = inc.name;
                if (!std::filesystem::exists(srcRoot / header))
                    continue;
                EXPECT_TRUE(allowed.count(header.parent_path().string()))
                    << "src/" << folder << "/" << entry.path().filename().string() << " includes "
                    << header.string() << ", whose library src/" << folder << " does not link";
            }
        }
    }
    EXPECT_GE(folders, 10);
}
