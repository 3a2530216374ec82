#include "system/Signals.h"

#include "system/CleanupRegistry.h"
#include "system/windows/Win32.h"

namespace pelko {
namespace {

// The exit statuses of the POSIX side for the same events: Ctrl+C and
// Ctrl+Break as SIGINT (130), a closed console as SIGHUP (129), the end of
// the session as SIGTERM (143).
UINT ExitStatusFor(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT: return 130;
        case CTRL_CLOSE_EVENT: return 129;
        default: return 143;
    }
}

// A long archive commit runs in one libzip call; waiting for it to return
// to a flag check could take minutes, so the handler removes the items
// itself and ends the process at once. Windows allows a closing console a
// few seconds for this.
BOOL WINAPI RemoveWorkItemsAndExit(DWORD event) {
    RemoveRememberedItems();
    ExitProcess(ExitStatusFor(event));
}

}  // namespace

// Windows sends no signal when a write meets a file-size limit (SIGXFSZ):
// the write fails and the build reports it, as it does on POSIX.
void InstallSignalHandling() {
    SetConsoleCtrlHandler(RemoveWorkItemsAndExit, TRUE);
}

}  // namespace pelko
