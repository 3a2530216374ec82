#include "support/CliRunner.h"

#include <stdexcept>

#include "support/TestFiles.h"
#include "support/ZipTools.h"

namespace pelko::test {

std::string CliPath() { return PELKO_CLI_PATH; }

CliResult RunCli(const std::string& directory, const std::vector<std::string>& args) {
    ScratchDir capture;
    std::string command = "cd " + ShellQuoted(directory) + " && " + ShellQuoted(PELKO_CLI_PATH);
    for (const std::string& arg : args) command += " " + ShellQuoted(arg);
    command += " 2>" + ShellQuoted(capture / "stderr");
    CliResult result;
    result.code = Run(command, &result.out);
    result.err = Exists(capture / "stderr") ? ReadFile(capture / "stderr") : std::string();
    return result;
}

std::optional<KjxParts> SplitKjx(std::string_view bytes) {
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() < 8 || bytes.substr(0, 3) != "KJX") return std::nullopt;
    KjxParts parts;
    const std::size_t k = at(4);
    if (bytes.size() < 8 + k) return std::nullopt;
    parts.containerName = bytes.substr(5, k);
    const std::size_t d = at(5 + k) * 256u + at(6 + k);
    const std::size_t j = at(7 + k);
    if (at(3) != 8 + k + j || bytes.size() < 8 + k + j + d) return std::nullopt;
    parts.descriptorName = bytes.substr(8 + k, j);
    parts.descriptor = bytes.substr(8 + k + j, d);
    parts.archive = bytes.substr(8 + k + j + d);
    return parts;
}

KjxParts ReadKjx(const std::string& path) {
    std::optional<KjxParts> parts = SplitKjx(ReadFile(path));
    if (!parts) throw std::runtime_error(path + " is no well-formed package");
    return std::move(*parts);
}

std::string AssembleKjx(const KjxParts& parts, std::optional<unsigned> headerLength,
                        std::optional<unsigned> descriptorLength) {
    const std::size_t k = parts.containerName.size();
    const std::size_t j = parts.descriptorName.size();
    const unsigned d = descriptorLength.value_or(static_cast<unsigned>(parts.descriptor.size()));
    std::string bytes = "KJX";
    bytes += static_cast<char>(headerLength.value_or(static_cast<unsigned>(8 + k + j)));
    bytes += static_cast<char>(k);
    bytes += parts.containerName;
    bytes += static_cast<char>(d >> 8);
    bytes += static_cast<char>(d & 0xFF);
    bytes += static_cast<char>(j);
    bytes += parts.descriptorName;
    bytes += parts.descriptor;
    bytes += parts.archive;
    return bytes;
}

std::vector<std::string> CrLfLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find("\r\n");
        lines.emplace_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 2);
    }
    return lines;
}

std::vector<std::string> OutputLines(std::string_view text) {
    std::vector<std::string> lines;
    for (std::size_t end; (end = text.find('\n')) != std::string_view::npos; text.remove_prefix(end + 1)) {
        lines.emplace_back(text.substr(0, end));
    }
    return lines;
}

std::string WithAttribute(std::string_view descriptor, std::string_view key, std::optional<std::string> value) {
    const std::string prefix = std::string(key) + ": ";
    std::vector<std::string> lines;
    for (std::string& line : CrLfLines(descriptor)) {
        if (line.rfind(prefix, 0) != 0) {
            lines.push_back(std::move(line));
        } else if (value) {
            lines.push_back(prefix + *value);
        }
    }
    return CrLf(lines);
}

}  // namespace pelko::test
