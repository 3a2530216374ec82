#pragma once
// Reading a command's words: options ("-o", "--title", "--title=TEXT") and
// operands, and the two ways a command line can be wrong. Texts stay as
// typed (UTF-8); converting and checking them is the commands' job.
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pelko::cli {

using Words = std::vector<std::string>;

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

// Walks a command's words. After "--" every word is an operand, so a file
// named "-x.jad" can still be given.
class Scanner {
public:
    explicit Scanner(const Words& words) : words_(words) {}

    // Moves to the next word; false after the last one.
    bool Advance();
    bool IsOption() const { return isOption_; }
    // The option without an attached "=VALUE", or the operand.
    const std::string& Word() const { return word_; }
    // The option's value: attached after "=", or else the next word, whatever
    // it looks like (so that a title may begin with "-").
    std::string TakeValue();
    // UsageError when a value was attached to an option that takes none.
    void RefuseValue() const;

private:
    const Words& words_;
    std::size_t next_ = 0;
    std::string word_;
    std::optional<std::string> attached_;
    bool isOption_ = false;
    bool operandsOnly_ = false;
};

// "-h" or "--help".
bool IsHelp(const std::string& word);

// The one operand of command; UsageError naming what is missing or extra.
std::string OneOperand(const Words& operands, const std::string& command, const std::string& what);

// The words of a command that takes one path (what it is, for the messages)
// and no option besides --help: the path, or nullopt for help.
std::optional<std::string> ParseOnePath(const Words& words, const std::string& command, const std::string& what);

// The words of a command that takes nothing: false for help.
bool ParseNothing(const Words& words, const std::string& command);

}  // namespace pelko::cli
