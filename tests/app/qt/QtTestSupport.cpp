#include "QtTestSupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <stdexcept>

#include "templates/Descriptor.h"
#include "text/Cp932.h"

namespace pelko::test {

QString FromSjis(const std::string& cp932) {
    return QString::fromStdString(pelko::Cp932ToUtf8(cp932));
}

ProgramDir::ProgramDir() {
    if (!dir_.isValid()) throw std::runtime_error("no temporary directory");
}

std::string ProgramDir::Path() const {
    return QFile::encodeName(dir_.path()).toStdString() + "/";
}

QString ProgramDir::FilePath(const QString& name) const {
    return dir_.filePath(name);
}

void ProgramDir::WriteJad(const QString& name, const std::vector<std::string>& lines) const {
    QByteArray bytes;
    for (const std::string& line : lines) {
        bytes.append(line.data(), static_cast<qsizetype>(line.size()));
        bytes.append("\r\n");
    }
    WriteFile(name, bytes);
}

void ProgramDir::WriteFile(const QString& name, const QByteArray& bytes) const {
    QFile file(FilePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        throw std::runtime_error("cannot write " + name.toStdString());
    }
}

void ProgramDir::CopySample(const QString& name) const {
    if (!QFile::copy(QStringLiteral(PELKO_SAMPLES_DIR "/") + name, FilePath(name))) {
        throw std::runtime_error("cannot copy the sample " + name.toStdString());
    }
}

// ---- the user's actions -----------------------------------------------------------

Window OpenWindow(const ProgramDir& dir) {
    auto dialogs = std::make_unique<ScriptedDialogs>();
    Window window;
    window.dialogs = dialogs.get();
    window.form = std::make_unique<MainWindow>(dir.Path(), std::move(dialogs));
    window.form->show();
    if (!QTest::qWaitForWindowExposed(window.form.get())) {
        throw std::runtime_error("the window was not exposed");
    }
    return window;
}

void Choose(QComboBox* combo, int index) {
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    // Pointing at an item makes it the list's current one; Return picks it.
    view->setCurrentIndex(combo->model()->index(index, 0));
    QTest::keyClick(view, Qt::Key_Return);
}

void ChooseTemplate(MainWindow& window, const QString& fileName) {
    const std::string suffix = "/" + QFile::encodeName(fileName).toStdString();
    const auto& paths = window.Form().TemplatePaths();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (paths[i].ends_with(suffix)) {
            Choose(window.ComboTemp, static_cast<int>(i));
            return;
        }
    }
    throw std::runtime_error("no template " + fileName.toStdString());
}

void TypeText(QWidget* widget, const QString& text) {
    for (char32_t code : text.toUcs4()) {
        const QString character = QString::fromUcs4(&code, 1);
        if (code < 0x80) {
            QTest::keyClick(widget, static_cast<char>(code));
        } else {
            // A character an input method or a keyboard layout delivers:
            // no key of its own, only the text.
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, character, Qt::NoModifier);
        }
    }
}

void TypeOver(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty()) {
        QTest::keyClick(edit, Qt::Key_Backspace);
    } else {
        TypeText(edit, text);
    }
}

bool DropFiles(QWidget* window, const QPoint& pos, const QStringList& paths) {
    QWidget* target = window->childAt(pos);
    if (!target) target = window;
    while (!target->isWindow() && !target->acceptDrops()) target = target->parentWidget();
    if (!target->acceptDrops()) return false;

    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    mime.setUrls(urls);
    const QPoint local = target->mapFrom(window, pos);

    QDragEnterEvent enter(local, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDragMoveEvent move(local, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    if (!move.isAccepted()) return false;
    QDropEvent drop(QPointF(local), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

QStringList RecordTexts(const MainWindow& window, int index) {
    QStringList texts;
    for (const std::string& text : pelko::RecordOf(window.Form().OptionRecords(), index).Texts()) {
        texts << FromSjis(text);
    }
    return texts;
}

std::string ValueBytes(const MainWindow& window, int index) {
    return pelko::RecordOf(window.Form().OptionRecords(), index).Item(pelko::kRecordValue);
}

}  // namespace pelko::test
