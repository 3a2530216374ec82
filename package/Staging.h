#pragma once
// The files a build keeps only for its own duration: a private work
// directory and the new package before it takes the output's place; and the
// template's archive, which a build reads where it lies.
#include <optional>
#include <string>

#include "text/Files.h"

namespace pelko {

// True when the template's archive can be read where it lies: a regular file
// (or a link to one) that opens for reading. The build reads it there and
// never writes it; its edited copy is written once, into the work directory.
bool TemplateArchiveReadable(const std::string& path);

// A directory made fresh for one build, removed with everything in it on
// every way out. Never the program directory and never the current one, so
// a user's file that carries a work item's name is never touched.
class WorkDirectory {
public:
    // parent empty: the system's temporary directory ($TMPDIR or /tmp).
    static std::optional<WorkDirectory> Create(const std::string& parent);
    WorkDirectory(WorkDirectory&& other) noexcept;
    WorkDirectory& operator=(WorkDirectory&&) = delete;
    WorkDirectory(const WorkDirectory&) = delete;
    ~WorkDirectory();

    // With its trailing separator.
    const std::string& Path() const { return path_; }

private:
    explicit WorkDirectory(std::string path) : path_(std::move(path)) {}
    std::string path_;
};

// A new file beside the output path that replaces the output only once it is
// complete; dropped unfinished, it is removed and an earlier output stays.
class AtomicOutput {
public:
    // nullopt when no file can be created beside the output, or the output
    // names something that is not a replaceable file.
    static std::optional<AtomicOutput> Create(const std::string& outputPath);
    AtomicOutput(AtomicOutput&& other) noexcept;
    AtomicOutput& operator=(AtomicOutput&&) = delete;
    AtomicOutput(const AtomicOutput&) = delete;
    ~AtomicOutput();

    FileHandle Handle() const { return file_.Get(); }
    // Flushes, closes and renames over the output path; false on any failure,
    // in which case the new file is removed.
    bool Commit();

private:
    AtomicOutput(std::string outputPath, std::string stagingPath, UniqueFile file);
    std::string outputPath_;
    std::string stagingPath_;
    UniqueFile file_;
    bool committed_ = false;
};

}  // namespace pelko
