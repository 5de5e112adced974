// Tests of the whole-file helpers: atomic replacement and the clean-up of interrupted writes.
#include "dictionary/fileutil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class FileUtil : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path()
            / ("zarel-fileutil-" + std::to_string(::getpid()) + "-"
               + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path touch(const std::string &name, std::chrono::seconds age)
    {
        const fs::path p = m_dir / name;
        std::ofstream(p) << "left over";
        fs::last_write_time(p, fs::file_time_type::clock::now() - age);
        return p;
    }

    fs::path m_dir;
};

TEST_F(FileUtil, WriteReplacesTheFileAndReadsBack)
{
    const std::string path = (m_dir / "Dictionary.cfg").string();
    ASSERT_TRUE(zarel::writeFileAtomic(path, "11111").ok());
    ASSERT_TRUE(zarel::writeFileAtomic(path,
                                       std::string("01\0"
                                                   "10",
                                                   5))
                    .ok());
    std::string data;
    ASSERT_TRUE(zarel::readWholeFile(path, data).ok());
    EXPECT_EQ(data,
              std::string("01\0"
                          "10",
                          5));
    // Nothing but the file itself remains in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
}

TEST_F(FileUtil, WriteIntoAMissingFolderFailsAndLeavesNothing)
{
    const std::string path = (m_dir / "absent" / "list.DIC").string();
    EXPECT_FALSE(zarel::writeFileAtomic(path, "word").ok());
    EXPECT_FALSE(fs::exists(m_dir / "absent"));
}

TEST_F(FileUtil, WriteRemovesOnlyStaleTemporariesOfTheSameFile)
{
    using namespace std::chrono_literals;
    const fs::path stale = touch("base_a.dak.tmpAb12Cd", 3600s);
    const fs::path fresh = touch("base_a.dak.tmpXy34Zw", 0s); // another copy writing now
    const fs::path otherFile = touch("base_b.dak.tmpAb12Cd", 3600s); // not this file's
    const fs::path notTemp = touch("base_a.dak.tmpTooLong1", 3600s); // not an mkstemp name
    ASSERT_TRUE(zarel::writeFileAtomic((m_dir / "base_a.dak").string(), "index").ok());
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(fresh));
    EXPECT_TRUE(fs::exists(otherFile));
    EXPECT_TRUE(fs::exists(notTemp));
}

TEST_F(FileUtil, ReadingAMissingFileOrAFolderFails)
{
    std::string data = "stale";
    EXPECT_EQ(zarel::readWholeFile((m_dir / "none").string(), data).code,
              zarel::ErrorCode::FileNotFound);
    EXPECT_TRUE(data.empty());
    EXPECT_EQ(zarel::readWholeFile(m_dir.string(), data).code, zarel::ErrorCode::ReadError);
}

} // namespace
