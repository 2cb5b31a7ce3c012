#pragma once

// The fixture of every test that runs commands: a fresh session with the
// decimal comma, so no test resets state by hand or sees another's.

#include <gtest/gtest.h>

#include "events/Session.h"
#include "util/numtext.h"

namespace morvane::testing {

class TSessionTest : public ::testing::Test {
protected:
    TSessionTest() { m_session.Numbers = kDecimalComma; }

    TSession m_session;
};

}  // namespace morvane::testing
