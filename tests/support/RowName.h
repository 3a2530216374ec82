#pragma once
// Names a parameterised test's row after the row's own `name` field, so that
// the test's name says which case failed and stays the same from build to
// build.
#include <string>

#include <gtest/gtest.h>

namespace pelko::test {

struct RowName {
    template <class Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& info) const {
        return info.param.name;
    }
};

}  // namespace pelko::test
