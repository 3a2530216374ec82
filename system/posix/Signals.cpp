#include "system/Signals.h"

#include <signal.h>
#include <unistd.h>

#include "system/CleanupRegistry.h"

namespace pelko {
namespace {

// A long archive commit runs in one libzip call; waiting for it to return
// to a flag check could take minutes, so the handler removes the items itself
// with async-signal-safe calls and ends the process at once.
extern "C" void RemoveWorkItemsAndExit(int signalNumber) {
    RemoveRememberedItems();
    _exit(128 + signalNumber);
}

void Catch(int signalNumber) {
    struct sigaction action {};
    action.sa_handler = RemoveWorkItemsAndExit;
    sigemptyset(&action.sa_mask);
    // While one of them is being handled the others wait: the first one ends the process.
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    sigaddset(&action.sa_mask, SIGHUP);
    sigaction(signalNumber, &action, nullptr);
}

}  // namespace

void InstallSignalHandling() {
    Catch(SIGINT);
    Catch(SIGTERM);
    Catch(SIGHUP);
    signal(SIGXFSZ, SIG_IGN);
}

}  // namespace pelko
