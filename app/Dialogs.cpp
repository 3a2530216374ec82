#include "app/Dialogs.h"

#include <QApplication>
#include <QColor>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QDir>
#include <QMessageBox>

#include "options/OptionValues.h"

namespace {

// Qt reads the pattern from the parentheses at the end of a filter; hiding
// the details then shows the description alone, as the user knows it.
QString NameFilter(const QString& description, const QString& pattern) {
    return description + QStringLiteral(" (") + pattern + QStringLiteral(")");
}

std::optional<QString> RunFileDialog(QFileDialog& dialog, const QString& description,
                                     const QString& pattern, const QString& proposed) {
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

}  // namespace

std::optional<QString> QtDialogs::SaveFile(const QString& title, const QString& description,
                                           const QString& pattern, const QString& proposed) {
    QFileDialog dialog(QApplication::activeWindow(), title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // AnyFile in a directory that exists; Qt asks before overwriting by default.
    dialog.setFileMode(QFileDialog::AnyFile);
    // The chosen folder must exist and an existing file must be writable, so
    // that a wrong choice is put right here rather than ending the build.
    QString start = proposed;
    for (;;) {
        std::optional<QString> chosen = RunFileDialog(dialog, description, pattern, start);
        if (!chosen) return std::nullopt;
        const QFileInfo file(*chosen);
        QString problem;
        if (!file.absoluteDir().exists()) {
            problem = file.absolutePath() + QStringLiteral(" が見つかりません。");
        } else if (file.exists() && !file.isWritable()) {
            problem = *chosen + QStringLiteral(" は書き込みできません。");
        }
        if (problem.isEmpty()) return chosen;
        QMessageBox::warning(QApplication::activeWindow(), title, problem);
        start = *chosen;
    }
}

std::optional<QString> QtDialogs::OpenFile(const QString& title, const QString& description,
                                           const QString& pattern, const QString& proposed) {
    QFileDialog dialog(QApplication::activeWindow(), title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return RunFileDialog(dialog, description, pattern, proposed);
}

std::optional<std::int32_t> QtDialogs::PickColor(std::int32_t initialDialogOrder) {
    const QColor chosen =
        QColorDialog::getColor(FromDialogOrder(initialDialogOrder), QApplication::activeWindow());
    if (!chosen.isValid()) return std::nullopt;
    return ToDialogOrder(chosen);
}

void QtDialogs::ShowError(const QString& message) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Pelko"), message, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

bool QtDialogs::ConfirmReplace(const QString& path) {
    const auto answer = QMessageBox::question(
        QApplication::activeWindow(), QStringLiteral("作成"),
        path + QStringLiteral(" は既に存在します。\n置き換えますか?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes;
}
