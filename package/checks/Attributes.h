#pragma once
// The attributes of a MIDlet's descriptor and manifest as every check reads
// them: which ones a handset requires, how a descriptor line splits into
// name and value, and what counts as a byte count.
#include <cstdint>
#include <optional>
#include <string_view>

namespace pelko {

struct RequiredAttribute {
    std::string_view name;
    bool inManifest;         // the manifest needs it too, not only the descriptor
    bool readByInspection;   // the package reader requires it before any handset rule
};
// In the order the checks report them missing.
inline constexpr RequiredAttribute kRequiredAttributes[] = {
    {"MIDlet-Name", true, true},      {"MIDlet-Vendor", true, true},     {"MIDlet-Version", true, true},
    {"MIDlet-1", true, false},        {"MIDlet-Jar-URL", false, true},   {"MIDlet-Jar-Size", false, true},
};

// Manifest attributes that only the tools which pack an archive write, about
// themselves: no handset and no application reads them, so a package may
// lose them. Compared without letter case, as manifest names are.
inline constexpr std::string_view kBuildToolAttributes[] = {
    "Manifest-Version", "Created-By",     "Ant-Version", "Built-By",         "Build-Jdk",
    "Build-Jdk-Spec",   "Archiver-Version", "Bnd-LastModified", "Tool",
};
bool IsBuildToolAttribute(std::string_view name);

// A descriptor line "Name: value" as handsets read it: the name is what
// comes before the first colon, the value what follows it, without the
// blanks (spaces and tabs) around it.
struct AttributeLine {
    std::string_view name;
    std::string_view value;
};
// nullopt when the line has no colon.
std::optional<AttributeLine> SplitAttributeLine(std::string_view line);
// text without the spaces and tabs at either end.
std::string_view WithoutBlanks(std::string_view text);

// Decimal digits only, as MIDlet-Jar-Size is written: a handset reads no
// sign, blank or hexadecimal there. nullopt for anything else, and for more
// digits than a package can count.
std::optional<std::uint64_t> ParseByteCount(std::string_view text);

}  // namespace pelko
