#include "util/replacefile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
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

// A disk that fills up half-way must not cost the user the file that was
// there: a file-size limit makes the write fail the same way.
TEST_F(ReplaceFileTest, FailedWriteLeavesThePreviousFileAndNoTemporary) {
    const fs::path target = m_dir / "picture.png";
    std::ofstream(target) << "the previous picture";
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 1024;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    std::string message;
    try {
        WriteFileReplacing(target.string(), std::string(4096, 'x'));
    } catch (const EFOpenError& failure) {
        message = failure.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(message, "Cannot create file \"" + target.string() + "\". File too large");
    EXPECT_EQ(testing::FileBytes(target), "the previous picture");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace morvane
