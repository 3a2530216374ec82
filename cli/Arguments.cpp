#include "cli/Arguments.h"

#include <cstddef>

namespace pelko::cli {
namespace {

// Walks a command's words: options ("-o", "--title", "--title=TEXT") and
// operands. After "--" every word is an operand, so a file named "-x.jad"
// can still be given.
class Scanner {
public:
    Scanner(const std::vector<std::string>& args, std::size_t start) : args_(args), next_(start) {}

    // Moves to the next word; false after the last one.
    bool Advance() {
        if (next_ >= args_.size()) return false;
        const std::string& word = args_[next_++];
        if (!operandsOnly_ && word == "--") {
            operandsOnly_ = true;
            return Advance();
        }
        word_ = word;
        attached_.reset();
        isOption_ = !operandsOnly_ && word.size() > 1 && word.front() == '-';
        const std::size_t equals = word.find('=');
        if (isOption_ && word.starts_with("--") && equals != std::string::npos) {
            word_ = word.substr(0, equals);
            attached_ = word.substr(equals + 1);
        }
        return true;
    }

    bool IsOption() const { return isOption_; }
    const std::string& Word() const { return word_; }

    // The option's value: attached after "=", or else the next word, whatever
    // it looks like (so that a title may begin with "-").
    std::string TakeValue() {
        if (attached_) return *attached_;
        if (next_ >= args_.size()) throw UsageError(word_ + " needs a value");
        return args_[next_++];
    }

    void RefuseValue() const {
        if (attached_) throw UsageError(word_ + " takes no value");
    }

private:
    const std::vector<std::string>& args_;
    std::size_t next_;
    std::string word_;
    std::optional<std::string> attached_;
    bool isOption_ = false;
    bool operandsOnly_ = false;
};

bool IsHelp(const std::string& word) { return word == "-h" || word == "--help"; }

// A second value for an option that takes one is more likely a slip than an
// intended override, so it is refused rather than silently replacing the first.
void SetOnce(std::optional<std::string>& slot, const std::string& option, std::string value) {
    if (slot) throw UsageError(option + " is given twice");
    slot = std::move(value);
}

void SetCopyright(std::optional<bool>& slot, bool value) {
    if (slot && *slot != value) throw UsageError("--copyright and --no-copyright exclude each other");
    slot = value;
}

std::string CheckedSetting(const std::string& setting) {
    const std::size_t equals = setting.find('=');
    if (equals == std::string::npos || equals == 0) {
        throw UsageError("--set needs NAME=VALUE, not \"" + setting + "\"");
    }
    return setting;
}

std::string OneOperand(const std::vector<std::string>& operands, const std::string& command,
                       const std::string& what) {
    if (operands.empty()) throw UsageError(command + " needs a " + what);
    if (operands.size() > 1) {
        throw UsageError(command + " takes one " + what + ", but \"" + operands[1] + "\" follows it");
    }
    return operands.front();
}

// Applies one option word of make; false when it is a request for help.
bool TakeMakeOption(Scanner& scanner, MakeRequest& request, std::optional<std::string>& output) {
    const std::string& word = scanner.Word();
    if (IsHelp(word)) return false;
    if (word == "-o" || word == "--output") {
        SetOnce(output, word, scanner.TakeValue());
    } else if (word == "--title") {
        SetOnce(request.title, word, scanner.TakeValue());
    } else if (word == "--author") {
        SetOnce(request.author, word, scanner.TakeValue());
    } else if (word == "--set") {
        request.settings.push_back(CheckedSetting(scanner.TakeValue()));
    } else if (word == "--strict") {
        scanner.RefuseValue();
        request.strict = true;
    } else if (word == "--copyright" || word == "--no-copyright") {
        scanner.RefuseValue();
        SetCopyright(request.copyright, word == "--copyright");
    } else {
        throw UsageError("make has no option " + word);
    }
    return true;
}

Request ParseMake(const std::vector<std::string>& args) {
    Scanner scanner(args, 1);
    MakeRequest request;
    std::optional<std::string> output;
    std::vector<std::string> operands;
    while (scanner.Advance()) {
        if (!scanner.IsOption()) {
            operands.push_back(scanner.Word());
        } else if (!TakeMakeOption(scanner, request, output)) {
            return HelpRequest{};
        }
    }
    request.templatePath = OneOperand(operands, "make", "template (TEMPLATE.jad)");
    if (!output) throw UsageError("make needs -o OUTPUT");
    if (output->empty()) throw UsageError("-o needs a path, not an empty text");
    request.outputPath = *output;
    return request;
}

// Commands that take one path and no options besides --help.
std::optional<std::string> ParseOnePath(const std::vector<std::string>& args, const std::string& what) {
    Scanner scanner(args, 1);
    std::vector<std::string> operands;
    while (scanner.Advance()) {
        if (!scanner.IsOption()) {
            operands.push_back(scanner.Word());
        } else if (IsHelp(scanner.Word())) {
            return std::nullopt;
        } else {
            throw UsageError(args.front() + " has no option " + scanner.Word());
        }
    }
    return OneOperand(operands, args.front(), what);
}

}  // namespace

Request ParseArguments(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError("no command given");
    const std::string& command = args.front();
    if (IsHelp(command)) return HelpRequest{};
    if (command == "--version") return VersionRequest{};
    if (command == "make") return ParseMake(args);
    if (command == "options") {
        std::optional<std::string> path = ParseOnePath(args, "template (TEMPLATE.jad)");
        if (!path) return HelpRequest{};
        return OptionsRequest{*path};
    }
    if (command == "inspect") {
        std::optional<std::string> path = ParseOnePath(args, "package (PACKAGE.kjx)");
        if (!path) return HelpRequest{};
        return InspectRequest{*path};
    }
    if (command == "templates") {
        Scanner scanner(args, 1);
        while (scanner.Advance()) {
            if (!scanner.IsOption()) {
                throw UsageError("templates takes no operand, but \"" + scanner.Word() + "\" follows it");
            }
            if (IsHelp(scanner.Word())) return HelpRequest{};
            throw UsageError("templates has no option " + scanner.Word());
        }
        return TemplatesRequest{};
    }
    if (command == "check") {
        std::optional<std::string> path = ParseOnePath(args, "template (TEMPLATE.jad)");
        if (!path) return HelpRequest{};
        return CheckRequest{*path};
    }
    if (command.starts_with("-")) throw UsageError("unknown option " + command);
    throw UsageError("unknown command \"" + command + "\"");
}

}  // namespace pelko::cli
