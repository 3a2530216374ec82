#pragma once
// How pelko-cli ends when it is interrupted: the work items of a build in
// progress are removed first, so that nothing is left behind.

namespace pelko {

// SIGINT, SIGTERM and SIGHUP remove the build's work directory and staging
// file and end the process with 128 + the signal's number (130, 143, 129).
// SIGXFSZ is ignored, so that a file-size limit fails the write that hits it
// and the build reports it, instead of killing the process.
void InstallSignalHandling();

}  // namespace pelko
