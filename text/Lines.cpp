#include "text/Lines.h"

#include "text/Errors.h"
#include "system/Files.h"

namespace pelko {

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr char kNUL = '\0';

bool EndsLine(char byte) { return IsLineEnd(static_cast<unsigned char>(byte)); }

}  // namespace

bool IsLineEnd(char32_t character) { return character == kCR || character == kLF || character == kNUL; }

bool HasLineEnd(std::string_view text) {
    for (const char byte : text) {
        if (EndsLine(byte)) return true;
    }
    return false;
}

void SplitLines(StringList& list, std::string_view bytes) {
    list.Clear();
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t start = i;
        while (i < bytes.size() && !EndsLine(bytes[i])) {
            ++i;
        }
        list.Add(std::string(bytes.substr(start, i - start)));
        // CR, LF and CR LF end one line each; LF CR ends two.
        if (i < bytes.size() && bytes[i] == kCR) {
            ++i;
        }
        if (i < bytes.size() && bytes[i] == kLF) {
            ++i;
        }
        if (i < bytes.size() && bytes[i] == kNUL) {
            break;  // nothing after a NUL is read
        }
    }
}

Outcome<StringList> ReadLines(const std::string& path) {
    Outcome<File> file = OpenToRead(path);
    const Outcome<std::string> bytes = file ? ReadWholeFile(*file) : Outcome<std::string>(file.Error());
    if (!bytes) return bytes.Error();
    StringList lines;
    SplitLines(lines, *bytes);
    return lines;
}

void LoadLines(StringList& list, const std::string& path) {
    Outcome<StringList> lines = ReadLines(path);
    if (!lines) throw FileError(OpenError(path), lines.Error());  // the list stays as it was
    list = std::move(*lines);
}

std::string JoinLines(const StringList& list) {
    std::size_t size = 0;
    for (int i = 0; i < list.Count(); ++i) {
        size += list.Item(i).size() + 2;
    }
    std::string text;
    text.reserve(size);
    for (int i = 0; i < list.Count(); ++i) {
        text += list.Item(i);
        text += kCR;
        text += kLF;
    }
    return text;
}

Outcome<void> WriteLines(const StringList& list, const std::string& path) {
    const std::string text = JoinLines(list);
    Outcome<File> file = CreateToWrite(path);
    if (!file) return file.Error();
    if (Outcome<void> written = WriteAll(*file, text.data(), text.size()); !written) return written;
    return CloseWritten(*file);
}

void SaveLines(const StringList& list, const std::string& path) {
    const Outcome<void> saved = WriteLines(list, path);
    if (saved) return;
    // The file closes and keeps what was written.
    if (saved.Error().action == "create") throw FileError(CreateError(path), saved.Error());
    throw FileError(StreamWriteError(), saved.Error());
}

}  // namespace pelko
