// Whole-file records survive a crash at any moment: the old or the new
// content is there, whole.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "store/file_io.h"
#include "support/temp_folder.h"

namespace kassio {
namespace {

TEST(ReplaceFileAtomically, AKilledWriterLeavesTheOldOrTheNewFileWhole) {
    test::TempFolder dir;
    const std::string path = dir / "kq.cfg";
    const std::vector<unsigned char> a(15018, 'A'), b(15018, 'B');
    ASSERT_TRUE(replaceFileAtomically(path, a.data(), a.size()));

    for (int round = 0; round < 20; ++round) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) {
                const auto& next = i % 2 ? a : b;
                static_cast<void>(replaceFileAtomically(path, next.data(), next.size()));
            }
        }
        ::usleep(static_cast<useconds_t>(2000 + round * 700));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        auto now = readWholeFile(path);
        ASSERT_TRUE(now);
        ASSERT_TRUE(*now == a || *now == b) << "round " << round << " size " << now->size();
    }
}

TEST(FileIo, AppendsAndShortReads) {
    test::TempFolder dir;
    const std::string path = dir / "log.dat";
    ASSERT_TRUE(appendToFile(path, "abc", 3, true));
    ASSERT_TRUE(appendToFile(path, "de", 2, false));
    auto f = File::open(path, File::Mode::kRead);
    ASSERT_TRUE(f);
    char buf[8] = {};
    EXPECT_EQ(f->readAt(3, buf, sizeof buf), 2);
    EXPECT_EQ(std::string(buf, 2), "de");
    EXPECT_FALSE(readWholeFile(dir.path()));  // a folder is not a file
    EXPECT_FALSE(File::open(dir / "missing", File::Mode::kReadWrite));
    EXPECT_TRUE(makeDirectories(dir / "a/b/c"));
    EXPECT_TRUE(isDirectory(dir / "a/b/c"));
}

}  // namespace
}  // namespace kassio

namespace kassio {
namespace {

TEST(FileIo, TheShopsFilesAndFoldersAreTheOwnersAlone) {
    // kq.cfg holds the clerks' passwords and customer.dat names and
    // addresses: no other local user may read them, whatever the umask.
    const mode_t old = ::umask(0);
    test::TempFolder dir;
    const std::string folder = dir / "a/b";
    ASSERT_TRUE(makeDirectories(folder));
    ASSERT_TRUE(appendToFile(folder + "/kq.cfg", "x", 1, false));
    ASSERT_TRUE(replaceFileAtomically(folder + "/customer.dat", "y", 1));
    ::umask(old);
    struct stat st;
    for (const std::string& path : {dir / "a", folder}) {
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u) << path;
    }
    for (const char* name : {"/kq.cfg", "/customer.dat"}) {
        ASSERT_EQ(::stat((folder + name).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u) << name;
    }
}

}  // namespace
}  // namespace kassio
