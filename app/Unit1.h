#pragma once
// The one window of Pelko: template selector, application name and author,
// copyright flag, option editors, make button and log pane.
#include <QString>
#include <QStringList>
#include <QWidget>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ByteTextField.h"
#include "app/Dialogs.h"
#include "app/QtSystemColors.h"
#include "options/Editors.h"
#include "text/StringList.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TForm1 : public QWidget {
    Q_OBJECT

public:
    // programDirectory: the host path holding the templates, with its
    // trailing separator. Runs FormCreate; its errors go to the error box.
    TForm1(std::string programDirectory, std::unique_ptr<Dialogs> dialogs,
           QWidget* parent = nullptr);
    // FormDestroy.
    ~TForm1() override;

    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

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

    // Handlers, named after control and event.
    void FormCreate();
    void FormDestroy();
    void ComboTempChange();
    void ComboOptionsChange();
    void EditValueChange();
    void CheckValueClick();
    void ButtonBrowseClick();
    void ButtonMakeClick();
    void OnDropFiles(const QStringList& paths);
    void LoadTemplate(const std::string& path);

    // Runs a handler; an error it raises is shown in the error box and the
    // window keeps the state the handler reached.
    void Guard(const std::function<void()>& handler);

    QStringList LogLines() const;
    void AppendLog(const QString& line);
    void ClearLog();

    const std::vector<std::string>& TemplatePaths() const { return templatePaths_; }
    // Items index-parallel to ComboOptions, each owning its option record.
    const pelko::StringList& OptionRecords() const { return records_; }
    // What the save dialog proposes next time.
    const QString& SaveFileName() const { return saveFileName_; }

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void SetUpWindow();
    void CreateControls();
    QLabel* MakeLabel(const char* name, const QString& text, const QRect& geometry);
    void FitCaptions();
    void SetTabOrder();
    void ConnectHandlers();
    void CentreOnScreen();

    void ShowError(const std::exception_ptr& error);
    // Code that changes a control whose handler may fail goes through these:
    // the handler's error ends the calling handler too.
    void SetEditValue(std::string bytes, TextEncoding encoding);
    void SetCheckValue(bool checked);
    void RethrowPending();

    pelko::OptionRecord* SelectedRecord();
    TextEncoding EncodingOf(const pelko::OptionRecord& record) const;
    void HideEditors();
    void ShowFileEditor(const pelko::OptionRecord& record);
    void ShowIntegerEditor(const pelko::OptionRecord& record, bool browse);
    void ShowYesNoEditor(const pelko::OptionRecord& record);
    void ShowTextEditor(const pelko::OptionRecord& record);
    void BrowseFile();
    void BrowseColor();

    std::string programDirectory_;
    std::unique_ptr<Dialogs> dialogs_;
    QtSystemColors systemColors_;
    Cp932Validator* cp932Validator_ = nullptr;  // child of the window
    SingleLineValidator* singleLineValidator_ = nullptr;
    ByteTextField titleField_{nullptr};
    ByteTextField authorField_{nullptr};
    ByteTextField valueField_{nullptr};

    std::vector<std::string> templatePaths_;
    pelko::StringList records_;
    pelko::FileFilter openFilter_;
    QString saveFileName_;

    bool centred_ = false;
    int codeChangeDepth_ = 0;           // > 0 while code changes a control
    std::exception_ptr pendingError_;  // raised by a handler that code ran
};
