#include "system/CleanupRegistry.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>

namespace pelko {
namespace {

constexpr int kSlots = 16;

struct Slot {
    volatile std::sig_atomic_t inUse = 0;
    CleanupKind kind = CleanupKind::File;
    char path[PATH_MAX] = {};
};

Slot slots[kSlots];
std::atomic_flag claiming = ATOMIC_FLAG_INIT;  // builds on several threads

// getdents64 rather than readdir: readdir may allocate, which a signal
// handler may not do.
struct LinuxDirent {
    unsigned long long inode;
    long long offset;
    unsigned short length;
    unsigned char type;
    char name[1];
};

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Empties the directory open as fd, descending depth more levels.
void EmptyDirectory(int fd, int depth) noexcept {
    alignas(8) char buffer[4096];
    for (;;) {
        const long got = syscall(SYS_getdents64, fd, buffer, sizeof buffer);
        if (got <= 0) return;
        bool removedAny = false;
        for (long at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const LinuxDirent*>(buffer + at);
            at += entry->length;
            if (IsDotOrDotDot(entry->name)) continue;
            if (unlinkat(fd, entry->name, 0) == 0) {
                removedAny = true;
                continue;
            }
            if (depth <= 0) continue;
            const int child = openat(fd, entry->name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child < 0) continue;
            EmptyDirectory(child, depth - 1);
            close(child);
            if (unlinkat(fd, entry->name, AT_REMOVEDIR) == 0) removedAny = true;
        }
        // Removing entries while reading can make the listing skip some;
        // read again from the start until a pass removes nothing.
        if (removedAny) lseek(fd, 0, SEEK_SET);
    }
}

void RemoveDirectory(const char* path) noexcept {
    const int fd = open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        EmptyDirectory(fd, 2);
        close(fd);
    }
    rmdir(path);
}

}  // namespace

int RememberForCleanup(const char* path, CleanupKind kind) {
    const std::size_t length = std::strlen(path);
    if (length >= PATH_MAX) return -1;
    while (claiming.test_and_set(std::memory_order_acquire)) {
    }
    int found = -1;
    for (int i = 0; i < kSlots && found < 0; ++i) {
        if (slots[i].inUse) continue;
        std::memcpy(slots[i].path, path, length + 1);
        slots[i].kind = kind;
        std::atomic_signal_fence(std::memory_order_seq_cst);  // the path is complete before it counts
        slots[i].inUse = 1;
        found = i;
    }
    claiming.clear(std::memory_order_release);
    return found;
}

void ForgetCleanup(int slot) {
    if (slot < 0 || slot >= kSlots) return;
    slots[slot].inUse = 0;
}

void RemoveRememberedItems() noexcept {
    for (Slot& slot : slots) {
        if (!slot.inUse) continue;
        if (slot.kind == CleanupKind::File) {
            unlink(slot.path);
        } else {
            RemoveDirectory(slot.path);
        }
    }
}

}  // namespace pelko
