#pragma once
// The name of a table row in the test's name: every case struct of these
// tables carries one.
#include <gtest/gtest.h>

#include <string>

namespace pelko::test {

template <typename Case>
std::string RowName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

}  // namespace pelko::test
