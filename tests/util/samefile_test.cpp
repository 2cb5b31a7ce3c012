#include "util/samefile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace morvane {
namespace {

namespace fs = std::filesystem;

TEST(IsSameFile, ThroughLinksAndSpellings) {
    const fs::path dir = fs::temp_directory_path() / ("morvane-samefile-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "a.csv") << "a";
    std::ofstream(dir / "b.csv") << "a";
    fs::create_symlink(dir / "a.csv", dir / "soft.png");
    fs::create_hard_link(dir / "a.csv", dir / "hard.png");
    fs::create_symlink(dir / "gone.csv", dir / "dangling.png");
    const struct {
        const char* Other;
        bool Same;
    } rows[] = {
        {"a.csv", true},    {"./a.csv", true},       {"soft.png", true},
        {"hard.png", true}, {"b.csv", false},        {"dangling.png", false},
        {"new.png", false}, {"sub/../a.csv", false},  // no folder "sub": not the file
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Other);
        EXPECT_EQ(IsSameFile((dir / "a.csv").string(), (dir / row.Other).string()), row.Same);
    }
    EXPECT_TRUE(IsSameFile((dir / "new.png").string(), (dir / "." / "new.png").string()));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace morvane
