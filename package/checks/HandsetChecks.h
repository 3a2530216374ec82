#pragma once
// The rules that Java archive readers and handsets apply to a package's two
// texts, checked on the composed lines: the manifest that goes into the
// archive and the descriptor text that goes into the container. A package
// that breaks one is still written byte for byte as composed; the problems
// become "[!]" lines of the build's log, of `pelko-cli check` and of
// `pelko-cli inspect`.
#include <cstdint>
#include <string>
#include <vector>

#include "package/checks/Problem.h"

namespace pelko {

// The JDK's manifest reader (java.util.jar.Manifest, JDK 17) reads each line
// into a 512-byte buffer that must hold the line end too. A line of 511
// bytes passes with LF alone, but with the CR LF that packages use the LF
// spills over and is read as a blank line, which ends the section; 512 bytes
// are refused as "line too long". So 510 bytes is the longest line that
// always reads. Writers wrap at 72 bytes, but the reader's limit is what
// decides whether an archive can be read at all.
inline constexpr std::size_t kManifestLineLimit = 510;
// java.util.jar.Attributes.Name accepts names of 1 to 70 bytes.
inline constexpr std::size_t kManifestNameLimit = 70;
// ezplus handsets keep the archive's name in a 24-byte ASCII field.
inline constexpr std::size_t kJarUrlLimit = 24;
// An archive size worth a note to a template's author: 50 KB (51200 bytes),
// the application size limit remembered for the platform's first handsets.
// It is a remembered figure, not a documented one: no handset and no maker's
// document was at hand to confirm it, handsets differ (later ones take far
// more), and no reader refuses a larger archive. So it is a note of `check`
// and `inspect`, never a warning of the build; put a measured figure here
// when one is known.
inline constexpr std::uint64_t kJarSizeLimit = 51200;

// The manifest as written into the archive. templateManifest: the lines of
// the template archive's own manifest (empty when it has none or it could
// not be read); each attribute of its main section that the new manifest
// lacks is lost, but for those only build tools write (kBuildToolAttributes).
Problems CheckManifest(const std::vector<std::string>& manifest,
                       const std::vector<std::string>& templateManifest = {});
// The descriptor text, against itself and against the manifest it goes with.
Problems CheckDescriptor(const std::vector<std::string>& descriptor,
                         const std::vector<std::string>& manifest);
// What `check` and `inspect` tell a template's author beyond the build's
// warnings: MicroEdition-Profile or -Configuration in neither text, which
// only the author can add, and the archive size note (Severity::Note).
Problems CheckForAuthors(const std::vector<std::string>& descriptor,
                         const std::vector<std::string>& manifest);

}  // namespace pelko
