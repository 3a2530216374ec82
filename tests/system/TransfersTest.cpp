// Reads and writes that the system cuts short or interrupts are carried on
// until every byte has moved: a pipe hands its bytes over in pieces, and a
// signal breaks a write that waits for room (on POSIX: Windows sends no
// signals into a read or write, so there the pieces alone are tested).
#ifndef _WIN32
#include <signal.h>
#include <sys/time.h>
#include <unistd.h>
#endif

#include <chrono>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "support/ZipTools.h"
#include "system/Files.h"
#include "system/Pipe.h"

namespace pelko {
namespace {

using test::Pipe;

#ifdef _WIN32
struct Interruptions {
    Interruptions() {}
};
void WithoutAlarms() {}
#else
// SIGALRM every 200 microseconds while it lives, without SA_RESTART, so that
// a waiting read or write returns early: short when it moved some bytes,
// EINTR when it moved none.
class Interruptions {
public:
    Interruptions() {
        struct sigaction action {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        sigaction(SIGALRM, &action, &previous_);
        const itimerval every{{0, 200}, {0, 200}};
        setitimer(ITIMER_REAL, &every, nullptr);
    }
    ~Interruptions() {
        const itimerval off{};
        setitimer(ITIMER_REAL, &off, nullptr);
        sigaction(SIGALRM, &previous_, nullptr);
    }

private:
    struct sigaction previous_ {};
};

// Runs in a thread that never takes the signal, so that it lands on the test's.
void WithoutAlarms() {
    sigset_t alarm;
    sigemptyset(&alarm);
    sigaddset(&alarm, SIGALRM);
    pthread_sigmask(SIG_BLOCK, &alarm, nullptr);
}
#endif

// The pieces together fit into the pipe, so the writer never waits for the reader.
TEST(Transfers, ReadFullGathersAPipesPieces) {
    const std::string bytes = test::RandomBytes(60000, 3);
    Pipe pipe;
    std::thread writer([&] {
        WithoutAlarms();
        for (std::size_t at = 0; at < bytes.size(); at += 20000) {
            ASSERT_TRUE(WriteAll(pipe.write, bytes.data() + at, 20000));
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        pipe.write.Close();
    });
    std::string got(bytes.size() + 10, '\0');
    Outcome<std::size_t> read = [&] {
        const Interruptions interruptions;
        return ReadFull(pipe.read, got.data(), got.size());
    }();
    writer.join();
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, bytes.size()) << "fewer only at the end";
    EXPECT_TRUE(got.substr(0, bytes.size()) == bytes);
}

TEST(Transfers, WriteAllCarriesOnAfterInterruptedAndShortWrites) {
    const std::string bytes = test::RandomBytes(4 * 1024 * 1024, 4);  // far more than a pipe holds
    Pipe pipe;
    std::string drained;
    std::thread reader([&] {
        WithoutAlarms();
        char chunk[4096];
        for (long got; (got = ReadFileBytes(pipe.read.Get(), chunk, sizeof chunk)) > 0;) {
            drained.append(chunk, static_cast<std::size_t>(got));
        }
    });
    Outcome<void> written = [&] {
        const Interruptions interruptions;
        return WriteAll(pipe.write, bytes.data(), bytes.size());
    }();
    pipe.write.Close();
    reader.join();
    EXPECT_TRUE(written);
    EXPECT_TRUE(drained == bytes) << drained.size() << " of " << bytes.size() << " bytes arrived";
}

}  // namespace
}  // namespace pelko
