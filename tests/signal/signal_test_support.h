#pragma once

// What the signal-import tests share: a message-box fake that records what it
// was shown, and a fixture with a fresh folder, a fresh session and the comma.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "events/Session.h"
#include "signal/Signal.h"
#include "signal/import/ImportCommand.h"
#include "tests/support/SharedData.h"
#include "tests/support/TempDirTest.h"
#include "util/messages.h"
#include "util/numtext.h"

namespace morvane::testing {

namespace fs = std::filesystem;

// Records every text and the state of the session's signal at the moment
// each summary is shown, so a test sees the bins before their normalisation.
class TRecordingBoxes : public IMessageBoxes {
public:
    explicit TRecordingBoxes(const TSession& session) : m_session(session) {}
    void ShowInfo(const std::string& text) override {
        Infos.push_back(text);
        SignalAtInfo.push_back(m_session.Signal);
        LastImportFileAtInfo = m_session.LastImportFile;
    }
    void ShowErrorBox(const std::string& text) override { Errors.push_back(text); }

    std::vector<std::string> Infos;
    std::vector<TSignalTable> SignalAtInfo;
    std::string LastImportFileAtInfo;
    std::vector<std::string> Errors;

private:
    const TSession& m_session;
};

// A recognisable signal left by an earlier import, within -1 .. +1.
inline TSignalTable PreviousSignal() {
    TSignalTable table{};
    for (std::size_t k = 0; k < table.size(); ++k) {
        table[k] = static_cast<double>(k % 7) / 8.0 - 0.25;
    }
    return table;
}

inline bool AllZero(const TSignalTable& table) {
    return std::all_of(table.begin(), table.end(), [](double v) { return v == 0; });
}

inline bool AllFinite(const TSignalTable& table) {
    return std::all_of(table.begin(), table.end(), [](double v) { return std::isfinite(v); });
}

// Runs the call and checks that it fails with exactly this kind and message.
template <typename Failure, typename Call>
void ExpectFailure(Call&& call, const std::string& message) {
    try {
        call();
        ADD_FAILURE() << "no failure; expected \"" << message << "\"";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.what(), message);
    } catch (const std::exception& other) {
        ADD_FAILURE() << "wrong failure kind: \"" << other.what() << "\"";
    }
}

// Names each parameterised row after its name field.
struct TRowName {
    template <typename Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
        return row.param.Name;
    }
};

// Runs read on "/dev/fd/N", the read end of a pipe that a second thread
// fills with content, as a user's "/dev/stdin" would be.
template <typename Read>
void ReadFromPipe(const std::string& content, Read&& read) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::thread writer([&] {
        for (std::size_t done = 0; done < content.size();) {
            const ssize_t wrote = ::write(fds[1], content.data() + done, content.size() - done);
            ASSERT_GT(wrote, 0);
            done += static_cast<std::size_t>(wrote);
        }
        ::close(fds[1]);
    });
    read("/dev/fd/" + std::to_string(fds[0]));
    writer.join();
    ::close(fds[0]);
}

class SignalImportTest : public TTempDirTest {
protected:
    // What the import commands read and write of the session.
    TImportTarget target() { return ImportTargetOf(m_session); }

    std::string openMessagePrefix(const std::string& path) const {
        return "Cannot open file \"" + fs::absolute(path).string() + "\". ";
    }

    TSession m_session;
    // Short names for the two parts of the session the imports write.
    TSignalTable& m_signal = m_session.Signal;
    std::string& m_lastImportFile = m_session.LastImportFile;
    TRecordingBoxes m_boxes{m_session};
};

}  // namespace morvane::testing
