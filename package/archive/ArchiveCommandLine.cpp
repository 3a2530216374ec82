#include "package/archive/ArchiveCommandLine.h"

#include "package/archive/Archive.h"
#include "package/archive/ArchiveFailure.h"

namespace pelko {
namespace archive {
namespace {

Operation OperationOf(std::string_view switches) {
    if (switches == "-Xqu9") return Operation::Update;
    if (switches == "-qd") return Operation::Delete;
    if (switches == "-Xqju9") return Operation::StoreAtRoot;
    throw ArchiveFailure(kArchiveBadCommand,
                         "unsupported switches " + QuotedName(switches) + ": expected -Xqu9, -qd or -Xqju9");
}

// Takes a double-quoted name from the front of rest. Names carry no escapes,
// and no CP932 trail byte is ever a double quote or a space.
std::string TakeQuoted(std::string_view& rest, std::string_view what) {
    if (rest.empty() || rest.front() != '"') {
        throw Malformed(std::string(what) + " must follow one space, in double quotes");
    }
    const std::size_t close = rest.find('"', 1);
    if (close == std::string_view::npos) throw Malformed(std::string(what) + " has no closing double quote");
    if (close == 1) throw Malformed(std::string(what) + " is empty");
    std::string name(rest.substr(1, close - 1));
    rest.remove_prefix(close + 1);
    return name;
}

void TakeSpace(std::string_view& rest, std::string_view what) {
    if (rest.empty() || rest.front() != ' ') {
        throw Malformed(std::string(what) + " must follow one space, in double quotes");
    }
    rest.remove_prefix(1);
}

}  // namespace

Command ParseCommandLine(std::string_view line) {
    if (line.find('\0') != std::string_view::npos) throw Malformed("it contains a NUL byte");
    const std::size_t space = line.find(' ');
    if (space == 0 || space == std::string_view::npos) {
        throw Malformed("expected switches, a space, \"ARCHIVE\", a space and \"NAME\"");
    }
    std::string_view rest = line.substr(space + 1);
    std::string archive = TakeQuoted(rest, "the archive name");
    TakeSpace(rest, "the second name");
    std::string name = TakeQuoted(rest, "the second name");
    if (!rest.empty()) throw Malformed("text follows the second name");
    return Command{OperationOf(line.substr(0, space)), std::move(archive), std::move(name)};
}

}  // namespace archive

std::string ArchiveCommandLine(std::string_view switches, std::string_view archive, std::string_view name) {
    std::string line(switches);
    line += " \"";
    line += archive;
    line += "\" \"";
    line += name;
    line += '"';
    return line;
}

}  // namespace pelko
