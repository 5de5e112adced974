// zarel_core stays Qt-free: none of its sources, nor the project headers they include, includes
// a Qt header.
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
    const std::filesystem::path srcRoot
        = std::filesystem::path(ZAREL_SOURCE_DIR) / "src";
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
