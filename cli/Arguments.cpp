#include "cli/Arguments.h"

namespace pelko::cli {

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
    const std::size_t equals = word.find('=');
    if (isOption_ && word.starts_with("--") && equals != std::string::npos) {
        word_ = word.substr(0, equals);
        attached_ = word.substr(equals + 1);
    }
    return true;
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
