// The file of a user word's sound: one folder per English tab, a name that is safe for any
// headword bytes and never shared by two headwords.
#include "dictionary/usersound.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace zarel;

TEST(UserSoundPath, NamesTheFileAfterTheHeadwordBytes)
{
    const struct
    {
        int tab;
        std::string headword; // code page 1254
        std::string expected;
    } cases[] = {
        { 0, "apple", "usersound/1/apple.mp3" },
        { 25, "zoo-keeper2", "usersound/26/zoo-keeper2.mp3" },
        { 7, "hello world", "usersound/8/hello_20world.mp3" },
        { 1, "Bob", "usersound/2/_42ob.mp3" }, // capitals too, for case-blind file systems
        { 0, "a/../b", "usersound/1/a_2f_2e_2e_2fb.mp3" },
        { 18,
          "\xFE"
          "arap\xE7\xFD",
          "usersound/19/_fearap_e7_fd.mp3" }, // şarapçı
        { 8,
          "\xDD"
          "stanbul",
          "usersound/9/_ddstanbul.mp3" }, // İstanbul
        // No sound: Turkish tabs, tabs out of range, no headword.
        { 26, "apple", "" },
        { -1, "apple", "" },
        { 56, "apple", "" },
        { 3, "", "" },
    };
    for (const auto &c : cases)
        EXPECT_EQ(userSoundPath(c.tab, c.headword), c.expected) << c.tab << " " << c.headword;

    // Past 200 characters the name is all hex: 66 escaped capitals take 198, 67 would take 201.
    EXPECT_EQ(userSoundName(std::string(66, 'A')).size(), 198u);
    std::string hex = "+";
    for (int i = 0; i < 67; ++i)
        hex += "41";
    EXPECT_EQ(userSoundName(std::string(67, 'A')), hex);
}

TEST(UserSoundPath, DifferentHeadwordsNeverShareAFile)
{
    const std::string headwords[] = {
        "apple",
        "Apple",
        "a_41",
        "aA",
        "a a",
        "a_20a",
        "+41",
        "_ff",
        "\xFF",
        std::string(1, '\0'),
        std::string(66, 'A'),
        std::string(67, 'A'),
        "+" + std::string(66, 'A'),
        std::string(101, 'A'),
        std::string(101, '\xFE'),
    };
    std::set<std::string> names;
    for (const std::string &h : headwords) {
        const std::string name = userSoundName(h);
        EXPECT_TRUE(names.insert(name).second) << "two headwords share " << name;
        EXPECT_EQ(name.find_first_of("/. \\"), std::string::npos) << name;
        EXPECT_LE(name.size(), 203u); // a file system takes names of 255 bytes
    }
}
