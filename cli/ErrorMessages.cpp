#include "cli/ErrorMessages.h"

namespace pelko::cli {

std::string ErrorMessage(std::string_view what, std::string_view reason) {
    std::string message = "pelko-cli: " + std::string(what);
    if (!reason.empty()) message += ": " + std::string(reason);
    return message;
}

std::string ErrorMessage(const Error& error) { return ErrorMessage(error.what(), error.Reason()); }

}  // namespace pelko::cli
