#include "app/qt/Application.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

void SetUpApplication(const std::string& programDirectory) {
    // The name only: a display name would be appended to every dialog title
    // ("作成 — Pelko"), and the dialogs carry titles of their own.
    QApplication::setApplicationName(QStringLiteral("Pelko"));
    QGuiApplication::setDesktopFileName(QStringLiteral(PELKO_APP_ID));
    QApplication::setWindowIcon(PelkoIcon(InstalledIconDirectory(programDirectory)));
}

QIcon PelkoIcon(const QString& hicolorDirectory) {
    const QString id = QStringLiteral(PELKO_APP_ID);
    if (QIcon::hasThemeIcon(id)) return QIcon::fromTheme(id);
    // Bitmaps only: Qt reads PNG without a plugin, SVG needs one that may be missing.
    QIcon icon;
    const QDir folder(hicolorDirectory);
    for (const QString& size : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString file = folder.filePath(size + QStringLiteral("/apps/") + id + QStringLiteral(".png"));
        if (QFileInfo::exists(file)) icon.addFile(file);
    }
    return icon;
}

QString InstalledIconDirectory(const std::string& programDirectory) {
    return QDir::cleanPath(QFile::decodeName(QByteArray::fromStdString(programDirectory)) +
                           QStringLiteral(PELKO_ICONS_FROM_PROGRAM_DIR));
}
