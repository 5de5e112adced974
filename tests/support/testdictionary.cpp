// Test helpers: temporary folders and small dictionaries written with the real writer.
#include "support/testdictionary.h"

#include "dictionary/codepage1254.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace zarel::test {

TempDir::TempDir()
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "zarel-test-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    m_path = tmpl;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

void writeTestDictionary(const std::string &folder,
                         const std::map<int, std::vector<WriterEntry>> &tabs, bool compress)
{
    std::vector<std::vector<WriterEntry>> all(56);
    for (const auto &[tab, entries] : tabs)
        all.at(static_cast<size_t>(tab)) = entries;
    WriterOptions options;
    options.compress = compress;
    const Status st = writeDictionary(folder, all, options);
    ASSERT_TRUE(st.ok()) << st.message << " " << st.path;
}

WriterEntry baseEntry(const std::string &headword, const std::string &article)
{
    return WriterEntry { headword, article, 1 };
}

WriterEntry userEntry(const std::string &headword, const std::string &article)
{
    return WriterEntry { headword, article, 0 };
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFile(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool exists(const std::string &path)
{
    return std::filesystem::exists(path);
}

Entries::Entries(std::initializer_list<const char *> words)
{
    for (const char *w : words)
        records.push_back(TWordRecord::make(cp1254::fromUtf8(w), 0, 0, 1));
    for (const auto &r : records)
        pointers.push_back(&r);
}

} // namespace zarel::test
