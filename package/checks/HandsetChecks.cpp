#include "package/checks/HandsetChecks.h"

#include <array>
#include <cstdio>
#include <map>

#include "package/kjx/KjxFormat.h"
#include "package/checks/ManifestReader.h"
#include "text/Cp932.h"
#include "text/Text.h"

namespace pelko {
namespace {

// The attributes that must agree between the two texts.
constexpr std::array<std::string_view, 3> kSharedKeys = {"MIDlet-Name", "MIDlet-Vendor", "MIDlet-Version"};
constexpr std::array<std::string_view, 4> kRequiredInBoth = {"MIDlet-Name", "MIDlet-Vendor", "MIDlet-Version",
                                                             "MIDlet-1"};
constexpr std::array<std::string_view, 2> kRequiredInDescriptor = {"MIDlet-Jar-URL", "MIDlet-Jar-Size"};
// A handset refuses an application that does not say which platform it needs.
constexpr std::array<std::string_view, 2> kPlatformKeys = {"MicroEdition-Profile",
                                                           "MicroEdition-Configuration"};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// One to three dot-separated decimal numbers, as MIDlet-Version is written.
bool IsVersion(std::string_view value) {
    int parts = 0;
    std::size_t digits = 0;
    for (char c : value) {
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == '.' && digits > 0) {
            ++parts;
            digits = 0;
        } else {
            return false;
        }
    }
    return digits > 0 && parts < 3;
}

const ManifestAttribute* Find(const std::vector<ManifestAttribute>& attributes, std::string_view name) {
    for (const ManifestAttribute& attribute : attributes) {
        if (attribute.name == name) return &attribute;
    }
    return nullptr;
}

// The main section's attributes without reporting anything.
std::vector<ManifestAttribute> MainAttributes(const std::vector<std::string>& lines) {
    HandsetProblems ignored;
    return ReadManifest(lines, ignored);
}

// ---- the descriptor, read the way a handset's installer reads it --------------

struct DescriptorAttribute {
    int line;
    std::string_view key;
    std::string_view value;  // without the blanks around it
    std::string_view text;   // the whole line
};

std::vector<DescriptorAttribute> ReadDescriptor(const std::vector<std::string>& lines,
                                                HandsetProblems& problems) {
    std::vector<DescriptorAttribute> attributes;
    auto problem = [&](int line, std::string_view key, std::string_view sentence, std::string_view text) {
        problems.push_back({HandsetRule::DescriptorGrammar, CheckedText::Descriptor, line, std::string(key),
                            ProblemMessage(sentence, ProblemSubject(text))});
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const int number = static_cast<int>(i) + 1;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            problem(number, "", "JADの行にコロンがない", line);
            continue;
        }
        const std::string_view key = line.substr(0, colon);
        const std::string_view value = Trimmed(line.substr(colon + 1));
        if (Trimmed(key).empty()) {
            problem(number, key, "JADの属性名が空", line);
            continue;
        }
        if (value.empty()) problem(number, key, "JADの値が空", line);
        attributes.push_back({number, key, value, line});
    }
    return attributes;
}

// ---- rules over both texts -----------------------------------------------------

void Add(HandsetProblems& problems, HandsetRule rule, CheckedText text, int line, std::string_view key,
         std::string message) {
    problems.push_back({rule, text, line, std::string(key), std::move(message)});
}

}  // namespace

HandsetProblems CheckManifest(const std::vector<std::string>& manifest,
                              const std::vector<std::string>& templateManifest) {
    HandsetProblems problems;
    const std::vector<ManifestAttribute> main = ReadManifest(manifest, problems);
    auto require = [&](std::string_view key) {
        if (!Find(main, key)) {
            Add(problems, HandsetRule::RequiredAttribute, CheckedText::Manifest, 0, key,
                ProblemMessage("Manifestに必須属性がない", key));
        }
    };
    for (std::string_view key : kRequiredInBoth) require(key);
    if (const ManifestAttribute* version = Find(main, "MIDlet-Version");
        version && !IsVersion(Trimmed(version->value))) {
        Add(problems, HandsetRule::RequiredAttribute, CheckedText::Manifest, version->line, version->name,
            ProblemMessage("ManifestのMIDlet-Versionが不正", ProblemSubject(manifest[version->line - 1])));
    }
    const std::vector<ManifestAttribute> old = MainAttributes(templateManifest);
    for (std::string_view key : kPlatformKeys) {
        const ManifestAttribute* declared = Find(old, key);
        if (declared && !Find(main, key)) {
            Add(problems, HandsetRule::LostAttribute, CheckedText::Manifest, 0, key,
                ProblemMessage("Manifestから属性が消える", ProblemSubject(templateManifest[declared->line - 1])));
        }
    }
    return problems;
}

