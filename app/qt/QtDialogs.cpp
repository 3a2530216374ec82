#include "app/qt/QtDialogs.h"

#include <QApplication>
#include <QColor>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "options/OptionValues.h"

namespace {

QString Shown(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QString PathText(const std::string& hostPath) {
    return QFile::decodeName(QByteArray::fromStdString(hostPath));
}

std::string HostPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// Qt reads the pattern from the parentheses at the end of a filter; hiding
// the details then shows the description alone, as the user knows it.
QString NameFilter(const std::string& description, const std::string& pattern) {
    return Shown(description) + QStringLiteral(" (") + Shown(pattern) + QStringLiteral(")");
}

std::optional<QString> RunFileDialog(QFileDialog& dialog, const std::string& description,
                                     const std::string& pattern, const QString& proposed) {
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(NameFilter(description, pattern));
    dialog.setSizeGripEnabled(true);
    if (!proposed.isEmpty()) dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

QColor FromDialogOrder(std::int32_t value) {
    const pelko::ColorChannels channels = pelko::ChannelsOfDialogOrder(static_cast<std::uint32_t>(value));
    return QColor(channels.red, channels.green, channels.blue);
}

std::int32_t ToDialogOrder(const QColor& color) {
    return static_cast<std::int32_t>(pelko::DialogOrderOf({color.red(), color.green(), color.blue()}));
}

// Why the chosen save path cannot be used, or an empty text.
QString SaveProblem(const QString& chosen) {
    const QFileInfo file(chosen);
    if (!file.absoluteDir().exists()) return file.absolutePath() + QStringLiteral(" が見つかりません。");
    if (file.exists() && !file.isWritable()) return chosen + QStringLiteral(" は書き込みできません。");
    return {};
}

}  // namespace

std::optional<std::string> QtDialogs::SaveFile(const std::string& title, const std::string& description,
                                               const std::string& pattern, const std::string& proposed) {
    QFileDialog dialog(QApplication::activeWindow(), Shown(title));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // AnyFile in a directory that exists; Qt asks before overwriting by default.
    dialog.setFileMode(QFileDialog::AnyFile);
    // The chosen folder must exist and an existing file must be writable, so
    // that a wrong choice is put right here rather than ending the build.
    QString start = PathText(proposed);
    for (;;) {
        std::optional<QString> chosen = RunFileDialog(dialog, description, pattern, start);
        if (!chosen) return std::nullopt;
        const QString problem = SaveProblem(*chosen);
        if (problem.isEmpty()) return HostPath(*chosen);
        QMessageBox::warning(QApplication::activeWindow(), Shown(title), problem);
        start = *chosen;
    }
}

std::optional<std::string> QtDialogs::OpenFile(const std::string& title, const std::string& description,
                                               const std::string& pattern, const std::string& proposed) {
    QFileDialog dialog(QApplication::activeWindow(), Shown(title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const std::optional<QString> chosen = RunFileDialog(dialog, description, pattern, PathText(proposed));
    if (!chosen) return std::nullopt;
    return HostPath(*chosen);
}

std::optional<std::int32_t> QtDialogs::PickColor(std::int32_t initialDialogOrder) {
    const QColor chosen =
        QColorDialog::getColor(FromDialogOrder(initialDialogOrder), QApplication::activeWindow());
    if (!chosen.isValid()) return std::nullopt;
    return ToDialogOrder(chosen);
}

void QtDialogs::ShowError(const std::string& message) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Pelko"), Shown(message), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

bool QtDialogs::ConfirmReplace(const std::string& path) {
    const auto answer = QMessageBox::question(
        QApplication::activeWindow(), QStringLiteral("作成"),
        Shown(ReplaceQuestion(PathText(path).toStdString())),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes;
}
