#pragma once
// The form's control interfaces over Qt widgets. Each adapter only passes
// calls on: the behaviour the handlers rely on lives in the form.
#include <QWidget>
#include <string>

#include "app/Controls.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QValidator;

template <typename Interface>
class QtControl : public Interface {
public:
    explicit QtControl(QWidget* widget) : widget_(widget) {}
    void SetVisible(bool visible) override { widget_->setVisible(visible); }
    bool Visible() const override { return !widget_->isHidden(); }
    void SetEnabled(bool enabled) override { widget_->setEnabled(enabled); }
    void SetTop(int top) override { widget_->move(widget_->x(), top); }

private:
    QWidget* widget_;
};

using QtButton = QtControl<Control>;

class QtTextEdit : public QtControl<TextEdit> {
public:
    explicit QtTextEdit(QLineEdit* edit);
    std::string Text() const override;
    void SetText(const std::string& utf8) override;
    void AcceptOnly(TextEncoding encoding) override;

private:
    QLineEdit* edit_;
    QValidator* cp932_;     // children of the edit
    QValidator* anyLine_;
};

class QtCheckBox : public QtControl<CheckBox> {
public:
    explicit QtCheckBox(QCheckBox* box);
    bool Checked() const override;
    void SetChecked(bool checked) override;

private:
    QCheckBox* box_;
};

class QtDropDown : public QtControl<DropDown> {
public:
    explicit QtDropDown(QComboBox* combo);
    int Count() const override;
    void Add(const std::string& utf8) override;
    void Clear() override;
    int ItemIndex() const override;
    void SetItemIndex(int index) override;

private:
    QComboBox* combo_;
};

class QtLogPane : public LogPane {
public:
    explicit QtLogPane(QPlainTextEdit* log) : log_(log) {}
    void Append(const std::string& utf8Line) override;
    void Clear() override;

private:
    QPlainTextEdit* log_;
};
