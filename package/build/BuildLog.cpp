#include "package/build/BuildLog.h"

namespace pelko {

LogLine ReasonLine(const std::string& what, const std::string& subject, const SystemError& error) {
    return ProblemLine(what + "(" + subject + ": " + error.reason + ")");
}

}  // namespace pelko
