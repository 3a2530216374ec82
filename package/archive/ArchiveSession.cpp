// The archive component's public functions and its session: which command
// does what to the archive, and when the archive is written.
#include <optional>
#include <string>
#include <vector>

#include "package/archive/Archive.h"
#include "package/archive/ArchiveCommandLine.h"
#include "package/archive/ArchiveFailure.h"
#include "package/archive/ArchiveFile.h"
#include "package/archive/EntryFirst.h"
#include "package/archive/EntryNames.h"
#include "package/archive/ManifestNames.h"
#include "package/archive/NewData.h"
#include "package/archive/StoreEntry.h"

namespace pelko {

using namespace archive;

namespace {

struct Names {
    std::string archivePath;
    std::string shownArchive;
    std::string shownName;
};

}  // namespace

// The archive with every change of the session so far. It is opened by the
// first command that needs it, so that a command that cannot open it fails
// just as it would alone, and the next one tries again.
class ArchiveSession::State {
public:
    State(const std::string& workDirectory, std::string_view archiveName, std::optional<std::string> sourcePath)
        : workDirectory_(workDirectory),
          archivePath_(InWorkDirectory(workDirectory, WithSlashes(archiveName))),
          readPath_(sourcePath.value_or(archivePath_)),
          shownArchive_(QuotedName(archiveName)) {}

    void CarryOut(const Command& command);
    void Commit();
    Placed CommitInto(File& file, std::uint64_t offset);

private:
    Names NamesOf(const Command& command) const;
    zip_t* Open();
    void Update(const Command& command);
    void StoreAtRoot(const Command& command);
    void Delete(const Command& command);
    void Store(const Names& names, const std::string& entryName, const std::string& path);
    void StoreFirst(const std::string& entryName, NewData data, const std::string& shownName);
    void CommitElsewhere();
    void WriteHeld();
    // Until the first commit of a session started from another file, the
    // archive is read from that file and written to archivePath_.
    bool ReadElsewhere() const { return readPath_ != archivePath_; }

