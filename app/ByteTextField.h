#pragma once
// Where byte texts meet line edits. A descriptor's texts are CP932 bytes and
// a file option's value is a host path; both are shown as Unicode and read
// back as bytes, without losing a byte that has no Unicode form.
#include <QString>
#include <QValidator>
#include <string>
#include <string_view>

class QLineEdit;

enum class TextEncoding { Cp932, HostPath };

// The Unicode text that shows bytes of the encoding.
QString ShownText(std::string_view bytes, TextEncoding encoding);

// Refuses, as it is typed or pasted, a CR, LF or NUL: a host path that
// becomes a descriptor line must stay on one line.
class SingleLineValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// Refuses, as it is typed or pasted, a CR, LF or NUL and a character CP932 cannot hold, so a text
// never needs a "?" on its way into a package. U+FFFD passes: it stands for
// bytes set from code that did not decode, which the field below keeps.
class Cp932Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// Remembers the bytes set from code next to the text that shows them, and
// reads those bytes back while the shown text is unchanged.
class ByteTextField {
public:
    explicit ByteTextField(QLineEdit* edit) : edit_(edit) {}

    // Shows bytes in the edit; the edit reports its change as it always does.
    void SetBytes(std::string bytes, TextEncoding encoding);
    // The edit's text as bytes of the encoding. A CP932 text that was edited
    // loses its U+FFFD stand-ins; pelko::Error if it still does not convert.
    std::string Bytes(TextEncoding encoding) const;

private:
    QLineEdit* edit_;
    std::string bytes_;
    QString shown_;
    bool remembered_ = false;
};
