#pragma once
// The worked example that every layer is checked against: the template
// block.jad of tests/fixtures/worked-example, built with the title
// "Block Game", the author dev01 and the copyright line, the options Speed 5,
// BackColor 16777215, Sound 0, MIDlet-Description FallingBlocks and a picture
// for the File option, into an archive of 20480 bytes. Texts are UTF-8
// literals; Sjis() gives their CP932 bytes.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "package/kjx/Compose.h"

namespace pelko::test::worked {

using Records = std::vector<std::vector<std::string>>;

// A file of the fixture folder: block.jad (CP932, CR LF) or block.jar.
std::string FixtureFile(std::string_view name);
// The descriptor lines of block.jad, in order.
const std::vector<std::string>& TemplateLines();
// What block.jad declares: key, label, type and default value of each option.
const Records& TemplateRecords();

AppSettings Settings();
// The option records at the build; the File option's value is fileValue.
Records BuildRecords(const std::string& fileValue = "C:\\img\\sky.png");

// What the build composes, with CR LF after each line.
const std::vector<std::string>& ManifestLines();
const std::vector<std::string>& DescriptorLines();  // for an archive of kArchiveBytes
inline constexpr std::size_t kManifestBytes = 170;
inline constexpr std::size_t kDescriptorBytes = 315;
inline constexpr std::size_t kArchiveBytes = 20480;
inline constexpr std::size_t kPackageBytes = 20821;

}  // namespace pelko::test::worked
