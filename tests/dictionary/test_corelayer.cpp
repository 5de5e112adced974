// The layers of the source: the Qt-free libraries include no Qt header (nor do the project headers
// they include), and every folder includes only headers of the libraries it links.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
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

} // namespace

TEST(CoreLayer, IncludesNoQtHeader)
{
    std::ifstream list(CORE_SOURCES_FILE);
    ASSERT_TRUE(list.good());
    const std::filesystem::path srcRoot = std::filesystem::path(ZAREL_SOURCE_DIR) / "src";
    const std::regex include(R"re(#\s*include\s*[<"]([^>"]+)[>"])re");
    const std::regex qtHeader(R"(^(Q[A-Za-z]*|Qt[A-Za-z]*/.*|q[a-z]+\.h)$)");

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
        for (std::sregex_iterator it(text.begin(), text.end(), include), end; it != end; ++it) {
            const std::string name = (*it)[1];
            EXPECT_FALSE(std::regex_match(name, qtHeader)) << file << " includes " << name;
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
    const std::regex include(R"re(#\s*include\s*"([^"]+)")re");

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
            for (std::sregex_iterator it(text.begin(), text.end(), include), end; it != end; ++it) {
                const std::filesystem::path header = std::string((*it)[1]);
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
