#pragma once
// What a line edit lets the user type or paste. A descriptor's texts are
// CP932 and a file option's value is a host path; either goes into a
// descriptor line, so neither may hold a line break.
#include <QValidator>

// Refuses, as it is typed or pasted, a CR, LF or NUL: a host path that
// becomes a descriptor line must stay on one line.
class SingleLineValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// Refuses, as it is typed or pasted, a CR, LF or NUL and a character CP932
// cannot hold, so a text never needs a "?" on its way into a package. U+FFFD
// passes: it stands for bytes set from code that did not decode, which the
// form keeps.
class Cp932Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};
