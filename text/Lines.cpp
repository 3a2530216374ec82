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

void LoadLines(StringList& list, const std::string& path) {
    Outcome<File> file = OpenToRead(path);
    if (!file) {
        throw OpenError(path, file.Error().reason);
    }
    const Outcome<std::string> bytes = ReadWholeFile(*file);
    if (!bytes) {
        throw OpenError(path, bytes.Error().reason);  // the list stays as it was
    }
    file->Close();
    SplitLines(list, *bytes);
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

void SaveLines(const StringList& list, const std::string& path) {
    const std::string text = JoinLines(list);
    File file(CreateForWriting(path), path);
    if (!file.IsOpen()) {
        throw CreateError(path);
    }
    const long written = WriteFileBytes(file.Get(), text.data(), text.size());
    if (written < 0 || static_cast<std::size_t>(written) != text.size()) {
        throw StreamWriteError();  // the file closes and keeps what was written
    }
}

}  // namespace pelko
