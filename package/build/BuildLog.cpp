#include "package/build/BuildLog.h"

#include <system_error>

namespace pelko {

std::string SystemReason(int errorNumber) { return std::generic_category().message(errorNumber); }

LogLine ReasonLine(const std::string& what, const std::string& subject, int errorNumber) {
    return ProblemLine(what + "(" + subject + ": " + SystemReason(errorNumber) + ")");
}

}  // namespace pelko
