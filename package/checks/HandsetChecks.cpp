#include "package/checks/HandsetChecks.h"

#include <algorithm>
#include <array>
#include <map>

#include "package/checks/Attributes.h"
#include "package/checks/ManifestReader.h"
#include "package/checks/Wording.h"
#include "text/Text.h"

namespace pelko {
namespace {

// The attributes that must agree between the two texts.
constexpr std::array<std::string_view, 3> kSharedKeys = {"MIDlet-Name", "MIDlet-Vendor", "MIDlet-Version"};
// A handset refuses an application that does not say which platform it needs.
constexpr std::array<std::string_view, 2> kPlatformKeys = {"MicroEdition-Profile",
                                                           "MicroEdition-Configuration"};

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

// As java.util.jar.Attributes looks a name up.
bool HasIgnoringCase(const std::vector<ManifestAttribute>& attributes, std::string_view name) {
    const std::string lowered = AsciiLower(name);
    return std::any_of(attributes.begin(), attributes.end(),
                       [&lowered](const ManifestAttribute& attribute) { return AsciiLower(attribute.name) == lowered; });
}

// The archive lines: every package's descriptor holds them with the
// archive's own values, and the descriptor is where handsets read them, so
// a package never loses them, and the build drops them from a template.
bool IsDescriptorOnly(std::string_view name) {
    const std::string lowered = AsciiLower(name);
    return std::any_of(std::begin(kRequiredAttributes), std::end(kRequiredAttributes),
                       [&lowered](const RequiredAttribute& required) {
                           return !required.inManifest && AsciiLower(required.name) == lowered;
                       });
}

// The main section's attributes without reporting anything.
std::vector<ManifestAttribute> MainAttributes(const std::vector<std::string>& lines) {
    Problems ignored;
    return ReadManifest(lines, ignored);
}

void Add(Problems& problems, ProblemRule rule, ProblemPlace place, int line, std::string_view key,
         std::string message) {
    problems.push_back({rule, place, line, std::string(key), std::move(message)});
}

void AddMissing(Problems& problems, ProblemPlace place, std::string_view key) {
    const char* sentence = place == ProblemPlace::Manifest ? "Manifestに必須属性がない" : "JADに必須属性がない";
    Add(problems, ProblemRule::RequiredAttribute, place, 0, key, ProblemMessage(sentence, key));
}

// ---- the descriptor, read the way a handset's installer reads it --------------

struct DescriptorAttribute {
    int line;
    std::string_view key;
    std::string_view value;  // without the blanks around it
    std::string_view text;   // the whole line
};

std::vector<DescriptorAttribute> ReadDescriptor(const std::vector<std::string>& lines, Problems& problems) {
    std::vector<DescriptorAttribute> attributes;
    auto problem = [&](int line, std::string_view key, std::string_view sentence, std::string_view text) {
        Add(problems, ProblemRule::DescriptorGrammar, ProblemPlace::Descriptor, line, key,
            ProblemMessage(sentence, ProblemSubject(text)));
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const int number = static_cast<int>(i) + 1;
        const std::optional<AttributeLine> attribute = SplitAttributeLine(line);
        if (!attribute) {
            problem(number, "", "JADの行にコロンがない", line);
            continue;
        }
        if (WithoutBlanks(attribute->name).empty()) {
            problem(number, attribute->name, "JADの属性名が空", line);
            continue;
        }
        if (attribute->value.empty()) problem(number, attribute->name, "JADの値が空", line);
        attributes.push_back({number, attribute->name, attribute->value, line});
    }
    return attributes;
}

bool IsPrintableAscii(std::string_view text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F) return false;
    }
    return true;
}

}  // namespace

Problems CheckManifest(const std::vector<std::string>& manifest, const std::vector<std::string>& templateManifest) {
    Problems problems;
    const std::vector<ManifestAttribute> main = ReadManifest(manifest, problems);
    for (const RequiredAttribute& required : kRequiredAttributes) {
        if (required.inManifest && !Find(main, required.name)) {
            AddMissing(problems, ProblemPlace::Manifest, required.name);
        }
    }
    if (const ManifestAttribute* version = Find(main, "MIDlet-Version");
        version && !IsVersion(WithoutBlanks(version->value))) {
        Add(problems, ProblemRule::RequiredAttribute, ProblemPlace::Manifest, version->line, version->name,
            ProblemMessage("ManifestのMIDlet-Versionが不正", ProblemSubject(manifest[version->line - 1])));
    }
    // The new manifest replaces the archive's own, so whatever the template's
    // author declared there and did not repeat in the descriptor is gone.
    for (const ManifestAttribute& declared : MainAttributes(templateManifest)) {
        if (IsBuildToolAttribute(declared.name) || IsDescriptorOnly(declared.name) ||
            HasIgnoringCase(main, declared.name)) {
            continue;
        }
        Add(problems, ProblemRule::LostAttribute, ProblemPlace::Manifest, 0, declared.name,
            ProblemMessage("Manifestから属性が消える", ProblemSubject(templateManifest[declared.line - 1])));
    }
    return problems;
}

