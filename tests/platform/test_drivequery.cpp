// The optical-disc wave folder found in crafted mount tables.
#include "platform/drivequery.h"

#include "support/testdictionary.h"

#include <gtest/gtest.h>

using namespace zarel;
using namespace zarel::test;

TEST(DriveQuery, FirstOpticalMountInTableOrder)
{
    const struct
    {
        std::string table, expected;
    } cases[] = {
        { "", "" },
        { "/dev/sda1 / ext4 rw 0 0\nproc /proc proc rw 0 0\n", "" },
        { "/dev/sda1 / ext4 rw 0 0\n/dev/sr0 /media/cdrom0 iso9660 ro 0 0\n/dev/sr1 /media/cdrom1 "
          "udf ro 0 0\n",
          "/media/cdrom0/Wave/" },
        { "/dev/loop3 /mnt/disc udf ro 0 0\n/dev/sr0 /media/e iso9660 ro 0 0\n",
          "/mnt/disc/Wave/" },
        { "/dev/sr1 /media/My\\040Disc auto ro 0 0\n", "/media/My Disc/Wave/" },
        { "garbage\n\n/dev/sr0\n/dev/sr0 / iso9660 ro\n", "/Wave/" },
    };
    for (const auto &c : cases) {
        TempDir dir;
        writeFile(dir.file("mounts"), c.table);
        EXPECT_EQ(findCdWavePath(dir.file("mounts")), c.expected) << c.table;
    }
    EXPECT_EQ(findCdWavePath("/nonexistent/mounts"), "");
}
