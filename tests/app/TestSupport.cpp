#include "TestSupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <stdexcept>
#include <zip.h>

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

void ProgramDir::WriteJar(const QString& name) const {
    static const char kManifest[] = "Manifest-Version: 1.0\r\nMIDlet-Name: Block Game\r\n";
    static const char kImage[] = "not really a picture";
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(FilePath(name)).constData(),
                              ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive) throw std::runtime_error("cannot create " + name.toStdString());
    const auto add = [archive](const char* entry, const char* data, std::size_t size) {
        zip_source_t* source = zip_source_buffer(archive, data, size, 0);
        if (!source || zip_file_add(archive, entry, source, ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(source);
            throw std::runtime_error(std::string("cannot add ") + entry);
        }
    };
    add("META-INF/MANIFEST.MF", kManifest, sizeof kManifest - 1);
    add("back.png", kImage, sizeof kImage - 1);
    if (zip_close(archive) != 0) throw std::runtime_error("cannot close " + name.toStdString());
}

std::vector<std::string> BlockDescriptor() {
    return {
        "MIDlet-Name: Block Game",
        "MIDlet-X-Copyright: ON",
        Sjis("Pelko-Name: 落ち物ゲーム"),
        Sjis("Pelko-Speed: 速度,INT,3"),
        Sjis("Pelko-BackColor: 背景色,COLOR,16777215"),
        Sjis("Pelko-Sound: 効果音,BOOL,1"),
        Sjis("Pelko-MIDlet-Description: 説明,TEXT,FallingBlocks"),
        Sjis("Pelko-File: 背景画像,back.png"),
    };
}

// ---- dialogs -------------------------------------------------------------------

QStringList ScriptedDialogs::Errors() const {
    QStringList messages;
    for (const DialogCall& call : CallsOf(QStringLiteral("ShowError"))) messages << call.arguments;
    return messages;
}

std::vector<DialogCall> ScriptedDialogs::CallsOf(const QString& kind) const {
    std::vector<DialogCall> found;
    for (const DialogCall& call : calls) {
        if (call.kind == kind) found.push_back(call);
    }
    return found;
}

std::optional<QString> ScriptedDialogs::NextFile() {
    std::optional<QString> answer;  // an unscripted dialog is cancelled
    if (!fileAnswers.empty()) {
        answer.swap(fileAnswers.front());
        fileAnswers.pop_front();
    }
    return answer;
}

std::optional<QString> ScriptedDialogs::SaveFile(const QString& title, const QString& description,
                                                 const QString& pattern, const QString& proposed) {
    calls.push_back({QStringLiteral("SaveFile"), {title, description, pattern, proposed}});
    return NextFile();
}

std::optional<QString> ScriptedDialogs::OpenFile(const QString& title, const QString& description,
                                                 const QString& pattern, const QString& proposed) {
    calls.push_back({QStringLiteral("OpenFile"), {title, description, pattern, proposed}});
    return NextFile();
}

std::optional<std::int32_t> ScriptedDialogs::PickColor(std::int32_t initialDialogOrder) {
    calls.push_back({QStringLiteral("PickColor"),
                     {QString::number(static_cast<std::uint32_t>(initialDialogOrder), 16)}});
    if (colorAnswers.empty()) return std::nullopt;
    auto answer = colorAnswers.front();
    colorAnswers.pop_front();
    return answer;
}

void ScriptedDialogs::ShowError(const QString& message) {
    calls.push_back({QStringLiteral("ShowError"), {message}});
}

bool ScriptedDialogs::ConfirmReplace(const QString& path) {
    calls.push_back({QStringLiteral("ConfirmReplace"), {path}});
    if (replaceAnswers.empty()) return false;
    const bool answer = replaceAnswers.front();
    replaceAnswers.pop_front();
    return answer;
}

// ---- the user's actions -----------------------------------------------------------

Window OpenWindow(const ProgramDir& dir) {
    auto dialogs = std::make_unique<ScriptedDialogs>();
    Window window;
    window.dialogs = dialogs.get();
    window.form = std::make_unique<TForm1>(dir.Path(), std::move(dialogs));
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

void ChooseTemplate(TForm1& form, const QString& fileName) {
    const QByteArray suffix = "/" + QFile::encodeName(fileName);
    const auto& paths = form.TemplatePaths();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (QByteArray::fromStdString(paths[i]).endsWith(suffix)) {
            Choose(form.ComboTemp, static_cast<int>(i));
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

QStringList RecordTexts(const TForm1& form, int index) {
    QStringList texts;
    for (const std::string& text : pelko::RecordOf(form.OptionRecords(), index).Texts()) {
        texts << FromSjis(text);
    }
    return texts;
}

QStringList ItemTexts(const QComboBox* combo) {
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
    return texts;
}

}  // namespace pelko::test
