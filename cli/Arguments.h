#pragma once
// Reading a command's words: options in the forms GNU commands take ("-o
// FILE", "-oFILE", "--output FILE", "--output=FILE", "--out" for any prefix
// that names one option alone) and operands, and the two ways a command
// line can be wrong. Texts stay as typed (UTF-8); converting and checking
// them is the commands' job.
#include <cstddef>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pelko::cli {

using Words = std::vector<std::string>;

// An option as --help lists it: "-o, --output OUTPUT" and its description.
struct OptionHelp {
    std::string_view shortName;  // "-o", or empty
    std::string_view longName;   // "--output"
    std::string_view otherName;  // a second long name with the opposite meaning, or empty
    std::string_view value;      // "OUTPUT", or empty for a switch
    std::string_view text;       // lines joined by '\n'
};

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

// The long name typed stands for: itself when it is one of names, else the
// one name it begins, else typed unchanged (for the command to refuse).
// UsageError when it begins several.
std::string ExpandLongName(std::string_view typed, std::span<const std::string_view> names);

// Walks a command's words. After "--" every word is an operand, so a file
// named "-x.jad" can still be given.
class Scanner {
public:
    // options: the command's own; --help is known to every command.
    explicit Scanner(const Words& words, std::span<const OptionHelp> options = {});

    // Moves to the next word; false after the last one.
    bool Advance();
    bool IsOption() const { return isOption_; }
    // The option, its long name written out, without an attached value; or
    // the operand.
    const std::string& Word() const { return word_; }
    // The option's value: attached (after "=", or to a short name), or else
    // the next word, whatever it looks like (so that a title may begin with "-").
    std::string TakeValue();
    // UsageError when a value was attached to an option that takes none.
    void RefuseValue() const;

private:
    void ReadLongOption(const std::string& word);
    void ReadShortOption(const std::string& word);

    const Words& words_;
    std::span<const OptionHelp> options_;
    std::vector<std::string_view> longNames_;
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
