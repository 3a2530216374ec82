#pragma once
// The files a build keeps only for its own duration: a private work
// directory and the new package before it takes the output's place; and the
// template's archive, which a build reads where it lies.
#include <optional>
#include <string>

#include "system/Files.h"

namespace pelko {

// True when the template's archive can be read where it lies: a regular file
// (or a link to one) that opens for reading. The build reads it there and
// never writes it; its edited copy is written once, straight into the new
// package where it can be, otherwise into the work directory.
bool TemplateArchiveReadable(const std::string& path);

// A directory made fresh for one build, removed with everything in it on
// every way out. Never the program directory and never the current one, so
// a user's file that carries a work item's name is never touched.
class WorkDirectory {
public:
    // parent empty: the system's temporary directory ($TMPDIR or /tmp).
    // Named pelko-work-<pid>-XXXXXX, so that a later build can tell a
    // directory whose process is gone; such directories of the same user
    // are removed first. nullopt with errno set when none can be made.
    static std::optional<WorkDirectory> Create(const std::string& parent);
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

// A new file beside the output path that replaces the output only once it is
// complete; dropped unfinished, it is removed and an earlier output stays.
// Where the file system allows it the file has no name until the commit
// (O_TMPFILE), so that even a killed process leaves nothing visible.
class AtomicOutput {
public:
    // nullopt, with errno set, when no file can be created beside the
    // output, or the output names something that is not a replaceable file.
    static std::optional<AtomicOutput> Create(const std::string& outputPath);
    AtomicOutput(AtomicOutput&& other) noexcept;
    AtomicOutput& operator=(AtomicOutput&&) = delete;
    AtomicOutput(const AtomicOutput&) = delete;
    ~AtomicOutput();

    // Open for reading and writing.
    FileHandle Handle() const { return file_.Get(); }
    // Flushes, closes and renames over the output path; false on any failure,
    // with errno of the first one, in which case the new file is removed.
    bool Commit();

private:
    AtomicOutput(std::string outputPath, std::string stagingPath, UniqueFile file);
    bool LinkUnnamedFile();
    void RemoveStagingFile();
    std::string outputPath_;
    std::string stagingPath_;  // empty while the file has no name
    int cleanupSlot_ = -1;
    UniqueFile file_;
    bool committed_ = false;
};

}  // namespace pelko
