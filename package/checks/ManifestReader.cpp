#include "package/checks/ManifestReader.h"

#include <map>
#include <optional>

#include "package/checks/HandsetChecks.h"
#include "package/checks/Wording.h"
#include "text/Text.h"

namespace pelko {
namespace {

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

class ManifestReader {
public:
    ManifestReader(const std::vector<std::string>& lines, Problems& problems)
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
                Problem(number, "", "Manifestの行が510バイトを超える", ProblemSubject(line));
            }
            // A line that begins with a space continues the header above it.
            if (line.front() == ' ') {
                if (i == 0) Problem(number, "", "Manifestの継続行の位置が不正", ProblemSubject(line));
                continue;
            }
            afterBlank = false;
            std::optional<ManifestAttribute> attribute = Header(number, line);
            if (!attribute) continue;
            if (!seen.emplace(AsciiLower(attribute->name), number).second) {
                Problem(number, attribute->name, "Manifestに同じ属性が2つある", ProblemSubject(line));
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
                Problem(static_cast<int>(blank) + 1, "", "Manifestの空行でセクションが終わる", ProblemSubject(line));
            }
            return;
        }
    }

    std::optional<ManifestAttribute> Header(int number, std::string_view line) {
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            Problem(number, "", "Manifestの行にコロンがない", ProblemSubject(line));
            return std::nullopt;
        }
        const std::string_view name = line.substr(0, colon);
        if (colon + 1 == line.size()) {
            Problem(number, name, "Manifestの値がない", ProblemSubject(line));
            return std::nullopt;
        }
        if (line[colon + 1] != ' ') {
            Problem(number, name, "Manifestのコロンの後に空白がない", ProblemSubject(line));
            return std::nullopt;
        }
        if (!IsManifestName(name)) {
            Problem(number, name, "Manifestの属性名が不正", ProblemSubject(line));
            return std::nullopt;
        }
        if (name.size() > kManifestNameLimit) {
            Problem(number, name, "Manifestの属性名が70バイトを超える", ProblemSubject(line));
            return std::nullopt;
        }
        return ManifestAttribute{number, name, line.substr(colon + 2)};
    }

    void Problem(int line, std::string_view key, std::string_view sentence, std::string_view subject) {
        problems_.push_back({ProblemRule::ManifestGrammar, ProblemPlace::Manifest, line, std::string(key),
                             ProblemMessage(sentence, subject)});
    }

    const std::vector<std::string>& lines_;
    Problems& problems_;
};

}  // namespace

std::vector<ManifestAttribute> ReadManifest(const std::vector<std::string>& lines, Problems& problems) {
    return ManifestReader(lines, problems).Read();
}

}  // namespace pelko
