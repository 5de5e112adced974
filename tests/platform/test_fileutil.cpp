// Tests of the whole-file helpers: atomic replacement and the clean-up of interrupted writes.
#include "platform/fileutil.h"

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

TEST_F(FileUtil, BothDurabilitiesReplaceTheFileWholeAndFailCleanly)
{
    for (const zarel::Durability durability :
         { zarel::Durability::Durable, zarel::Durability::Deferred }) {
        SCOPED_TRACE(durability == zarel::Durability::Durable ? "durable" : "deferred");
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        const std::string path = (m_dir / "Dictionary.cfg").string();
        ASSERT_TRUE(zarel::writeFileAtomic(path, "a longer first version", durability).ok());
        const std::string binary("01\0"
                                 "10",
                                 5);
        ASSERT_TRUE(zarel::writeFileAtomic(path, binary, durability).ok());
        std::string data;
        ASSERT_TRUE(zarel::readWholeFile(path, data).ok());
        EXPECT_EQ(data, binary);
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read
                      | fs::perms::others_read);
        // Nothing but the file itself remains in the folder.
        EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);

        const std::string inMissing = (m_dir / "absent" / "list.DIC").string();
        const zarel::Status st = zarel::writeFileAtomic(inMissing, "word", durability);
        EXPECT_EQ(st.code, zarel::ErrorCode::WriteError);
        EXPECT_EQ(st.path, inMissing);
        EXPECT_FALSE(fs::exists(m_dir / "absent"));
    }
}

TEST_F(FileUtil, SyncingTheFileSystemNeedsAnExistingPath)
{
    EXPECT_TRUE(zarel::syncFileSystem(m_dir.string()).ok());
    EXPECT_EQ(zarel::syncFileSystem((m_dir / "missing").string()).code,
              zarel::ErrorCode::WriteError);
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

    // Bulk writes leave the sweep to their writer, whose folders hold thousands of files.
    const fs::path stale2 = touch("1.mp3.tmpAb12Cd", 3600s);
    ASSERT_TRUE(
        zarel::writeFileAtomic((m_dir / "1.mp3").string(), "mp3", zarel::Durability::Deferred)
            .ok());
    EXPECT_TRUE(fs::exists(stale2));
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
