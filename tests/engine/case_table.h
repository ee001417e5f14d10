#pragma once
// One row of a behaviour table for the engine tests: a name for the test
// output, an input text and the text the function must return.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

namespace morvane::engine::test {

struct Case {
    const char* name;
    std::u16string_view input;
    std::u16string_view expected;
};

/// Test names come from the row name, so a failure names the behaviour.
inline std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

inline std::ostream& operator<<(std::ostream& os, const Case& c) {
    return os << c.name;
}

} // namespace morvane::engine::test
