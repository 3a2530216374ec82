// A library preloaded into pelko-cli (LD_PRELOAD) that makes one call of the
// C library fail the way a failing disk or file system makes it fail, so that
// a test can fail every I/O call of a run in turn. Linux and glibc only.
//
//   PELKO_FAULT_CALL    the call to fail, by the name the table below gives it
//   PELKO_FAULT_NTH     which of its calls: 1 for the first
//   PELKO_FAULT_MODE    eio, enospc: the call fails with that error
//                       eintr: the call is interrupted before it does anything
//                              (close: after, as Linux closes the descriptor anyway)
//                       short: a transfer moves half of what was asked, at least 1 byte
//                       kill:  the process is killed just before the call
//   PELKO_FAULT_NO_TMPFILE  set: every open with O_TMPFILE fails with EOPNOTSUPP,
//                       as on a file system without unnamed files
//   PELKO_FAULT_COUNTS  a file that receives, at exit, "name count" for every
//                       call that was made
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdio_ext.h>
#include <stdlib.h>
#include <string.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

enum Call {
    kOpen, kOpenat, kRead, kPread, kWrite, kPwrite, kFsync, kFdatasync, kSyncFileRange, kRename, kRenameat,
    kLink, kLinkat, kUnlink, kUnlinkat, kRemove, kRmdir, kMkdir, kMkdtemp, kMkstemp, kClose, kFtruncate,
    kFchmod, kChmod, kSendfile, kCopyFileRange, kStat, kLstat, kFstat, kFstatat, kLseek, kAccess, kOpendir,
    kFopen, kFread, kFwrite, kFputs, kPutc, kFflush, kFclose, kFseeko, kFtello, kCallCount
};

static const char* const kCallNames[kCallCount] = {
    "open", "openat", "read", "pread", "write", "pwrite", "fsync", "fdatasync", "sync_file_range", "rename",
    "renameat", "link", "linkat", "unlink", "unlinkat", "remove", "rmdir", "mkdir", "mkdtemp", "mkstemp",
    "close", "ftruncate", "fchmod", "chmod", "sendfile", "copy_file_range", "stat", "lstat", "fstat", "fstatat",
    "lseek", "access", "opendir", "fopen", "fread", "fwrite", "fputs", "putc", "fflush", "fclose", "fseeko",
    "ftello",
};

enum Mode { kNone, kEio, kEnospc, kEintr, kShort, kKill };

static long counts[kCallCount];
static int target = -1;
static long nth;
static enum Mode mode = kNone;
static int noTmpfile;