Problems CheckDescriptor(const std::vector<std::string>& descriptor, const std::vector<std::string>& manifest) {
    Problems problems;
    const std::vector<DescriptorAttribute> attributes = ReadDescriptor(descriptor, problems);
    // The first line of each key; a hostile descriptor has thousands of lines.
    std::map<std::string_view, const DescriptorAttribute*> firsts;
    for (const DescriptorAttribute& attribute : attributes) firsts.emplace(attribute.key, &attribute);
    auto first = [&](std::string_view key) -> const DescriptorAttribute* {
        const auto found = firsts.find(key);
        return found == firsts.end() ? nullptr : found->second;
    };
    auto add = [&](ProblemRule rule, const DescriptorAttribute& at, std::string_view sentence) {
        Add(problems, rule, ProblemPlace::Descriptor, at.line, at.key, ProblemMessage(sentence, ProblemSubject(at.text)));
    };

    // A key twice with different values: which one a handset takes is its own affair.
    for (const DescriptorAttribute& attribute : attributes) {
        const DescriptorAttribute* earlier = first(attribute.key);
        if (earlier != &attribute && earlier->value != attribute.value) {
            add(ProblemRule::Disagreement, attribute, "JADに値の違う同じ属性がある");
        }
    }
    for (const RequiredAttribute& required : kRequiredAttributes) {
        if (!first(required.name)) AddMissing(problems, ProblemPlace::Descriptor, required.name);
    }
    if (const DescriptorAttribute* version = first("MIDlet-Version"); version && !IsVersion(version->value)) {
        add(ProblemRule::RequiredAttribute, *version, "JADのMIDlet-Versionが不正");
    }

    // Handsets refuse a package whose two texts name another application.
    const std::vector<ManifestAttribute> main = MainAttributes(manifest);
    for (std::string_view key : kSharedKeys) {
        const ManifestAttribute* inManifest = Find(main, key);
        if (!inManifest) continue;
        for (const DescriptorAttribute& attribute : attributes) {
            if (attribute.key == key && attribute.value != WithoutBlanks(inManifest->value)) {
                add(ProblemRule::Disagreement, attribute, "JADとManifestで値が違う");
            }
        }
    }

    if (const DescriptorAttribute* url = first("MIDlet-Jar-URL")) {
        if (!IsPrintableAscii(url->value)) add(ProblemRule::PlatformLimit, *url, "MIDlet-Jar-URLがASCIIでない");
        if (url->value.size() > kJarUrlLimit)
            add(ProblemRule::PlatformLimit, *url, "MIDlet-Jar-URLが24バイトを超える");
    }
    return problems;
}

Problems CheckForAuthors(const std::vector<std::string>& descriptor, const std::vector<std::string>& manifest) {
    Problems problems;
    Problems ignored;  // the descriptor's grammar is CheckDescriptor's to report
    const std::vector<DescriptorAttribute> attributes = ReadDescriptor(descriptor, ignored);
    auto first = [&](std::string_view key) -> const DescriptorAttribute* {
        const auto found = std::find_if(attributes.begin(), attributes.end(),
                                        [key](const DescriptorAttribute& attribute) { return attribute.key == key; });
        return found == attributes.end() ? nullptr : &*found;
    };
    // MIDP lets either text say which platform the application needs.
    const std::vector<ManifestAttribute> main = MainAttributes(manifest);
    for (std::string_view key : kPlatformKeys) {
        if (!first(key) && !Find(main, key)) {
            Add(problems, ProblemRule::RequiredAttribute, ProblemPlace::Descriptor, 0, key,
                ProblemMessage("JADとManifestに必須属性がない", key));
        }
    }
    const DescriptorAttribute* size = first("MIDlet-Jar-Size");
    // Only a plain byte count is compared; anything else is the package reader's to report.
    const std::optional<std::uint64_t> bytes = size ? ParseByteCount(size->value) : std::nullopt;
    if (bytes && *bytes > kJarSizeLimit) {
        problems.push_back({ProblemRule::PlatformLimit, ProblemPlace::Descriptor, size->line, std::string(size->key),
                            ProblemMessage("JARが51200バイトを超える", ProblemSubject(size->text)), Severity::Note});
    }
    return problems;
}

}  // namespace pelko
