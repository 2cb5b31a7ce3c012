#pragma once

// The fixture of every test that works on files: a fresh, empty folder per
// test, removed with all it holds afterwards, even when the test took away
// the folder's permissions.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>

namespace morvane::testing {

// Every byte of a file; empty when it cannot be read.
inline std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

class TTempDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        // mkdtemp: a name no other test, run or user has, so tests run in parallel.
        std::string pattern = (std::filesystem::temp_directory_path() / "morvane-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr) << pattern;
        // Canonical, so the messages a test expects name the path the program sees.
        m_dir = std::filesystem::canonical(pattern);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::permissions(m_dir, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(m_dir, ignored);
    }

    // m_dir/name holding exactly these bytes; its path.
    std::string writeFile(const std::string& name, std::string_view bytes) const {
        const std::filesystem::path path = m_dir / name;
        std::ofstream out(path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    std::filesystem::path m_dir;
};

}  // namespace morvane::testing
