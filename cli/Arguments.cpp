#include "cli/Arguments.h"

#include <algorithm>

namespace pelko::cli {

std::string ExpandLongName(std::string_view typed, std::span<const std::string_view> names) {
    if (std::find(names.begin(), names.end(), typed) != names.end()) return std::string(typed);
    std::vector<std::string_view> begun;
    for (std::string_view name : names) {
        if (name.starts_with(typed)) begun.push_back(name);
    }
    if (begun.size() == 1) return std::string(begun.front());
    if (begun.empty()) return std::string(typed);
    std::string message = "option " + std::string(typed) + " is ambiguous; it may be";
    for (std::string_view name : begun) message += (name == begun.front() ? " " : ", ") + std::string(name);
    throw UsageError(message);
}

Scanner::Scanner(const Words& words, std::span<const OptionHelp> options)
    : words_(words), options_(options), longNames_{"--help"} {
    for (const OptionHelp& option : options) {
        longNames_.push_back(option.longName);
        if (!option.otherName.empty()) longNames_.push_back(option.otherName);
    }
}

bool Scanner::Advance() {
    if (next_ >= words_.size()) return false;
    const std::string& word = words_[next_++];
    if (!operandsOnly_ && word == "--") {
        operandsOnly_ = true;
        return Advance();
    }
    word_ = word;
    attached_.reset();
    isOption_ = !operandsOnly_ && word.size() > 1 && word.front() == '-';
    if (isOption_ && word.starts_with("--")) {
        ReadLongOption(word);
    } else if (isOption_) {
        ReadShortOption(word);
    }
    return true;
}

void Scanner::ReadLongOption(const std::string& word) {
    const std::size_t equals = word.find('=');
    if (equals != std::string::npos) attached_ = word.substr(equals + 1);
    word_ = ExpandLongName(std::string_view(word).substr(0, equals), longNames_);
}

// "-oFILE": the rest of the word is the value of a short option that takes
// one; any other word stays whole, for the command to refuse.
void Scanner::ReadShortOption(const std::string& word) {
    if (word.size() <= 2) return;
    const std::string_view name = std::string_view(word).substr(0, 2);
    for (const OptionHelp& option : options_) {
        if (option.shortName == name && !option.value.empty()) {
            word_ = std::string(name);
            attached_ = word.substr(2);
            return;
        }
    }
}

std::string Scanner::TakeValue() {
    if (attached_) return *attached_;
    if (next_ >= words_.size()) throw UsageError(word_ + " needs a value");
    return words_[next_++];
}

void Scanner::RefuseValue() const {
    if (attached_) throw UsageError(word_ + " takes no value");
}

bool IsHelp(const std::string& word) { return word == "-h" || word == "--help"; }

std::string OneOperand(const Words& operands, const std::string& command, const std::string& what) {
    if (operands.empty()) throw UsageError(command + " needs a " + what);
    if (operands.size() > 1) {
        throw UsageError(command + " takes one " + what + ", but \"" + operands[1] + "\" follows it");
    }
    return operands.front();
}

std::optional<std::string> ParseOnePath(const Words& words, const std::string& command, const std::string& what) {
    Scanner scanner(words);
    Words operands;
    while (scanner.Advance()) {
        if (!scanner.IsOption()) {
            operands.push_back(scanner.Word());
        } else if (IsHelp(scanner.Word())) {
            return std::nullopt;
        } else {
            throw UsageError(command + " has no option " + scanner.Word());
        }
    }
    return OneOperand(operands, command, what);
}

bool ParseNothing(const Words& words, const std::string& command) {
    Scanner scanner(words);
    while (scanner.Advance()) {
        if (!scanner.IsOption()) {
            throw UsageError(command + " takes no operand, but \"" + scanner.Word() + "\" follows it");
        }
        if (IsHelp(scanner.Word())) return false;
        throw UsageError(command + " has no option " + scanner.Word());
    }
    return true;
}

}  // namespace pelko::cli
