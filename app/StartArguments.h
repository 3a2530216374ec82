#pragma once
// The window program's own command line: --help and --version, answered
// before any display is looked for, and the templates to open.
#include <string>
#include <vector>

struct StartRequest {
    enum class Kind { Open, Help, Version, Wrong };
    Kind kind = Kind::Open;
    std::vector<std::string> files;  // for Open: as typed, in order
    std::string message;             // for Wrong: what is wrong, one line
};

// words: the arguments after the program's name. --help and --version
// (or any prefix of them, and -h) win wherever they stand before "--";
// after "--" every word is a file.
StartRequest ReadStartArguments(const std::vector<std::string>& words);

// What --help and --version print, each ended by a newline.
std::string StartHelpText();
std::string StartVersionText();
