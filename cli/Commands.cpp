#include "cli/Commands.h"

#include <array>
#include <ostream>
#include <string_view>
#include <vector>

#include "cli/ErrorMessages.h"

namespace pelko::cli {
namespace {

// A command by its word, or by any prefix of --help or --version that
// names one of them alone.
const Command* CommandNamed(const std::string& word) {
    if (!word.starts_with("--")) return FindCommand(word);
    std::vector<std::string_view> options;
    for (const Command* command : AllCommands()) {
        if (command->name.starts_with("--")) options.push_back(command->name);
    }
    return FindCommand(ExpandLongName(word, options));
}

int Run(const Words& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) throw UsageError("no command given");
    const std::string& word = args.front();
    const Command* command = CommandNamed(word);
    if (!command) {
        if (word.starts_with("-")) throw UsageError("unknown option " + word);
        throw UsageError("unknown command \"" + word + "\"");
    }
    const std::optional<Request> request = command->parse(Words(args.begin() + 1, args.end()));
    if (!request) return HelpCommand().run(Request{}, out, err);
    return command->run(*request, out, err);
}

}  // namespace

std::span<const Command* const> AllCommands() {
    static const std::array<const Command*, 9> commands = {
        &MakeCommand(),   &OptionsCommand(),   &CheckCommand(), &InspectCommand(), &PackCommand(),
        &UnpackCommand(), &TemplatesCommand(), &HelpCommand(),  &VersionCommand(),
    };
    return commands;
}

const Command* FindCommand(std::string_view word) {
    for (const Command* command : AllCommands()) {
        if (word == command->name || (!command->shortName.empty() && word == command->shortName)) return command;
    }
    return nullptr;
}

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    // Whatever was printed goes out before a message, so the two keep their order.
    try {
        return Run(args, out, err);
    } catch (const UsageError& error) {
        out.flush();
        err << ErrorMessage(error.what()) << "\nTry 'pelko-cli --help' for the usage.\n";
        return kExitUsage;
    } catch (const ArgumentError& error) {
        out.flush();
        err << ErrorMessage(error.what()) << '\n';
        return kExitUsage;
    } catch (const Error& error) {
        // Raised by the core: its fixed text and the system's reason.
        out.flush();
        err << ErrorMessage(error) << '\n';
        return kExitFailed;
    } catch (const std::exception& error) {
        out.flush();
        err << ErrorMessage(error.what()) << '\n';
        return kExitFailed;
    }
}

}  // namespace pelko::cli
