#pragma once
// What the window tests share: a fresh program directory, scripted dialogs,
// and the user's ways of choosing, typing and dropping.
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Dialogs.h"
#include "app/Unit1.h"
#include "support/TestFiles.h"

class QComboBox;
class QLineEdit;
class QWidget;

namespace pelko::test {

// Display form of CP932 bytes.
QString FromSjis(const std::string& cp932);

// A program directory of its own for each test.
class ProgramDir {
public:
    ProgramDir();
    // Host path with its trailing "/".
    std::string Path() const;
    QString FilePath(const QString& name) const;
    // Lines of CP932 bytes, each ended by CR LF.
    void WriteJad(const QString& name, const std::vector<std::string>& lines) const;
    void WriteFile(const QString& name, const QByteArray& bytes) const;
    // A jar holding a manifest and the entry back.png.
    void WriteJar(const QString& name) const;

private:
    QTemporaryDir dir_;
};

// The block game descriptor of the worked example, as CP932 lines.
std::vector<std::string> BlockDescriptor();

struct DialogCall {
    QString kind;  // SaveFile, OpenFile, PickColor, ShowError, ConfirmReplace
    QStringList arguments;
};

// Answers from a script, in order, and records every call.
class ScriptedDialogs : public Dialogs {
public:
    std::deque<std::optional<QString>> fileAnswers;
    std::deque<std::optional<std::int32_t>> colorAnswers;
    std::deque<bool> replaceAnswers;
    std::vector<DialogCall> calls;

    QStringList Errors() const;
    // Calls of one kind.
    std::vector<DialogCall> CallsOf(const QString& kind) const;

    std::optional<QString> SaveFile(const QString& title, const QString& description,
                                    const QString& pattern, const QString& proposed) override;
    std::optional<QString> OpenFile(const QString& title, const QString& description,
                                    const QString& pattern, const QString& proposed) override;
    std::optional<std::int32_t> PickColor(std::int32_t initialDialogOrder) override;
    void ShowError(const QString& message) override;
    bool ConfirmReplace(const QString& path) override;

private:
    std::optional<QString> NextFile();
};

// The window over a program directory, shown, with its dialogs at hand.
struct Window {
    ScriptedDialogs* dialogs = nullptr;  // owned by form
    std::unique_ptr<TForm1> form;
};
Window OpenWindow(const ProgramDir& dir);

// Opens the drop-down list and picks the item, as a user does.
void Choose(QComboBox* combo, int index);
// Chooses the entry of ComboTemp whose path ends in fileName.
void ChooseTemplate(TForm1& form, const QString& fileName);
// Types text key by key; characters beyond ASCII come as text alone.
void TypeText(QWidget* widget, const QString& text);
// Selects everything in the edit and types text over it.
void TypeOver(QLineEdit* edit, const QString& text);

// Delivers a drag of local files to whatever widget accepts it at pos, the
// way Qt's window hands a platform drag to its widgets: the widget under the
// point, or its nearest ancestor that accepts drops. True when dropped.
bool DropFiles(QWidget* window, const QPoint& pos, const QStringList& paths);

// The four texts of option record index as display texts.
QStringList RecordTexts(const TForm1& form, int index);
QStringList ItemTexts(const QComboBox* combo);

}  // namespace pelko::test

// Each test class registers itself; main runs them all in one application.
void RegisterTestClass(std::function<std::unique_ptr<QObject>()> make);
#define PELKO_REGISTER_TEST(Class)                                                  \
    static const bool Class##Registered = [] {                                       \
        RegisterTestClass([] { return std::unique_ptr<QObject>(new Class); });      \
        return true;                                                                 \
    }()
