// Dictionary.cfg: creation with the defaults, short and odd lines, storing, and a deleted file.
#include "dictionary/configfile.h"

#include "support/testdictionary.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace zarel;
using namespace zarel::test;

TEST(ConfigFile, MissingFileIsCreatedWithDefaultsAndNoLineEnd)
{
    TempDir dir;
    const ConfigLoad load = loadConfig(dir.path());
    EXPECT_TRUE(load.status.ok());
    EXPECT_FALSE(load.existed);
    EXPECT_EQ(load.flags, "11111");
    EXPECT_EQ(readFile(dir.file("Dictionary.cfg")), "11111");
}

TEST(ConfigFile, FirstLineIsReadAndPadded)
{
    const struct
    {
        std::string contents, flags;
    } cases[] = {
        { "10101", "10101" },     { "1", "10000" },       { "", "00000" },
        { "11\r\n111", "11000" }, { "01011\n", "01011" }, { "1111111111", "11111" },
        { "1x1y1\r\n", "1x1y1" },
    };
    for (const auto &c : cases) {
        TempDir dir;
        writeFile(dir.file("Dictionary.cfg"), c.contents);
        const ConfigLoad load = loadConfig(dir.path());
        EXPECT_TRUE(load.existed);
        EXPECT_EQ(load.flags, c.flags) << c.contents;
        EXPECT_EQ(readFile(dir.file("Dictionary.cfg")), c.contents); // loading never rewrites
    }
    EXPECT_TRUE(configFlag("10101", ConfigClipboard));
    EXPECT_FALSE(configFlag("10101", ConfigPopUp));
    EXPECT_FALSE(configFlag("1x1y1", ConfigPopUp)); // anything but "1" counts as "0"
}

TEST(ConfigFile, StoreRewritesAllFiveWithCrLf)
{
    TempDir dir;
    writeFile(dir.file("Dictionary.cfg"), "1");
    std::string flags = loadConfig(dir.path()).flags;
    bool stored = false;
    ASSERT_TRUE(storeConfig(dir.path(), flags, ConfigTurkishInterface, false, &stored).ok());
    EXPECT_TRUE(stored);
    EXPECT_EQ(readFile(dir.file("Dictionary.cfg")), "10000\r\n");
    ASSERT_TRUE(storeConfig(dir.path(), flags, ConfigTurkishInterface, true).ok());
    EXPECT_EQ(readFile(dir.file("Dictionary.cfg")), "10010\r\n");
}

TEST(ConfigFile, DeletedFileIsNotRecreated)
{
    TempDir dir;
    std::string flags = loadConfig(dir.path()).flags;
    std::remove(dir.file("Dictionary.cfg").c_str());
    bool stored = true;
    EXPECT_TRUE(storeConfig(dir.path(), flags, ConfigPopUp, false, &stored).ok());
    EXPECT_FALSE(stored);
    EXPECT_EQ(flags, "11111");
    EXPECT_FALSE(exists(dir.file("Dictionary.cfg")));
}

TEST(ConfigFile, UnreadableFileIsAnError)
{
    TempDir dir;
    // A folder in the file's place cannot be read as a file.
    ASSERT_EQ(::mkdir(dir.file("Dictionary.cfg").c_str(), 0755), 0);
    const ConfigLoad load = loadConfig(dir.path());
    EXPECT_FALSE(load.status.ok());
}
