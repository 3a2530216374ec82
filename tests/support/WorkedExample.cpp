#include "support/WorkedExample.h"

namespace pelko::test::worked {

std::string FixtureFile(std::string_view name) {
    return std::string(PELKO_FIXTURES_DIR) + "/worked-example/" + std::string(name);
}

const std::vector<std::string>& TemplateLines() {
    static const std::vector<std::string> lines = {
        "MIDlet-1: Block Game, /icon.png, BlockMain",
        "MIDlet-Name: Block Game",
        "MIDlet-Vendor: someone",
        "MIDlet-Version: 1.0",
        "MIDlet-Jar-URL: block.jar",
        "MIDlet-Jar-Size: 19876",
        "MIDlet-X-Copyright: ON",
        "Pelko-Name: 落ち物ゲーム",
        "Pelko-Speed: 速度,INT,3",
        "Pelko-BackColor: 背景色,COLOR,16777215",
        "Pelko-Sound: 効果音,BOOL,1",
        "Pelko-MIDlet-Description: 説明,TEXT,FallingBlocks",
        "Pelko-File: 背景画像,back.png",
    };
    return lines;
}

const Records& TemplateRecords() {
    static const Records records = {
        {"Speed", "速度", "INT", "3"},
        {"BackColor", "背景色", "COLOR", "16777215"},
        {"Sound", "効果音", "BOOL", "1"},
        {"MIDlet-Description", "説明", "TEXT", "FallingBlocks"},
        {"File", "背景画像", "back.png", "back.png"},
    };
    return records;
}

AppSettings Settings() { return AppSettings{"Block Game", "dev01", true}; }

Records BuildRecords(const std::string& fileValue) {
    return {
        {"Speed", "速度", "INT", "5"},
        {"BackColor", "背景色", "COLOR", "16777215"},
        {"Sound", "効果音", "BOOL", "0"},
        {"MIDlet-Description", "説明", "TEXT", "FallingBlocks"},
        {"File", "背景画像", "back.png", fileValue},
    };
}

const std::vector<std::string>& ManifestLines() {
    static const std::vector<std::string> lines = {
        "MIDlet-1: Block Game, /icon.png, BlockMain",
        "MIDlet-Version: 1.0",
        "MIDlet-X-Copyright: ON",
        "MIDlet-Name: Block Game",
        "MIDlet-Vendor: dev01/rivo",
        "X-Powered-By: Rivo software",
    };
    return lines;
}

// The archive's size and name, the manifest, then the option lines.
const std::vector<std::string>& DescriptorLines() {
    static const std::vector<std::string> lines = [] {
        std::vector<std::string> descriptor = {"MIDlet-Jar-Size: 20480", "MIDlet-Jar-URL: block.jar"};
        descriptor.insert(descriptor.end(), ManifestLines().begin(), ManifestLines().end());
        descriptor.insert(descriptor.end(), {"Pelko-Speed: 5", "Pelko-BackColor: 16777215", "Pelko-Sound: 0",
                                             "MIDlet-Description: FallingBlocks"});
        return descriptor;
    }();
    return lines;
}

}  // namespace pelko::test::worked
