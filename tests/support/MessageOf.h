#pragma once

// Runs f and returns the message of the failure of type E that it raises; fails
// the running test when f raises nothing or a failure of another kind.

#include <gtest/gtest.h>

#include <exception>
#include <string>

namespace morvane::testing {

template <typename E, typename F>
std::string MessageOf(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.what();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "unexpected failure: " << e.what();
        return "<wrong kind>";
    }
    ADD_FAILURE() << "no failure raised";
    return "<none>";
}

}  // namespace morvane::testing