    std::string workDirectory_;
    std::string archivePath_;
    std::string readPath_;  // where the archive as it stands is read from
    std::string shownArchive_;
    WriteTarget target_;    // set only while CommitInto writes; outlives archive_
    ZipArchivePtr archive_;
    bool changed_ = false;  // archive_ holds changes not yet written
    bool over_ = false;     // the archive went into another file
};

Names ArchiveSession::State::NamesOf(const Command& command) const {
    const std::string path = InWorkDirectory(workDirectory_, WithSlashes(command.archive));
    if (path != archivePath_) {
        throw ArchiveFailure(kArchiveBadCommand, "the command names archive " + QuotedName(command.archive) +
                                                     ", but this session edits " + shownArchive_);
    }
    return Names{archivePath_, shownArchive_, QuotedName(command.name)};
}

zip_t* ArchiveSession::State::Open() {
    if (over_) {
        throw ArchiveFailure(kArchiveBadCommand, "the session's archive " + shownArchive_ + " is written already");
    }
    if (!archive_) archive_ = OpenArchive(readPath_, archivePath_, shownArchive_, 0, &target_);
    return archive_.get();
}

// Writes what the session holds. Once written, the archive is opened again
// by the next command that needs it.
void ArchiveSession::State::Commit() {
    if (over_) Open();  // fails
    if (ReadElsewhere()) {
        CommitElsewhere();
        return;
    }
    if (!archive_) return;
    WriteHeld();
}

ArchiveSession::Placed ArchiveSession::State::CommitInto(File& file, std::uint64_t offset) {
    if (over_ || !ReadElsewhere() || !archive_ || !changed_ || LiveEntries(archive_.get()) == 0) return {};
    target_ = WriteTarget{&file, offset, 0, std::nullopt};
    Placed placed;
    try {
        WriteArchive(archive_, shownArchive_);
        placed = Placed{Placement::Written, target_.written, {}};
    } catch (const ArchiveFailure& failure) {
        // After a failed write libzip may have closed the archive it reads,
        // so a session whose writing failed cannot try again. Reading what
        // goes into the archive fails the same way: the system failed.
        if (target_.writeError) {
            placed = Placed{Placement::FileFailed, 0, *target_.writeError};
        } else if (failure.System()) {
            placed = Placed{Placement::FileFailed, 0, *failure.System()};
        }
    }
    target_ = WriteTarget{};
    if (placed.placement != Placement::NotWritten) {
        archive_.reset();
        changed_ = false;
        over_ = true;
    }
    return placed;
}

void ArchiveSession::State::WriteHeld() {
    if (changed_ && LiveEntries(archive_.get()) == 0) {
        // libzip would remove an archive left without entries.
        ReplaceArchiveWith(archivePath_, shownArchive_, EmptyArchive(archive_.get()));
        archive_.reset();
    } else {
        WriteArchive(archive_, shownArchive_);
    }
    changed_ = false;
}

// The first commit always leaves an archive at archivePath_: the edited one,
// or a copy of the source when nothing changed. Should the edited one fail,
// the copy is still made, if it can be, so that the archive is there as it
// was, with the changes still held.
void ArchiveSession::State::CommitElsewhere() {
    try {
        if (archive_ && changed_) {
            WriteHeld();
        } else {
            CopyArchiveFile(readPath_, archivePath_, shownArchive_);
            archive_.reset();
            changed_ = false;
        }
    } catch (const ArchiveFailure&) {
        try {
            CopyArchiveFile(readPath_, archivePath_, shownArchive_);
        } catch (const ArchiveFailure&) {
            // The failure to report is the first one.
        }
        throw;
    }
    readPath_ = archivePath_;
}

// The new data goes into the entry of that name, which keeps its place, or
// into a new entry at the end; a new manifest goes first instead.
void ArchiveSession::State::Store(const Names& names, const std::string& entryName, const std::string& path) {
    zip_t* archive = Open();
    RequireFile(path, names.shownName);
    NewData data = TakeFile(path, names.shownName, archivePath_, shownArchive_);
    const std::vector<zip_uint64_t> existing = EntriesNamed(archive, entryName);
    if (existing.empty() && entryName == kManifestEntry && LiveEntries(archive) > 0) {
        StoreFirst(entryName, std::move(data), names.shownName);
        return;
    }
    std::optional<zip_uint64_t> index;
    if (!existing.empty()) index = existing.front();
    PutData(archive, index, entryName, std::move(data), names.shownName);
    changed_ = true;
}

// The rewrite cannot wait for the commit, so what the session holds is
// written first and the rewrite reads that archive. Should the rewrite fail,
// the session goes on from what was written, which holds every change the
// earlier commands made.
void ArchiveSession::State::StoreFirst(const std::string& entryName, NewData data, const std::string& shownName) {
    if (changed_) Commit();  // an unchanged archive needs no writing
    archive_.reset();
    ZipArchivePtr old = OpenArchive(readPath_, shownArchive_, 0);
    RewriteWithEntryFirst(old.get(), readPath_, archivePath_, shownArchive_, entryName, std::move(data),
                          shownName);
    readPath_ = archivePath_;
}

// -Xqu9: the entry keeps the name's directories. The name may be a CP932
// entry name (a build's file in a folder), whose pairs keep their bytes.
void ArchiveSession::State::Update(const Command& command) {
    const Names names = NamesOf(command);
    const std::string entryName = EntryPathOf(Cp932WithSlashes(command.name), names.shownName);
    Store(names, entryName, InWorkDirectory(workDirectory_, entryName));
}

// -Xqju9: the entry takes the bare name, at the archive's root.
void ArchiveSession::State::StoreAtRoot(const Command& command) {
    const Names names = NamesOf(command);
    const std::string entryName = BareNameOf(command.name);
    Store(names, entryName, InWorkDirectory(workDirectory_, Cp932WithSlashes(command.name)));
}

// -qd: an absent entry leaves nothing to do, which is no failure here. (An
// index EntriesNamed gives has a name, so zip_delete does not fail on it.)
void ArchiveSession::State::Delete(const Command& command) {
    const Names names = NamesOf(command);
    const std::string entryName = BareNameOf(command.name);
    zip_t* archive = Open();
    for (zip_uint64_t index : EntriesNamed(archive, entryName)) {
        if (zip_delete(archive, index) < 0) FailWith(archive, "cannot delete " + names.shownName);
        changed_ = true;
    }
}

void ArchiveSession::State::CarryOut(const Command& command) {
    switch (command.operation) {
        case Operation::Update: Update(command); return;
        case Operation::Delete: Delete(command); return;
        case Operation::StoreAtRoot: StoreAtRoot(command); return;
    }
}

ArchiveSession::ArchiveSession(const std::string& workDirectory, std::string_view archiveName)
    : state_(std::make_unique<State>(workDirectory, archiveName, std::nullopt)) {}

ArchiveSession::ArchiveSession(const std::string& workDirectory, std::string_view archiveName,
                               const std::string& sourcePath)
    : state_(std::make_unique<State>(workDirectory, archiveName, sourcePath)) {}

ArchiveSession::~ArchiveSession() = default;

int ArchiveSession::Run(std::string_view commandLine, char* output, std::size_t outputSize) {
    return Reported([&] { state_->CarryOut(ParseCommandLine(commandLine)); }, output, outputSize, &systemFailure_);
}

int ArchiveSession::Commit(char* output, std::size_t outputSize) {
    return Reported([&] { state_->Commit(); }, output, outputSize, &systemFailure_);
}

ArchiveSession::Placed ArchiveSession::CommitInto(File& file, std::uint64_t offset) {
    Placed placed;
    Reported([&] { placed = state_->CommitInto(file, offset); }, nullptr, 0, &systemFailure_);
    if (placed.placement == Placement::NotWritten && systemFailure_) {
        placed = Placed{Placement::FileFailed, 0, *systemFailure_};
    }
    return placed;
}

int ArchiveCommand(const std::string& workDirectory, std::string_view commandLine, char* output,
                   std::size_t outputSize) {
    std::string archive;
    const int parsed = Reported([&] { archive = ParseCommandLine(commandLine).archive; }, output, outputSize);
    if (parsed != kArchiveOk) return parsed;
    ArchiveSession session(workDirectory, archive);
    const int result = session.Run(commandLine, output, outputSize);
    return result != kArchiveOk ? result : session.Commit(output, outputSize);
}

}  // namespace pelko
