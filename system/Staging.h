#pragma once
// The files a build keeps only for its own duration: a private work
// directory, and the new package before it takes the output's place.
#include <string>

#include "system/Files.h"
#include "system/SystemError.h"

namespace pelko {

// A directory made fresh for one build, removed with everything in it on
// every way out. Never the program directory and never the current one, so
// a user's file that carries a work item's name is never touched.
class WorkDirectory {
public:
    // parent empty: the system's temporary directory ($TMPDIR or /tmp).
    // Named pelko-work-<pid>-XXXXXX, so that a later build can tell a
    // directory whose process is gone; such directories of the same user
    // are removed first. The error names ParentFor(parent).
    static Outcome<WorkDirectory> Create(const std::string& parent);
    // The directory Create(parent) makes its directory in.
    static std::string ParentFor(const std::string& parent);
    WorkDirectory(WorkDirectory&& other) noexcept;
    WorkDirectory& operator=(WorkDirectory&&) = delete;
    WorkDirectory(const WorkDirectory&) = delete;
    ~WorkDirectory();

    // With its trailing separator.
    const std::string& Path() const { return path_; }

private:
    explicit WorkDirectory(std::string path);
    std::string path_;
    int cleanupSlot_ = -1;  // removed by a signal handler too
};

// What a new output may take the place of when it is committed.
enum class Replacing {
    // The file at the path; a link is followed, so that the file it leads to
    // is replaced and the link stays a link. What a package does.
    FileThroughLinks,
    // Whatever entry has the name itself, a link included, which is replaced
    // and never followed: a file written into a folder stays in that folder.
    EntryAtName,
    // Nothing: the output appears only where nothing has the name, checked
    // by the commit itself (link, or a rename that refuses to replace), so
    // that a file made meanwhile is not overwritten either.
    Nothing,
};

// A new file beside the output path that replaces the output only once it is
// complete; dropped unfinished, it is removed and an earlier output stays.
// Where the file system allows it the file has no name until the commit
// (O_TMPFILE), so that even a killed process leaves nothing visible. A
// named one carries its process's id (.pelko-<pid>-XXXXXX), and Create
// removes those beside the output whose process is gone, as a killed build
// leaves them. The package takes the earlier output's permissions, or those
// of any new file.
class AtomicOutput {
public:
    // An error, naming outputPath, when no file can be created beside the
    // output, or the output names something that is not a replaceable file
    // (anything at all, for Replacing::Nothing: the system's "file exists").
    static Outcome<AtomicOutput> Create(const std::string& outputPath,
                                        Replacing replacing = Replacing::FileThroughLinks);
    AtomicOutput(AtomicOutput&& other) noexcept;
    AtomicOutput& operator=(AtomicOutput&&) = delete;
    AtomicOutput(const AtomicOutput&) = delete;
    ~AtomicOutput();

    // Open for reading and writing; named outputPath.
    File& Output() { return file_; }
    // Syncs, closes and puts the file in the output's place as Create was
    // told, then syncs the folder, so that the package outlives a power cut
    // from then on. The first failure; before the file is in place the new
    // file is then removed and the earlier output stays, after it the new
    // output is in place.
    Outcome<void> Commit();

private:
    AtomicOutput(std::string outputPath, std::string stagingPath, File file);
    Outcome<void> LinkUnnamedFile();
    Outcome<void> LinkIntoPlace();
    void RemoveStagingFile();
    std::string outputPath_;
    std::string stagingPath_;  // empty while the file has no name
    int cleanupSlot_ = -1;
    File file_;
    Replacing replacing_ = Replacing::FileThroughLinks;
    bool committed_ = false;
};

}  // namespace pelko
