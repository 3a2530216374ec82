#pragma once
// The work items of builds in progress, kept where a signal handler can find
// them: fixed slots of fixed size, written before they are marked in use, so
// that a handler that interrupts a build may remove what the build made with
// async-signal-safe calls alone and end the process.
#include <cstddef>

namespace pelko {

enum class CleanupKind { File, Directory };

// A slot number for Forget, or -1 when every slot is taken or the path is too
// long to keep (the item is then only removed the ordinary way).
int RememberForCleanup(const char* path, CleanupKind kind);
void ForgetCleanup(int slot);

// Removes every remembered item: a file with unlink, a directory with all it
// holds (two levels deep at most, as a build's work directory is). Only
// async-signal-safe calls; meant for a signal handler.
void RemoveRememberedItems() noexcept;

}  // namespace pelko
