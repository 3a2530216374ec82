#include "app/ByteTextField.h"

#include <QFile>
#include <QLineEdit>
#include <algorithm>
#include <utility>

#include "text/Cp932.h"
#include "text/Errors.h"
#include "text/Lines.h"

namespace {

constexpr QChar kReplacement(0xFFFD);

QString WithoutReplacements(QString text) {
    return text.remove(kReplacement);
}

}  // namespace

QString ShownText(std::string_view bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::HostPath) {
        // A path the user chose is the file system's UTF-8; a default written
        // in a descriptor is CP932.
        return QString::fromStdString(pelko::ReadableText(bytes));
    }
    return QString::fromStdString(pelko::Cp932ToUtf8(bytes));
}

// A CR, LF or NUL would end the descriptor line the text goes into and
// begin another, so no edit of the window holds one.
bool HasLineEnd(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return pelko::IsLineEnd(c.unicode()); });
}

QValidator::State SingleLineValidator::validate(QString& input, int&) const {
    return HasLineEnd(input) ? Invalid : Acceptable;
}

QValidator::State Cp932Validator::validate(QString& input, int&) const {
    if (HasLineEnd(input)) return Invalid;
    return pelko::FitsCp932(WithoutReplacements(input).toStdString()) ? Acceptable : Invalid;
}

void ByteTextField::SetBytes(std::string bytes, TextEncoding encoding) {
    // Remember first: setText runs the change handler, which reads Bytes().
    shown_ = ShownText(bytes, encoding);
    bytes_ = std::move(bytes);
    remembered_ = true;
    // The same text again changes nothing on screen: the caret, the selection
    // and the undo steps stay where the user left them.
    if (edit_->text() != shown_) edit_->setText(shown_);
}

std::string ByteTextField::Bytes(TextEncoding encoding) const {
    const QString text = edit_->text();
    if (remembered_ && text == shown_) return bytes_;
    if (encoding == TextEncoding::HostPath) return QFile::encodeName(text).toStdString();
    const std::string utf8 = WithoutReplacements(text).toStdString();
    if (auto cp932 = pelko::Utf8ToCp932(utf8)) return *std::move(cp932);
    throw pelko::Error("'" + utf8 + "' はCP932で表せません");
}
