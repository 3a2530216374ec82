// Tells whether two packages are the same but for the times of their
// entries: the header, the descriptor text and every entry's name, data,
// method, flags, comment, extra fields and the system and attributes it
// was made with. Prints each difference; exit status 0 when there is none,
// 1 when there are, 2 when a file is no package.
//
//   pelko_same_package A.kjx B.kjx
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "support/CliRunner.h"
#include "support/ZipTools.h"

namespace {

using pelko::test::KjxParts;
using pelko::test::ZipEntry;

int differences = 0;

void Compare(const std::string& what, const auto& a, const auto& b) {
    if (a == b) return;
    ++differences;
    std::cout << what << " differs\n";
}

void CompareEntries(const std::vector<ZipEntry>& a, const std::vector<ZipEntry>& b) {
    Compare("the entry names", pelko::test::NamesOf(a), pelko::test::NamesOf(b));
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const std::string entry = "entry " + a[i].name + ": ";
        Compare(entry + "data", a[i].data, b[i].data);
        Compare(entry + "CRC", a[i].crc, b[i].crc);
        Compare(entry + "compressed size", a[i].compressedSize, b[i].compressedSize);
        Compare(entry + "method", a[i].method, b[i].method);
        Compare(entry + "encryption", a[i].encrypted, b[i].encrypted);
        Compare(entry + "UTF-8 flag", a[i].utf8Flag, b[i].utf8Flag);
        Compare(entry + "local extra fields", a[i].localExtraFields, b[i].localExtraFields);
        Compare(entry + "central extra fields", a[i].centralExtraFields, b[i].centralExtraFields);
        Compare(entry + "comment", a[i].comment, b[i].comment);
        Compare(entry + "system made by", a[i].system, b[i].system);
        Compare(entry + "external attributes", a[i].attributes, b[i].attributes);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: pelko_same_package A.kjx B.kjx\n";
        return 2;
    }
    try {
        const KjxParts a = pelko::test::ReadKjx(argv[1]);
        const KjxParts b = pelko::test::ReadKjx(argv[2]);
        Compare("the container name", a.containerName, b.containerName);
        Compare("the descriptor name", a.descriptorName, b.descriptorName);
        Compare("the descriptor text", a.descriptor, b.descriptor);
        Compare("the archive size", a.archive.size(), b.archive.size());
        CompareEntries(pelko::test::ReadZipBytes(a.archive), pelko::test::ReadZipBytes(b.archive));
    } catch (const std::exception& error) {
        std::cout << error.what() << '\n';
        return 2;
    }
    return differences == 0 ? 0 : 1;
}
