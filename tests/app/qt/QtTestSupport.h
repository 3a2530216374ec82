#pragma once
// What the Qt window tests share: a fresh program directory, the window over
// scripted dialogs, and the user's ways of choosing, typing and dropping.
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ScriptedDialogs.h"
#include "app/qt/MainWindow.h"
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
    // Copies the sample template file name here.
    void CopySample(const QString& name) const;

private:
    QTemporaryDir dir_;
};

// The window over a program directory, shown, with its dialogs at hand.
struct Window {
    ScriptedDialogs* dialogs = nullptr;  // owned by form
    std::unique_ptr<MainWindow> form;
};
Window OpenWindow(const ProgramDir& dir);

// Opens the drop-down list and picks the item, as a user does.
void Choose(QComboBox* combo, int index);
// Chooses the entry of ComboTemp whose path ends in fileName.
void ChooseTemplate(MainWindow& window, const QString& fileName);
// Types text key by key; characters beyond ASCII come as text alone.
void TypeText(QWidget* widget, const QString& text);
// Selects everything in the edit and types text over it.
void TypeOver(QLineEdit* edit, const QString& text);

// Delivers a drag of local files to whatever widget accepts it at pos, the
// way Qt's window hands a platform drag to its widgets: the widget under the
// point, or its nearest ancestor that accepts drops. True when dropped.
bool DropFiles(QWidget* window, const QPoint& pos, const QStringList& paths);

// The four texts of option record index as display texts.
QStringList RecordTexts(const MainWindow& window, int index);
std::string ValueBytes(const MainWindow& window, int index);

}  // namespace pelko::test

// Each test class registers itself; main runs the one named on its command
// line, or all of them.
void RegisterTestClass(const char* name, std::function<std::unique_ptr<QObject>()> make);
#define PELKO_REGISTER_TEST(Class)                                                  \
    static const bool Class##Registered = [] {                                       \
        RegisterTestClass(#Class, [] { return std::unique_ptr<QObject>(new Class); }); \
        return true;                                                                 \
    }()