HandsetProblems CheckDescriptor(const std::vector<std::string>& descriptor,
                                const std::vector<std::string>& manifest) {
    HandsetProblems problems;
    const std::vector<DescriptorAttribute> attributes = ReadDescriptor(descriptor, problems);
    // The first line of each key; a hostile descriptor has thousands of lines.
    std::map<std::string_view, const DescriptorAttribute*> firsts;
    for (const DescriptorAttribute& attribute : attributes) firsts.emplace(attribute.key, &attribute);
    auto first = [&](std::string_view key) -> const DescriptorAttribute* {
        const auto found = firsts.find(key);
        return found == firsts.end() ? nullptr : found->second;
    };
    auto add = [&](HandsetRule rule, const DescriptorAttribute& at, std::string_view sentence) {
        Add(problems, rule, CheckedText::Descriptor, at.line, at.key, ProblemMessage(sentence, ProblemSubject(at.text)));
    };

    // A key twice with different values: which one a handset takes is its own affair.
    for (const DescriptorAttribute& attribute : attributes) {
        const DescriptorAttribute* earlier = first(attribute.key);
        if (earlier != &attribute && earlier->value != attribute.value) {
            add(HandsetRule::Disagreement, attribute, "JADに値の違う同じ属性がある");
        }
    }
    for (std::string_view key : kRequiredInBoth) {
        if (!first(key)) {
            Add(problems, HandsetRule::RequiredAttribute, CheckedText::Descriptor, 0, key,
                ProblemMessage("JADに必須属性がない", key));
        }
    }
    for (std::string_view key : kRequiredInDescriptor) {
        if (!first(key)) {
            Add(problems, HandsetRule::RequiredAttribute, CheckedText::Descriptor, 0, key,
                ProblemMessage("JADに必須属性がない", key));
        }
    }
    if (const DescriptorAttribute* version = first("MIDlet-Version"); version && !IsVersion(version->value)) {
        add(HandsetRule::RequiredAttribute, *version, "JADのMIDlet-Versionが不正");
    }

    // Handsets refuse a package whose two texts name another application.
    const std::vector<ManifestAttribute> main = MainAttributes(manifest);
    for (std::string_view key : kSharedKeys) {
        const ManifestAttribute* inManifest = Find(main, key);
        if (!inManifest) continue;
        for (const DescriptorAttribute& attribute : attributes) {
            if (attribute.key == key && attribute.value != Trimmed(inManifest->value)) {
                add(HandsetRule::Disagreement, attribute, "JADとManifestで値が違う");
            }
        }
    }

    if (const DescriptorAttribute* url = first("MIDlet-Jar-URL")) {
        bool ascii = true;
        for (char c : url->value) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte >= 0x7F) ascii = false;
        }
        if (!ascii) add(HandsetRule::PlatformLimit, *url, "MIDlet-Jar-URLがASCIIでない");
        if (url->value.size() > kJarUrlLimit)
            add(HandsetRule::PlatformLimit, *url, "MIDlet-Jar-URLが24バイトを超える");
    }
    if (const DescriptorAttribute* size = first("MIDlet-Jar-Size")) {
        // Only a plain byte count is compared; anything else is the package reader's to report.
        std::uint64_t bytes = 0;
        bool count = !size->value.empty() && size->value.size() <= 18;
        for (char c : size->value) {
            if (c < '0' || c > '9') count = false;
            bytes = bytes * 10 + static_cast<unsigned>(c - '0');
        }
        if (count && bytes > kJarSizeLimit)
            add(HandsetRule::PlatformLimit, *size, "JARが51200バイトを超える");
    }
    return problems;
}

std::string LogLine(const HandsetProblem& problem) { return "[!]" + problem.message; }

std::string ShownSubject(std::string_view cp932) {
    std::string shown;
    for (char c : Cp932ToUtf8(cp932)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            shown += escaped;
        } else {
            shown += c;
        }
    }
    return shown;
}

}  // namespace pelko
