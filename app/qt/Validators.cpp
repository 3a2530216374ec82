#include "app/qt/Validators.h"

#include "text/Cp932.h"

namespace {

// A CR, LF or NUL would end the descriptor line the text goes into and
// begin another, so no edit of the window holds one.
bool HasLineEnd(const QString& text) {
    return text.contains(QChar(u'\r')) || text.contains(QChar(u'\n')) || text.contains(QChar(u'\0'));
}

QString WithoutReplacements(QString text) {
    return text.remove(QChar(0xFFFD));
}

}  // namespace

QValidator::State SingleLineValidator::validate(QString& input, int&) const {
    return HasLineEnd(input) ? Invalid : Acceptable;
}

QValidator::State Cp932Validator::validate(QString& input, int&) const {
    if (HasLineEnd(input)) return Invalid;
    return pelko::FitsCp932(WithoutReplacements(input).toStdString()) ? Acceptable : Invalid;
}
