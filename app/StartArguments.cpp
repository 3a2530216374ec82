#include "app/StartArguments.h"

#include <string_view>

#include "pelko/Version.h"

namespace {

// "--h" and "--he" are as good as "--help": GNU commands take any prefix
// that names one option alone, and no two of these share one.
bool Abbreviates(std::string_view typed, std::string_view option) {
    return typed.size() > 2 && option.starts_with(typed);
}

}  // namespace

StartRequest ReadStartArguments(const std::vector<std::string>& words) {
    StartRequest request;
    bool options = true;
    for (const std::string& word : words) {
        if (options && word == "--") {
            options = false;
        } else if (options && (word == "-h" || Abbreviates(word, "--help"))) {
            return {StartRequest::Kind::Help, {}, {}};
        } else if (options && Abbreviates(word, "--version")) {
            return {StartRequest::Kind::Version, {}, {}};
        } else if (options && word.size() > 1 && word.front() == '-') {
            if (request.message.empty()) request.message = "pelko: unknown option '" + word + "'";
        } else {
            request.files.push_back(word);
        }
    }
    if (!request.message.empty()) request.kind = StartRequest::Kind::Wrong;
    return request;
}

std::string StartHelpText() {
    return "Usage: pelko [FILE.jad]...\n"
           "Opens the window that makes personalised KJX packages from templates.\n"
           "Each FILE.jad is listed as a template after those of the program and\n"
           "user folders, and the first one is chosen.\n"
           "\n"
           "  -h, --help     print this help and exit\n"
           "      --version  print the version and exit\n"
           "\n"
           "pelko-cli makes, inspects, unpacks and packs packages without the window.\n";
}

std::string StartVersionText() {
    return "pelko " PELKO_VERSION "\n";
}
