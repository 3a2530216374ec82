#pragma once
// Running the real pelko-cli, and KJX packages taken apart or put together
// by hand, independently of the code under test.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelko::test {

struct CliResult {
    int code = -1;
    std::string out;  // stdout
    std::string err;  // stderr
};

// The path of the pelko-cli executable under test.
std::string CliPath();

// Runs pelko-cli with args from inside directory (cd DIR && pelko-cli ...).
CliResult RunCli(const std::string& directory, const std::vector<std::string>& args);

struct KjxParts {
    std::string containerName;
    std::string descriptorName;
    std::string descriptor;
    std::string archive;
};

// Takes a well-formed package apart; nullopt when any field does not fit.
std::optional<KjxParts> SplitKjx(std::string_view bytes);
// The package in a file taken apart; throws std::runtime_error when it is no
// well-formed package.
KjxParts ReadKjx(const std::string& path);

// Puts a package together byte by byte. The stored header length and
// descriptor length can be forced to wrong values to make broken packages.
std::string AssembleKjx(const KjxParts& parts, std::optional<unsigned> headerLength = std::nullopt,
                        std::optional<unsigned> descriptorLength = std::nullopt);

// Lines cut at CR LF; a text that does not end in CR LF keeps its tail as a line.
std::vector<std::string> CrLfLines(std::string_view text);
// A command's output cut into its lines, each without its LF.
std::vector<std::string> OutputLines(std::string_view text);
// The descriptor text with every line named key replaced (or dropped when
// value is nullopt); the other lines stay in order.
std::string WithAttribute(std::string_view descriptor, std::string_view key,
                          std::optional<std::string> value);

}  // namespace pelko::test
