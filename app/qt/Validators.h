#pragma once
// What a line edit lets the user type or paste: the form's rule for the
// encoding its text goes into (see EditMayHold).
#include <QValidator>

#include "app/Controls.h"

// Refuses, as it is typed or pasted, a text the encoding's edits may not
// hold, so a text never needs a "?" or a line break on its way into a package.
class EncodingValidator : public QValidator {
public:
    EncodingValidator(TextEncoding encoding, QObject* parent);
    State validate(QString& input, int& pos) const override;

private:
    TextEncoding encoding_;
};
