#pragma once
// ZIP helpers for the tests: an archive's entries read back with libzip, the
// command-line tools run inside a directory, and file times set by hand.
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace pelko::test {

struct ZipEntry {
    std::string name;  // the raw bytes of the entry name
    std::string data;  // uncompressed; empty for an encrypted entry
    std::uint32_t crc = 0;
    std::uint64_t compressedSize = 0;
    std::uint16_t method = 0;
    bool encrypted = false;
    bool utf8Flag = false;  // the name is marked as UTF-8
    std::time_t time = 0;
    int localExtraFields = 0;
    int centralExtraFields = 0;
    std::string comment;
    std::uint8_t system = 0;  // the system the external attributes are for
    std::uint32_t attributes = 0;
};

// Every entry in archive order; throws std::runtime_error when libzip cannot
// read the archive or an entry's data (a CRC error included).
std::vector<ZipEntry> ReadZip(const std::string& path);
std::vector<std::string> NamesOf(const std::vector<ZipEntry>& entries);
// The same for an archive held in memory, and one entry's data out of it
// (throws std::runtime_error when there is no such entry).
std::vector<ZipEntry> ReadZipBytes(std::string_view archive);
std::string EntryData(std::string_view archive, std::string_view name);

// Single-quoted for /bin/sh.
std::string ShellQuoted(std::string_view text);
// Runs a shell command inside directory; its exit status, stdout in *out.
int RunIn(const std::string& directory, const std::string& command, std::string* out = nullptr);
bool HaveProgram(std::string_view name);

// The same pseudo-random bytes for the same seed: data deflate cannot shrink.
std::string RandomBytes(std::size_t size, unsigned seed);
// Sets a file's modification time (seconds since the epoch).
void SetFileTime(const std::string& path, std::time_t time);
// Local time to seconds since the epoch.
std::time_t LocalTime(int year, int month, int day);

}  // namespace pelko::test
