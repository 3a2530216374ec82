#include "system/CleanupRegistry.h"

#include <atomic>
#include <cstring>

#include "system/windows/Win32.h"

namespace pelko {
namespace {

constexpr int kSlots = 16;
constexpr std::size_t kLongestPath = 4096;  // bytes of UTF-8

struct Slot {
    std::atomic<bool> inUse{false};
    CleanupKind kind = CleanupKind::File;
    char path[kLongestPath] = {};
};

Slot slots[kSlots];
std::atomic_flag claiming = ATOMIC_FLAG_INIT;  // builds on several threads

}  // namespace

int RememberForCleanup(const char* path, CleanupKind kind) {
    const std::size_t length = std::strlen(path);
    if (length >= kLongestPath) return -1;
    while (claiming.test_and_set(std::memory_order_acquire)) {
    }
    int found = -1;
    for (int i = 0; i < kSlots && found < 0; ++i) {
        if (slots[i].inUse.load()) continue;
        std::memcpy(slots[i].path, path, length + 1);
        slots[i].kind = kind;
        slots[i].inUse.store(true);  // the path is complete before it counts
        found = i;
    }
    claiming.clear(std::memory_order_release);
    return found;
}

void ForgetCleanup(int slot) {
    if (slot < 0 || slot >= kSlots) return;
    slots[slot].inUse.store(false);
}

// Windows calls the console's handler on a thread of its own, not inside
// an interrupted one, so the removal may use any call. A file the build
// still holds open goes when the process ends and its handles close (every
// file is opened shareable for deletion); a folder that still held such a
// file stays, for the next build to remove as abandoned.
void RemoveRememberedItems() noexcept {
    for (Slot& slot : slots) {
        if (!slot.inUse.load()) continue;
        const std::optional<std::wstring> path = win32::Wide(slot.path);
        if (!path) continue;
        if (slot.kind == CleanupKind::File) {
            win32::RemoveFileAt(*path);
        } else {
            win32::RemoveTree(*path);
        }
    }
}

}  // namespace pelko
