// The settings: the five characters as fields and back, storing after a change, and a missing
// or unreadable file.
#include "dictionary/settings.h"

#include "support/testdictionary.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace zarel;
using namespace zarel::test;

TEST(Settings, FlagsAndFieldsAgree)
{
    const struct
    {
        const char *flags;
        Settings fields;
        const char *written; // flags() of the fields
    } cases[] = {
        { "11111", { true, true, true, true, true }, "11111" },
        { "00000", { false, false, false, false, false }, "00000" },
        { "10000", { true, false, false, false, false }, "10000" },
        { "01000", { false, true, false, false, false }, "01000" },
        { "00100", { false, false, true, false, false }, "00100" },
        { "00010", { false, false, false, true, false }, "00010" },
        { "00001", { false, false, false, false, true }, "00001" },
        // Only "1" is on; a short text lacks the rest.
        { "1x1y1", { true, false, true, false, true }, "10101" },
        { "11", { true, true, false, false, false }, "11000" },
        { "", { false, false, false, false, false }, "00000" },
    };
    for (const auto &c : cases) {
        const Settings s = Settings::fromFlags(c.flags);
        EXPECT_EQ(s, c.fields) << c.flags;
        EXPECT_EQ(s.flags(), c.written) << c.flags;
        for (int position = ConfigClipboard; position <= ConfigEnglishToTurkish; ++position)
            EXPECT_EQ(s.flag(position), c.written[position - 1] == '1') << c.flags << position;
    }
    EXPECT_EQ(Settings {}.flags(), kDefaultConfigFlags);
}

TEST(Settings, SetFlagChangesOnlyItsField)
{
    for (int position = 0; position <= 6; ++position) {
        Settings s;
        s.setFlag(position, false);
        std::string expected = "11111";
        if (position >= 1 && position <= 5)
            expected[static_cast<size_t>(position - 1)] = '0';
        EXPECT_EQ(s.flags(), expected) << position;
        EXPECT_FALSE(s.flag(position)) << position; // off, or no setting at all
    }
}

TEST(Settings, LoadAndStore)
{
    TempDir dir;
    // A missing file is created with the defaults.
    SettingsLoad load = loadSettings(dir.path());
    ASSERT_TRUE(load.status.ok());
    EXPECT_FALSE(load.existed);
    EXPECT_EQ(load.settings, Settings {});
    EXPECT_EQ(readFile(dir.file("Dictionary.cfg")), "11111");

    const struct
    {
        int position;
        bool on;
        const char *file;
    } steps[] = {
        { ConfigTurkishInterface, false, "11101\r\n" },
        { ConfigEnglishToTurkish, false, "11100\r\n" },
        { ConfigClipboard, false, "01100\r\n" },
        { ConfigTurkishInterface, true, "01110\r\n" },
    };
    Settings s = load.settings;
    for (const auto &step : steps) {
        s.setFlag(step.position, step.on);
        bool stored = false;
        ASSERT_TRUE(storeSettings(dir.path(), s, step.position, &stored).ok());
        EXPECT_TRUE(stored);
        EXPECT_EQ(readFile(dir.file("Dictionary.cfg")), step.file);
        load = loadSettings(dir.path());
        EXPECT_TRUE(load.existed);
        EXPECT_EQ(load.settings, s) << step.file;
    }

    // A file removed while the program runs is not created again.
    std::filesystem::remove(dir.file("Dictionary.cfg"));
    bool stored = true;
    EXPECT_TRUE(storeSettings(dir.path(), s, ConfigPopUp, &stored).ok());
    EXPECT_FALSE(stored);
    EXPECT_FALSE(exists(dir.file("Dictionary.cfg")));
}

TEST(Settings, UnreadableFileGivesTheDefaultsAndTheFailure)
{
    TempDir dir;
    // A folder in the file's place cannot be read as a file.
    std::filesystem::create_directory(dir.file("Dictionary.cfg"));
    const SettingsLoad load = loadSettings(dir.path());
    EXPECT_FALSE(load.status.ok());
    EXPECT_EQ(load.settings, Settings {});
}
