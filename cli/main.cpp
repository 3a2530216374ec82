// pelko-cli: the command line over the same core as the window.
#include "cli/Commands.h"
#include "system/CommandLine.h"
#include "system/LocalTimeZone.h"
#include "system/Signals.h"

int main(int argc, char** argv) {
    pelko::PinLocalTimeZone();
    pelko::InstallSignalHandling();
    return pelko::cli::RunCommandLine(pelko::ProgramArguments(argc, argv), pelko::StandardOutput(),
                                      pelko::StandardError());
}
