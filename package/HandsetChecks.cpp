#include "package/HandsetChecks.h"

#include <array>
#include <cstdio>
#include <map>

#include "package/KjxFormat.h"
#include "text/Cp932.h"
#include "text/Lines.h"
#include "text/StringList.h"
#include "text/Text.h"

namespace pelko {
namespace {

// Long lines are named by their beginning only.
constexpr std::size_t kShownBytes = 64;

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

// At most kShownBytes bytes, never cutting a CP932 character in two.
std::string_view Beginning(std::string_view text) {
    if (text.size() <= kShownBytes) return text;
    std::size_t end = 0;
    while (end < kShownBytes) {
        const std::size_t width = IsLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + width > kShownBytes) break;
        end += width;
    }
    return text.substr(0, end);
}

std::string Subject(std::string_view line) {
    if (line.empty()) return "空行";
    std::string shown = ShownSubject(Beginning(line));
    if (line.size() > kShownBytes) shown += "...";
    return shown;
}

std::string Message(std::string_view sentence, std::string_view subject) {
    return std::string(sentence) + "(" + std::string(subject) + ")";
}

// java.util.jar.Attributes.Name: ASCII letters, digits, "-" and "_".
bool IsNameByte(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

bool IsManifestName(std::string_view name) {
    if (name.empty()) return false;
    for (char c : name) {
        if (!IsNameByte(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

std::string AsciiLower(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lowered;
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

// ---- the manifest, read the way java.util.jar.Manifest reads it ----------------

struct ManifestAttribute {
    int line;  // 1-based
    std::string_view name;
    std::string_view value;  // as written after ": "
};

class ManifestReader {
public:
    ManifestReader(const std::vector<std::string>& lines, HandsetProblems& problems)
        : lines_(lines), problems_(problems) {}

    // Walks every line; returns the attributes of the main section.
    std::vector<ManifestAttribute> Read() {
        std::vector<ManifestAttribute> main;
        bool inMain = true;
        bool afterBlank = false;
        std::map<std::string, int> seen;  // the section's names, lowered as the reader compares them
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            const std::string& line = lines_[i];
            const int number = static_cast<int>(i) + 1;
            if (line.empty()) {
                if (!afterBlank) BlankLine(i);
                afterBlank = true;
                inMain = false;
                seen.clear();
                continue;
            }
            if (line.size() > kManifestLineLimit) {
                Problem(number, "", "Manifestの行が510バイトを超える", Subject(line));
            }
            // A line that begins with a space continues the header above it.
            if (line.front() == ' ') {
                if (i == 0) Problem(number, "", "Manifestの継続行の位置が不正", Subject(line));
                continue;
            }
            afterBlank = false;
            std::optional<ManifestAttribute> attribute = Header(number, line);
            if (!attribute) continue;
            if (!seen.emplace(AsciiLower(attribute->name), number).second) {
                Problem(number, attribute->name, "Manifestに同じ属性が2つある", Subject(line));
            }
            if (inMain) main.push_back(*attribute);
        }
        return main;
    }

private:
    // After a blank line only a "Name: " line may follow, which begins a
    // section of its own; anything else makes the reader refuse the archive.
    void BlankLine(std::size_t blank) {
        for (std::size_t next = blank + 1; next < lines_.size(); ++next) {
            const std::string& line = lines_[next];
            if (line.empty()) continue;
            if (AsciiLower(std::string_view(line).substr(0, 6)) != "name: ") {
                Problem(static_cast<int>(blank) + 1, "", "Manifestの空行でセクションが終わる", Subject(line));
            }
            return;
        }
    }

    std::optional<ManifestAttribute> Header(int number, std::string_view line) {
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            Problem(number, "", "Manifestの行にコロンがない", Subject(line));
            return std::nullopt;
        }
        const std::string_view name = line.substr(0, colon);
        if (colon + 1 == line.size()) {
            Problem(number, name, "Manifestの値がない", Subject(line));
            return std::nullopt;
        }
        if (line[colon + 1] != ' ') {
            Problem(number, name, "Manifestのコロンの後に空白がない", Subject(line));
            return std::nullopt;
        }
        if (!IsManifestName(name)) {
            Problem(number, name, "Manifestの属性名が不正", Subject(line));
            return std::nullopt;
        }
        if (name.size() > kManifestNameLimit) {
            Problem(number, name, "Manifestの属性名が70バイトを超える", Subject(line));
            return std::nullopt;
        }
        return ManifestAttribute{number, name, line.substr(colon + 2)};
    }

    void Problem(int line, std::string_view key, std::string_view sentence, std::string_view subject) {
        problems_.push_back({HandsetRule::ManifestGrammar, CheckedText::Manifest, line, std::string(key),
                             Message(sentence, subject)});
    }

    const std::vector<std::string>& lines_;
    HandsetProblems& problems_;
};

const ManifestAttribute* Find(const std::vector<ManifestAttribute>& attributes, std::string_view name) {
    for (const ManifestAttribute& attribute : attributes) {
        if (attribute.name == name) return &attribute;
    }
    return nullptr;
}

// The main section's attributes without reporting anything.
std::vector<ManifestAttribute> MainAttributes(const std::vector<std::string>& lines) {
    HandsetProblems ignored;
    return ManifestReader(lines, ignored).Read();
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
                            Message(sentence, Subject(text))});
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
    const std::vector<ManifestAttribute> main = ManifestReader(manifest, problems).Read();
    auto require = [&](std::string_view key) {
        if (!Find(main, key)) {
            Add(problems, HandsetRule::RequiredAttribute, CheckedText::Manifest, 0, key,
                Message("Manifestに必須属性がない", key));
        }
    };
    for (std::string_view key : kRequiredInBoth) require(key);
    if (const ManifestAttribute* version = Find(main, "MIDlet-Version");
        version && !IsVersion(Trimmed(version->value))) {
        Add(problems, HandsetRule::RequiredAttribute, CheckedText::Manifest, version->line, version->name,
            Message("ManifestのMIDlet-Versionが不正", Subject(manifest[version->line - 1])));
    }
    const std::vector<ManifestAttribute> old = MainAttributes(templateManifest);
    for (std::string_view key : kPlatformKeys) {
        const ManifestAttribute* declared = Find(old, key);
        if (declared && !Find(main, key)) {
            Add(problems, HandsetRule::LostAttribute, CheckedText::Manifest, 0, key,
                Message("Manifestから属性が消える", Subject(templateManifest[declared->line - 1])));
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
        Add(problems, rule, CheckedText::Descriptor, at.line, at.key, Message(sentence, Subject(at.text)));
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
                Message("JADに必須属性がない", key));
        }
    }
    for (std::string_view key : kRequiredInDescriptor) {
        if (!first(key)) {
            Add(problems, HandsetRule::RequiredAttribute, CheckedText::Descriptor, 0, key,
                Message("JADに必須属性がない", key));
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
