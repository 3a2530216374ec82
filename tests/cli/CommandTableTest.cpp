// The table of commands is what --help, the manual page and the completion
// are made from, so what it lists must be what the commands accept.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/Commands.h"

namespace pelko::cli {
namespace {

// The words of a command line that uses option name and is otherwise complete.
Words UsingOption(const Command& command, std::string_view name, bool takesValue) {
    Words words = {"x.jad"};
    if (command.name == "make" && name != "-o" && name != "--output") words.insert(words.end(), {"-o", "out"});
    words.emplace_back(name);
    if (takesValue) words.emplace_back("A=1");
    return words;
}

TEST(CommandTable, EveryOptionTheHelpListsIsAccepted) {
    for (const Command* command : AllCommands()) {
        for (const OptionHelp& option : command->options) {
            for (std::string_view name : {option.shortName, option.longName, option.otherName}) {
                if (name.empty()) continue;
                const std::string shown = std::string(command->name) + " " + std::string(name);
                try {
                    EXPECT_TRUE(command->parse(UsingOption(*command, name, !option.value.empty()))) << shown;
                } catch (const UsageError& error) {
                    ADD_FAILURE() << shown << ": " << error.what();
                }
            }
        }
    }
}

TEST(CommandTable, EveryCommandIsFoundByItsWordsAndAsksForHelpWithThem) {
    for (const Command* command : AllCommands()) {
        EXPECT_EQ(FindCommand(command->name), command) << command->name;
        if (!command->shortName.empty()) {
            EXPECT_EQ(FindCommand(command->shortName), command) << command->name;
        }
        if (command->help.empty()) continue;
        EXPECT_NE(HelpText().find("\n" + std::string(command->name)), std::string::npos) << command->name;
        EXPECT_FALSE(command->parse({"--help"})) << command->name << " --help is a request for help";
    }
    EXPECT_EQ(FindCommand("build"), nullptr);
}

}  // namespace
}  // namespace pelko::cli
