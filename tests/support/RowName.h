#pragma once
// Names a parameterised test's row after the row's own `name` field, so that
// the test's name says which case failed and stays the same from build to
// build: INSTANTIATE_TEST_SUITE_P(..., test::RowName<Case>).
#include <string>

#include <gtest/gtest.h>

namespace pelko::test {

template <typename Case>
std::string RowName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

}  // namespace pelko::test
