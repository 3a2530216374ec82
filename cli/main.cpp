// pelko-cli: the command line over the same core as the window.
#include <string>
#include <vector>

#include "cli/StandardStreams.h"
#include "system/Signals.h"
#include "system/LocalTimeZone.h"

int main(int argc, char** argv) {
    pelko::PinLocalTimeZone();
    pelko::InstallSignalHandling();
    const std::vector<std::string> args(argv + 1, argv + argc);
    return pelko::cli::RunOnStandardStreams(args);
}
