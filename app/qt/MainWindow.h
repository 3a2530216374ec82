#pragma once
// The Qt view of the window: creates the controls at their places, with the
// window's fonts, captions, tab order and drag and drop, and hands the
// user's actions to the form, which holds every handler.
#include <QStringList>
#include <QWidget>
#include <memory>
#include <string>

#include "app/Controls.h"
#include "app/Dialogs.h"
#include "app/Unit1.h"
#include "app/qt/QtSystemColors.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class MainWindow : public QWidget, private DropTarget, private EditorDescriptions {
    Q_OBJECT

public:
    // programDirectory: the host path holding the templates, with its
    // trailing separator. The form runs FormCreate before this returns.
    MainWindow(std::string programDirectory, std::unique_ptr<Dialogs> dialogs, QWidget* parent = nullptr);
    ~MainWindow() override;

    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Controls, in creation order; each object is named as its member.
    QLabel* LabelTemp = nullptr;
    QLabel* LabelTitle = nullptr;
    QLabel* LabelAuthor = nullptr;
    QLabel* LabelOptions = nullptr;
    QLabel* LabelValue = nullptr;
    QComboBox* ComboTemp = nullptr;
    QLineEdit* EditTitle = nullptr;
    QLineEdit* EditAuthor = nullptr;
    QCheckBox* CheckCopy = nullptr;
    QPushButton* ButtonMake = nullptr;
    QComboBox* ComboOptions = nullptr;
    QLineEdit* EditValue = nullptr;
    QPushButton* ButtonBrowse = nullptr;
    QPlainTextEdit* Log = nullptr;
    QCheckBox* CheckValue = nullptr;
    QComboBox* ComboValue = nullptr;

    TForm1& Form() { return *form_; }
    const TForm1& Form() const { return *form_; }
    QStringList LogLines() const;

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Adapters;

    void AcceptDrops(bool accept) override;
    void DescribeEditors(const std::string& label) override;
    void NameForAssistiveTechnology();
    void SetUpWindow();
    void CreateControls();
    QLabel* MakeLabel(const char* name, const QString& text, const QRect& geometry);
    void FitCaptions();
    void SetTabOrder();
    void ConnectHandlers();
    void CentreOnScreen();

    std::unique_ptr<Dialogs> dialogs_;
    QtSystemColors systemColors_;
    std::unique_ptr<Adapters> adapters_;
    std::unique_ptr<TForm1> form_;
    bool centred_ = false;
};
