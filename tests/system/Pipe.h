#pragma once
// Both ends of a pipe as the core's files, closed on every way out.
#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "system/Files.h"

namespace pelko::test {

struct Pipe {
    Pipe() {
#ifdef _WIN32
        HANDLE ends[2] = {INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE};
        EXPECT_TRUE(CreatePipe(&ends[0], &ends[1], nullptr, 0));
        read = File(FileHandle(reinterpret_cast<std::intptr_t>(ends[0])), "pipe out");
        write = File(FileHandle(reinterpret_cast<std::intptr_t>(ends[1])), "pipe in");
#else
        int fds[2] = {-1, -1};
        EXPECT_EQ(pipe(fds), 0);
        read = File(FileHandle(fds[0]), "pipe out");
        write = File(FileHandle(fds[1]), "pipe in");
#endif
    }
    File read;
    File write;
};

}  // namespace pelko::test
