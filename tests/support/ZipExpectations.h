#pragma once
// GoogleTest expectations that two archives, read with ReadZip, agree entry
// by entry: on what the entries hold, or on every field the ZIP format keeps.
#include <vector>

#include <gtest/gtest.h>

#include "support/ZipTools.h"

namespace pelko::test {

inline void ExpectSameEntries(const std::vector<ZipEntry>& ours, const std::vector<ZipEntry>& theirs,
                              bool everyField = true) {
    ASSERT_EQ(NamesOf(ours), NamesOf(theirs));
    for (std::size_t i = 0; i < ours.size(); ++i) {
        SCOPED_TRACE(ours[i].name);
        EXPECT_EQ(ours[i].crc, theirs[i].crc);
        EXPECT_EQ(ours[i].data, theirs[i].data);
        if (!everyField) continue;
        EXPECT_EQ(ours[i].method, theirs[i].method);
        EXPECT_EQ(ours[i].compressedSize, theirs[i].compressedSize);
        EXPECT_EQ(ours[i].time, theirs[i].time);
        EXPECT_EQ(ours[i].localExtraFields, theirs[i].localExtraFields);
        EXPECT_EQ(ours[i].centralExtraFields, theirs[i].centralExtraFields);
        EXPECT_EQ(ours[i].utf8Flag, theirs[i].utf8Flag);
        EXPECT_EQ(ours[i].system, theirs[i].system);
        EXPECT_EQ(ours[i].attributes, theirs[i].attributes);
    }
}

inline void ExpectSameContents(const std::vector<ZipEntry>& ours, const std::vector<ZipEntry>& theirs) {
    ExpectSameEntries(ours, theirs, false);
}

}  // namespace pelko::test