// The C library's own function of that name, found past this library.
#define REAL(name)                        \
    static __typeof__(name)* real_##name; \
    if (!real_##name) *(void**)(&real_##name) = dlsym(RTLD_NEXT, #name)

__attribute__((constructor)) static void ReadSettings(void) {
    const char* call = getenv("PELKO_FAULT_CALL");
    const char* n = getenv("PELKO_FAULT_NTH");
    const char* how = getenv("PELKO_FAULT_MODE");
    noTmpfile = getenv("PELKO_FAULT_NO_TMPFILE") != NULL;
    if (!call || !n || !how) return;
    for (int i = 0; i < kCallCount; ++i) {
        if (strcmp(call, kCallNames[i]) == 0) target = i;
    }
    nth = atol(n);
    if (strcmp(how, "eio") == 0) mode = kEio;
    if (strcmp(how, "enospc") == 0) mode = kEnospc;
    if (strcmp(how, "eintr") == 0) mode = kEintr;
    if (strcmp(how, "short") == 0) mode = kShort;
    if (strcmp(how, "kill") == 0) mode = kKill;
}

__attribute__((destructor)) static void WriteCounts(void) {
    const char* path = getenv("PELKO_FAULT_COUNTS");
    if (!path) return;
    REAL(open);
    REAL(write);
    REAL(close);
    const int fd = real_open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return;
    for (int i = 0; i < kCallCount; ++i) {
        char line[64];
        const int length = snprintf(line, sizeof line, "%s %ld\n", kCallNames[i], counts[i]);
        if (real_write(fd, line, (size_t)length) != length) break;
    }
    real_close(fd);
}

// The mode this call of kind `call` is to suffer, kNone for most calls.
static enum Mode Strike(enum Call call) {
    const long made = __atomic_add_fetch(&counts[call], 1, __ATOMIC_SEQ_CST);
    if ((int)call != target || made != nth) return kNone;
    if (mode == kKill) raise(SIGKILL);
    return mode;
}

// For calls that fail as a whole: sets errno and says so; eintr and eio/enospc alike.
static int Fails(enum Mode struck) {
    switch (struck) {
        case kEio: errno = EIO; return 1;
        case kEnospc: errno = ENOSPC; return 1;
        case kEintr: errno = EINTR; return 1;
        default: return 0;
    }
}

static size_t Shortened(enum Mode struck, size_t count) {
    return struck == kShort && count > 1 ? count / 2 : count;
}

// A stream call that failed leaves the stream's error indicator set, as
// glibc does when the write or read beneath it fails.
static void MarkStreamError(FILE* stream) {
    stream->_flags |= _IO_ERR_SEEN;
}

static int IsUnnamedOpen(int flags) {
    return (flags & O_TMPFILE) == O_TMPFILE;
}

static mode_t ModeArgument(int flags, va_list arguments) {
    return (flags & O_CREAT) || IsUnnamedOpen(flags) ? (mode_t)va_arg(arguments, int) : 0;
}

static int OpenCall(const char* name, int directory, const char* path, int flags, mode_t permissions) {
    if (noTmpfile && IsUnnamedOpen(flags)) {
        errno = EOPNOTSUPP;
        return -1;
    }
    if (Fails(Strike(directory == -1 ? kOpen : kOpenat))) return -1;
    if (directory == -1) {
        int (*real)(const char*, int, ...);
        *(void**)(&real) = dlsym(RTLD_NEXT, name);
        return real(path, flags, permissions);
    }
    int (*real)(int, const char*, int, ...);
    *(void**)(&real) = dlsym(RTLD_NEXT, name);
    return real(directory, path, flags, permissions);
}

int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t permissions = ModeArgument(flags, arguments);
    va_end(arguments);
    return OpenCall("open", -1, path, flags, permissions);
}

int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t permissions = ModeArgument(flags, arguments);
    va_end(arguments);
    return OpenCall("open64", -1, path, flags, permissions);
}

int openat(int directory, const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t permissions = ModeArgument(flags, arguments);
    va_end(arguments);
    return OpenCall("openat", directory, path, flags, permissions);
}

int openat64(int directory, const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t permissions = ModeArgument(flags, arguments);
    va_end(arguments);
    return OpenCall("openat64", directory, path, flags, permissions);
}

ssize_t read(int fd, void* buffer, size_t count) {
    REAL(read);
    const enum Mode struck = Strike(kRead);
    if (Fails(struck)) return -1;
    return real_read(fd, buffer, Shortened(struck, count));
}

ssize_t pread(int fd, void* buffer, size_t count, off_t offset) {
    REAL(pread);
    const enum Mode struck = Strike(kPread);
    if (Fails(struck)) return -1;
    return real_pread(fd, buffer, Shortened(struck, count), offset);
}
ssize_t pread64(int fd, void* buffer, size_t count, off_t offset) __attribute__((alias("pread")));

ssize_t write(int fd, const void* buffer, size_t count) {
    REAL(write);
    const enum Mode struck = Strike(kWrite);
    if (Fails(struck)) return -1;
    return real_write(fd, buffer, Shortened(struck, count));
}

