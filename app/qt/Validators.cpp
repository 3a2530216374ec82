#include "app/qt/Validators.h"

#include "app/Fields.h"

EncodingValidator::EncodingValidator(TextEncoding encoding, QObject* parent)
    : QValidator(parent), encoding_(encoding) {}

QValidator::State EncodingValidator::validate(QString& input, int&) const {
    return EditMayHold(input.toStdString(), encoding_) ? Acceptable : Invalid;
}
