#pragma once
// The local time zone a process's builds use for the archive's entry times.

namespace pelko {

// libzip turns every entry's DOS time into a time_t with mktime, and glibc's
// mktime looks at the zone file again on every call while TZ is unset: some
// 1,500 stat calls each time an archive of 1,500 entries is opened. Naming
// the zone file glibc would use anyway (":/etc/localtime") keeps the zone
// and lets glibc read it once. A TZ that is set, even empty, is left alone.
// Call it at process start, before any thread runs: it changes the
// environment.
void PinLocalTimeZone();

}  // namespace pelko
