#include "package/build/BuildLog.h"

#include <string_view>

namespace pelko {
namespace {

bool IsOneOf(const std::string& action, std::initializer_list<std::string_view> actions) {
    for (std::string_view one : actions) {
        if (action == one) return true;
    }
    return false;
}

std::string WhatFailed(const std::string& action) {
    if (action == "allocate") return "メモリが足りません";
    if (IsOneOf(action, {"open", "read", "stat", "seek", "duplicate"})) return "ファイルを読めません";
    if (IsOneOf(action, {"create", "create directory"})) return "ファイルを作成できません";
    return "ファイルに書き込めません";
}

}  // namespace

LogLine ReasonLine(const std::string& what, const std::string& subject, const SystemError& error) {
    return ProblemLine(what + "(" + subject + ": " + error.reason + ")");
}

LogLine SystemProblemLine(const SystemError& error) {
    return ReasonLine(WhatFailed(error.action), error.subject, error);
}

}  // namespace pelko
