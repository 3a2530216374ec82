#pragma once
// A whole-file copy that says which side failed and why, for the log lines
// that name the real subject of a system error.
#include <optional>
#include <string>

namespace pelko {

struct CopyFailure {
    bool reading = false;  // the source could not be opened or read; else the destination failed
    int error = 0;         // errno of the failing call
};

// Copies from onto to, replacing a file there; nullopt on success. A failed
// copy removes what it wrote of to.
std::optional<CopyFailure> CopyWholeFile(const std::string& from, const std::string& to);

}  // namespace pelko
