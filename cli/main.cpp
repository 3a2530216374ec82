// pelko-cli: the command line over the same core as the window.
#include "cli/StandardStreams.h"
#include "system/CommandLine.h"
#include "system/LocalTimeZone.h"
#include "system/Signals.h"

int main(int argc, char** argv) {
    pelko::PinLocalTimeZone();
    pelko::InstallSignalHandling();
    return pelko::cli::RunOnStandardStreams(pelko::ProgramArguments(argc, argv));
}
