#pragma once
// The command line of pelko-cli, read into one request per command. Texts
// stay as typed (UTF-8); converting and checking them is the commands' job.
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace pelko::cli {

// A command line that does not follow the usage; the help points the way.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A well-formed command line with a value that cannot be used.
class ArgumentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct HelpRequest {};
struct VersionRequest {};

struct MakeRequest {
    std::string templatePath;
    std::string outputPath;
    std::optional<std::string> title;
    std::optional<std::string> author;
    std::optional<bool> copyright;      // unset: as the template says
    std::vector<std::string> settings;  // each "NAME=VALUE", in command-line order
    bool strict = false;                // any "[!]" line fails the command
};

struct OptionsRequest {
    std::string templatePath;
};

struct InspectRequest {
    std::string packagePath;
};

struct TemplatesRequest {};

struct CheckRequest {
    std::string templatePath;
};

using Request = std::variant<HelpRequest, VersionRequest, MakeRequest, OptionsRequest, InspectRequest,
                             TemplatesRequest, CheckRequest>;

// args without the program name. UsageError when they do not fit the usage.
Request ParseArguments(const std::vector<std::string>& args);

}  // namespace pelko::cli