ssize_t pwrite(int fd, const void* buffer, size_t count, off_t offset) {
    REAL(pwrite);
    const enum Mode struck = Strike(kPwrite);
    if (Fails(struck)) return -1;
    return real_pwrite(fd, buffer, Shortened(struck, count), offset);
}
ssize_t pwrite64(int fd, const void* buffer, size_t count, off_t offset) __attribute__((alias("pwrite")));

ssize_t sendfile(int out, int in, off_t* offset, size_t count) {
    REAL(sendfile);
    const enum Mode struck = Strike(kSendfile);
    if (Fails(struck)) return -1;
    return real_sendfile(out, in, offset, Shortened(struck, count));
}
ssize_t sendfile64(int out, int in, off_t* offset, size_t count) __attribute__((alias("sendfile")));

ssize_t copy_file_range(int in, off_t* inOffset, int out, off_t* outOffset, size_t count, unsigned flags) {
    REAL(copy_file_range);
    const enum Mode struck = Strike(kCopyFileRange);
    if (Fails(struck)) return -1;
    return real_copy_file_range(in, inOffset, out, outOffset, Shortened(struck, count), flags);
}

// Calls that either happen or fail: one wrapper each, by their signature.
#define FAILING(call, result, name, parameters, arguments) \
    result name parameters {                                 \
        REAL(name);                    \
        if (Fails(Strike(call))) return (result)-1;          \
        return real_##name arguments;                        \
    }

FAILING(kFsync, int, fsync, (int fd), (fd))
FAILING(kFdatasync, int, fdatasync, (int fd), (fd))
FAILING(kSyncFileRange, int, sync_file_range, (int fd, off_t offset, off_t count, unsigned flags),
        (fd, offset, count, flags))
FAILING(kRename, int, rename, (const char* from, const char* to), (from, to))
FAILING(kRenameat, int, renameat, (int fromDir, const char* from, int toDir, const char* to),
        (fromDir, from, toDir, to))
FAILING(kLink, int, link, (const char* from, const char* to), (from, to))
FAILING(kLinkat, int, linkat, (int fromDir, const char* from, int toDir, const char* to, int flags),
        (fromDir, from, toDir, to, flags))
FAILING(kUnlink, int, unlink, (const char* path), (path))
FAILING(kUnlinkat, int, unlinkat, (int dir, const char* path, int flags), (dir, path, flags))
FAILING(kRemove, int, remove, (const char* path), (path))
FAILING(kRmdir, int, rmdir, (const char* path), (path))
FAILING(kMkdir, int, mkdir, (const char* path, mode_t permissions), (path, permissions))
FAILING(kMkstemp, int, mkstemp, (char* pattern), (pattern))
FAILING(kMkstemp, int, mkstemp64, (char* pattern), (pattern))
FAILING(kMkstemp, int, mkostemp, (char* pattern, int flags), (pattern, flags))
FAILING(kMkstemp, int, mkostemp64, (char* pattern, int flags), (pattern, flags))
FAILING(kFtruncate, int, ftruncate, (int fd, off_t size), (fd, size))
FAILING(kFtruncate, int, ftruncate64, (int fd, off_t size), (fd, size))
FAILING(kFchmod, int, fchmod, (int fd, mode_t permissions), (fd, permissions))
FAILING(kChmod, int, chmod, (const char* path, mode_t permissions), (path, permissions))
FAILING(kStat, int, stat, (const char* path, struct stat* status), (path, status))
FAILING(kStat, int, stat64, (const char* path, struct stat64* status), (path, status))
FAILING(kLstat, int, lstat, (const char* path, struct stat* status), (path, status))
FAILING(kLstat, int, lstat64, (const char* path, struct stat64* status), (path, status))
FAILING(kFstat, int, fstat, (int fd, struct stat* status), (fd, status))
FAILING(kFstat, int, fstat64, (int fd, struct stat64* status), (fd, status))
FAILING(kFstatat, int, fstatat, (int dir, const char* path, struct stat* status, int flags),
        (dir, path, status, flags))
