// The descriptor cache must never hand out a descriptor of a file that is
// no longer at its path, and what it creates is private to the shop's user.
#include "store/posix_file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "support/temp_folder.h"

namespace kassio {
namespace {

std::string readAll(FileSystem& fs, const std::string& path) {
    std::string buf(64, '\0');
    std::size_t got = 0;
    EXPECT_TRUE(fs.readAt(path, 0, buf.data(), buf.size(), &got));
    return buf.substr(0, got);
}

TEST(PosixFileSystem, CachedDescriptorsFollowRenamesRemovalsAndEviction) {
    test::TempFolder dir;
    PosixFileSystem fs(2);
    const std::string a = dir / "a", b = dir / "b", c = dir / "c";
    ASSERT_TRUE(fs.writeAt(a, 0, "old", 3));
    ASSERT_TRUE(fs.writeAt(b, 0, "new", 3));
    ASSERT_TRUE(fs.writeAt(c, 0, "c", 1));
    EXPECT_EQ(fs.openCount(), 2u);  // the least recently used was let go
    EXPECT_EQ(readAll(fs, a), "old");
    ASSERT_TRUE(fs.rename(b, a));
    EXPECT_EQ(readAll(fs, a), "new");
    ASSERT_TRUE(fs.remove(a));
    ASSERT_TRUE(fs.remove(a));  // already gone is fine
    std::size_t got = 0;
    char byte;
    EXPECT_EQ(fs.readAt(a, 0, &byte, 1, &got).kind(), Status::Kind::kNotFound);
    uint64_t size = 0;
    ASSERT_TRUE(fs.truncate(a, 5));
    ASSERT_TRUE(fs.size(a, &size));
    EXPECT_EQ(size, 5u);
    fs.closeAll();
    EXPECT_EQ(fs.openCount(), 0u);
}

TEST(PosixFileSystem, MakesPrivateFilesAndFolders) {
    test::TempFolder dir;
    PosixFileSystem fs;
    const mode_t oldMask = ::umask(0);
    ASSERT_TRUE(fs.makeFolder(dir / "2026"));
    ASSERT_TRUE(fs.makeFolder(dir / "2026"));
    ASSERT_TRUE(fs.writeAt(dir / "2026/f", 0, "x", 1));
    ::umask(oldMask);
    struct stat st;
    ASSERT_EQ(::stat((dir / "2026").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat((dir / "2026/f").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_FALSE(fs.makeFolder(dir / "2026/f"));     // a file is in the way
    EXPECT_FALSE(fs.makeFolder(dir / "none/2026"));  // parents are not made
    EXPECT_FALSE(fs.syncFolder(dir / "none"));
}

}  // namespace
}  // namespace kassio
