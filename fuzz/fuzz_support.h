#pragma once

// What the fuzz targets share: a property check that stops the run, a file
// with a path whose contents each input replaces, and message boxes that only
// record what they were asked to show.

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "util/messages.h"

namespace morvane::fuzz {

// A broken property is a finding: libFuzzer keeps the input of any abort.
[[noreturn]] inline void Fail(std::string_view property, std::string_view detail = {}) {
    std::fprintf(stderr, "\nBroken property: %.*s\n", static_cast<int>(property.size()), property.data());
    if (!detail.empty()) {
        std::fprintf(stderr, "  %.*s\n", static_cast<int>(detail.size()), detail.data());
    }
    std::abort();
}

inline void Check(bool holds, std::string_view property, std::string_view detail = {}) {
    if (!holds) {
        Fail(property, detail);
    }
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// One file for the whole run, rewritten for every input. It lives in memory
// (memfd) and is opened through /proc/self/fd, so a run leaves nothing behind;
// where that is not available it is an unlinked-at-exit file in the temp folder.
class TScratchFile {
public:
    TScratchFile() {
        m_fd = ::memfd_create("morvane-fuzz", MFD_CLOEXEC);
        if (m_fd >= 0) {
            m_path = "/proc/self/fd/" + std::to_string(m_fd);
            if (::access(m_path.c_str(), R_OK) == 0) {
                return;
            }
            ::close(m_fd);
        }
        const char* folder = std::getenv("TMPDIR");
        std::string pattern = std::string(folder != nullptr ? folder : "/tmp") + "/morvane-fuzz-XXXXXX";
        m_fd = ::mkstemp(pattern.data());
        if (m_fd < 0) {
            Fail("a scratch file can be created", pattern);
        }
        m_path = pattern;
        m_unlink = true;
    }
    ~TScratchFile() {
        ::close(m_fd);
        if (m_unlink) {
            ::unlink(m_path.c_str());
        }
    }
    TScratchFile(const TScratchFile&) = delete;
    TScratchFile& operator=(const TScratchFile&) = delete;

    // Replaces the contents; returns the path to open.
    const std::string& write(std::string_view contents) {
        Check(::ftruncate(m_fd, 0) == 0, "the scratch file can be emptied");
        std::size_t done = 0;
        while (done < contents.size()) {
            const ssize_t wrote =
                ::pwrite(m_fd, contents.data() + done, contents.size() - done, static_cast<off_t>(done));
            Check(wrote > 0, "the scratch file can be written");
            done += static_cast<std::size_t>(wrote);
        }
        return m_path;
    }

private:
    int m_fd = -1;
    std::string m_path;
    bool m_unlink = false;
};

class TRecordingBoxes : public IMessageBoxes {
public:
    void ShowInfo(const std::string& text) override {
        info = text;
        ++infoCount;
    }
    void ShowErrorBox(const std::string& text) override { error = text; }

    std::string info;
    int infoCount = 0;
    std::string error;
};

}  // namespace morvane::fuzz
