#include "app/qt/QtControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/qt/Validators.h"

QtTextEdit::QtTextEdit(QLineEdit* edit)
    : QtControl(edit), edit_(edit), cp932_(new EncodingValidator(TextEncoding::Cp932, edit)),
      anyLine_(new EncodingValidator(TextEncoding::HostPath, edit)) {}

std::string QtTextEdit::Text() const {
    return edit_->text().toStdString();
}

void QtTextEdit::SetText(const std::string& utf8) {
    edit_->setText(QString::fromStdString(utf8));
}

void QtTextEdit::AcceptOnly(TextEncoding encoding) {
    edit_->setValidator(encoding == TextEncoding::Cp932 ? cp932_ : anyLine_);
}

QtCheckBox::QtCheckBox(QCheckBox* box) : QtControl(box), box_(box) {}

bool QtCheckBox::Checked() const {
    return box_->isChecked();
}

void QtCheckBox::SetChecked(bool checked) {
    box_->setChecked(checked);
}

QtDropDown::QtDropDown(QComboBox* combo) : QtControl(combo), combo_(combo) {}

int QtDropDown::Count() const {
    return combo_->count();
}

void QtDropDown::Add(const std::string& utf8) {
    // The combo box selects the first item it gets; the form selects itself.
    const int selected = combo_->currentIndex();
    combo_->addItem(QString::fromStdString(utf8));
    combo_->setCurrentIndex(selected);
}

void QtDropDown::Clear() {
    combo_->clear();
}

int QtDropDown::ItemIndex() const {
    return combo_->currentIndex();
}

void QtDropDown::SetItemIndex(int index) {
    combo_->setCurrentIndex(index);
}

void QtLogPane::Append(const std::string& utf8Line) {
    log_->appendPlainText(QString::fromStdString(utf8Line));
}

void QtLogPane::Clear() {
    log_->clear();
}
