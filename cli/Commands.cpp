#include "cli/Commands.h"

#include <array>
#include <ostream>

#include "text/Errors.h"

namespace pelko::cli {
namespace {

int Run(const Words& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) throw UsageError("no command given");
    const std::string& word = args.front();
    const Command* command = FindCommand(word);
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
    static const std::array<const Command*, 7> commands = {
        &MakeCommand(),    &OptionsCommand(), &CheckCommand(),   &InspectCommand(),
        &TemplatesCommand(), &HelpCommand(),  &VersionCommand(),
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
        err << "pelko-cli: " << error.what() << "\nTry 'pelko-cli --help' for the usage.\n";
        return kExitUsage;
    } catch (const ArgumentError& error) {
        out.flush();
        err << "pelko-cli: " << error.what() << '\n';
        return kExitUsage;
    } catch (const FileError& error) {
        // The text the window's error box would show, and what the system
        // said when it is more than that the file is not there.
        out.flush();
        err << ErrorBoxText(error.what()) << '\n';
        if (!IsNotFound(error.System())) {
            err << "pelko-cli: " << error.System().subject << ": " << error.System().reason << '\n';
        }
        return kExitFailed;
    } catch (const Error& error) {
        // Raised by the core: the text the window's error box would show.
        out.flush();
        err << ErrorBoxText(error.what()) << '\n';
        return kExitFailed;
    } catch (const std::exception& error) {
        out.flush();
        err << "pelko-cli: " << error.what() << '\n';
        return kExitFailed;
    }
}

}  // namespace pelko::cli
