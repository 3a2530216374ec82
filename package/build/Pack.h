#pragma once
// An application's own descriptor and archive made into a package as they
// are, without anything personalised: the way back from what Unpack wrote,
// and the way from a developer's .jad and .jar to a KJX.
#include <string>

#include "package/build/BuildLog.h"

namespace pelko {

// Packs the descriptor at descriptorPath and the archive beside it (named
// as AppFiles says) into a package at outputPath (host paths), with the
// names, checks, log lines and atomic output of a build. The descriptor's
// lines stay as they are and in their order, but for the values of
// MIDlet-Jar-Size and MIDlet-Jar-URL, which are set (and added at the top
// when missing). Returns true after the success line. An unreadable
// descriptor raises OpenError.
bool PackApplication(const std::string& descriptorPath, const std::string& outputPath, const LogSink& log);

}  // namespace pelko
