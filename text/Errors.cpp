#include "text/Errors.h"

#include <string>
#include <utility>

#include "text/Cp932.h"

namespace pelko {

namespace {

// Fills the single "%s" or "%d" placeholder of a fixed message.
std::string Fill(std::string_view pattern, std::string_view placeholder, std::string_view value) {
    std::string text(pattern);
    const auto at = text.find(placeholder);
    if (at != std::string::npos) {
        text.replace(at, placeholder.size(), value);
    }
    return text;
}

}  // namespace

Error OpenError(std::string_view path, std::string reason) {
    return Error(Fill("ファイル %s は開けません", "%s", path), std::move(reason));
}

Error CreateError(std::string_view path) {
    return Error(Fill("ファイル %s を作成できません", "%s", path));
}

Error StreamWriteError() {
    return Error("ストリームへの書き込みエラー");
}

Error NotIntegerError(std::string_view cp932Text) {
    // The text came from a descriptor or an edit in CP932; the box shows UTF-8.
    return Error(Fill("'%s' は整数ではありません", "%s", Cp932ToUtf8(cp932Text)));
}

Error ListIndexError(long index) {
    return Error(Fill("リストのインデックスが範囲を超えています (%d)", "%d", std::to_string(index)));
}

std::string ErrorBoxText(std::string_view message) {
    std::string text(message);
    // The comparison is on the last byte, unsigned: every byte of a UTF-8
    // multibyte character is above 0x7F, so such an ending gets the stop too.
    if (!text.empty() && static_cast<unsigned char>(text.back()) > 0x2E) {
        text += '.';
    }
    return text;
}

}  // namespace pelko