FAILING(kFstatat, int, fstatat64, (int dir, const char* path, struct stat64* status, int flags),
        (dir, path, status, flags))
FAILING(kLseek, off_t, lseek, (int fd, off_t offset, int whence), (fd, offset, whence))
FAILING(kLseek, off_t, lseek64, (int fd, off_t offset, int whence), (fd, offset, whence))
FAILING(kAccess, int, access, (const char* path, int how), (path, how))

char* mkdtemp(char* pattern) {
    REAL(mkdtemp);
    if (Fails(Strike(kMkdtemp))) return NULL;
    return real_mkdtemp(pattern);
}

DIR* opendir(const char* path) {
    REAL(opendir);
    if (Fails(Strike(kOpendir))) return NULL;
    return real_opendir(path);
}

// Linux releases the descriptor even when close reports an error.
int close(int fd) {
    REAL(close);
    const enum Mode struck = Strike(kClose);
    const int closed = real_close(fd);
    if (Fails(struck)) return -1;
    return closed;
}

FILE* fopen(const char* path, const char* how) {
    REAL(fopen);
    if (Fails(Strike(kFopen))) return NULL;
    return real_fopen(path, how);
}
FILE* fopen64(const char* path, const char* how) __attribute__((alias("fopen")));

FILE* fdopen(int fd, const char* how) {
    REAL(fdopen);
    if (Fails(Strike(kFopen))) return NULL;
    return real_fdopen(fd, how);
}

size_t fread(void* buffer, size_t size, size_t count, FILE* stream) {
    REAL(fread);
    if (Fails(Strike(kFread))) {
        MarkStreamError(stream);
        return 0;
    }
    return real_fread(buffer, size, count, stream);
}

size_t fwrite(const void* buffer, size_t size, size_t count, FILE* stream) {
    REAL(fwrite);
    if (Fails(Strike(kFwrite))) {
        MarkStreamError(stream);
        return 0;
    }
    return real_fwrite(buffer, size, count, stream);
}

int fputs(const char* text, FILE* stream) {
    REAL(fputs);
    if (Fails(Strike(kFputs))) {
        MarkStreamError(stream);
        return EOF;
    }
    return real_fputs(text, stream);
}

static int PutCharacter(const char* name, int character, FILE* stream) {
    if (Fails(Strike(kPutc))) {
        MarkStreamError(stream);
        return EOF;
    }
    int (*real)(int, FILE*);
    *(void**)(&real) = dlsym(RTLD_NEXT, name);
    return real(character, stream);
}
int putc(int character, FILE* stream) { return PutCharacter("putc", character, stream); }
int fputc(int character, FILE* stream) { return PutCharacter("fputc", character, stream); }

// What a failed flush could not write is lost, as when the device beneath
// keeps failing; an interrupted flush keeps it for the next one.
int fflush(FILE* stream) {
    REAL(fflush);
    const enum Mode struck = Strike(kFflush);
    if (Fails(struck)) {
        if (stream && struck != kEintr) __fpurge(stream);
        if (stream) MarkStreamError(stream);
        return EOF;
    }
    return real_fflush(stream);
}

int fclose(FILE* stream) {
    REAL(fclose);
    const enum Mode struck = Strike(kFclose);
    const int closed = real_fclose(stream);
    if (Fails(struck)) return EOF;
    return closed;
}

int fseeko(FILE* stream, off_t offset, int whence) {
    REAL(fseeko);
    if (Fails(Strike(kFseeko))) return -1;
    return real_fseeko(stream, offset, whence);
}
int fseeko64(FILE* stream, off_t offset, int whence) __attribute__((alias("fseeko")));

off_t ftello(FILE* stream) {
    REAL(ftello);
    if (Fails(Strike(kFtello))) return -1;
    return real_ftello(stream);
}
off_t ftello64(FILE* stream) __attribute__((alias("ftello")));
