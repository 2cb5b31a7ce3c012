#include "util/replacefile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/TempDirTest.h"
#include "util/errors.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

class ReplaceFileTest : public testing::TTempDirTest {};

TEST_F(ReplaceFileTest, ReplacesKeepingModeAndLinks) {
    const fs::path target = m_dir / "table.csv";
    std::ofstream(target) << "old";
    ::chmod(target.c_str(), 0640);
    const fs::path link = m_dir / "link.csv";
    fs::create_symlink(target, link);

    WriteFileReplacing(link.string(), "new");

    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(testing::FileBytes(target), "new");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 2);
}

// A link the user named stays a link however it points: the file at its end
// is written, and created when it is missing.
TEST_F(ReplaceFileTest, WritesThroughLinksDanglingOrNot) {
    fs::create_directory(m_dir / "sub");
    const struct {
        const char* Link;
        const char* Pointee;  // relative to the link's folder, or absolute when empty
        const char* Written;
    } rows[] = {
        {"dangling.png", "new.png", "new.png"},
        {"sub/up.png", "../up-target.png", "up-target.png"},
        {"chain.png", "dangling.png", "new.png"},
        {"absolute.png", "", "absolute-target.png"},
    };
    for (const auto& row : rows) {
        const fs::path link = m_dir / row.Link;
        fs::create_symlink(*row.Pointee != '\0' ? fs::path(row.Pointee) : m_dir / row.Written, link);
        WriteFileReplacing(link.string(), row.Link);
        EXPECT_TRUE(fs::is_symlink(link)) << row.Link;
        EXPECT_EQ(testing::FileBytes(m_dir / row.Written), row.Link);
    }
    fs::create_symlink("loop.png", m_dir / "loop.png");
    EXPECT_THROW(WriteFileReplacing((m_dir / "loop.png").string(), "x"), EFOpenError);
}

// A name near the file system's limit leaves no room for the temporary's
// suffix: the temporary's name is cut, whole characters kept, and the target
// still gets the full name.
TEST_F(ReplaceFileTest, WritesANameAtTheLengthLimit) {
    std::string twoByteName;
    for (int i = 0; i < 127; ++i) {
        twoByteName += "\xC4\x8D";  // č
    }
    for (const std::string& name : {std::string(250, 'a'), std::string(255, 'b'), twoByteName + "x"}) {
        SCOPED_TRACE(name.size());
        const fs::path target = m_dir / name;
        WriteFileReplacing(target.string(), "new");
        EXPECT_EQ(testing::FileBytes(target), "new");
        WriteFileReplacing(target.string(), "again");
        EXPECT_EQ(testing::FileBytes(target), "again");
        EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
        fs::remove(target);
    }
}

// A file marked read-only is refused even to the superuser, whose right to
// write it the system would grant; the file stays as it was.
TEST_F(ReplaceFileTest, RefusesAWriteProtectedFile) {
    for (const fs::perms mode :
         {fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read, fs::perms::none}) {
        const fs::path target = m_dir / "protected.csv";
        std::ofstream(target) << "kept";
        fs::permissions(target, mode);
        try {
            WriteFileReplacing(target.string(), "new");
            ADD_FAILURE() << "no failure";
        } catch (const EFOpenError& failure) {
            EXPECT_EQ(failure.what(),
                      "Soubor \"" + target.string() + "\" je chráněn proti zápisu, nepřepíše se");
        }
        fs::permissions(target, fs::perms::owner_all);
        EXPECT_EQ(testing::FileBytes(target), "kept");
        fs::remove(target);
    }
}

TEST_F(ReplaceFileTest, KeepsAnotherUsersOwnership) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only the superuser can give a file to another user";
    }
    const fs::path target = m_dir / "shared.csv";
    std::ofstream(target) << "old";
    ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
    ::chmod(target.c_str(), 0664);
    WriteFileReplacing(target.string(), "new");
    struct stat status {};
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 65534u);
    EXPECT_EQ(status.st_gid, 65534u);
    EXPECT_EQ(status.st_mode & 07777, 0664u);
    EXPECT_EQ(testing::FileBytes(target), "new");
}

// A disk that fills up half-way must not cost the user the file that was
// there: a file-size limit makes the write fail the same way. The limit is set
// in a child process, whose SIGXFSZ would end it if the write did not ignore it.
TEST_F(ReplaceFileTest, FailedWriteLeavesThePreviousFileAndNoTemporary) {
    const fs::path target = m_dir / "picture.png";
    std::ofstream(target) << "the previous picture";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit small{1024, 1024};
        ::setrlimit(RLIMIT_FSIZE, &small);
        try {
            WriteFileReplacing(target.string(), std::string(4096, 'x'));
        } catch (const EFOpenError& failure) {
            const std::string expected = "Cannot create file \"" + target.string() + "\". File too large";
            ::_exit(failure.what() == expected ? 0 : 3);
        }
        ::_exit(4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_EQ(testing::FileBytes(target), "the previous picture");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace morvane
