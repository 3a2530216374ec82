// What the desktop and assistive technology learn of the window: the
// names read out for its controls, its icon, its desktop entry.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "QtTestSupport.h"
#include "app/qt/Application.h"

using namespace pelko::test;

namespace {

// Bitmaps of the given sizes as an installation lays them out.
void WriteIcons(const QString& hicolor, const QList<int>& sizes) {
    for (const int size : sizes) {
        const QString apps = QStringLiteral("%1/%2x%2/apps").arg(hicolor).arg(size);
        QVERIFY(QDir().mkpath(apps));
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::darkGreen);
        QVERIFY(image.save(apps + QStringLiteral("/" PELKO_APP_ID ".png")));
    }
}

// No icon theme of the machine's: the fallback is what is tested.
class NoThemeIcons {
public:
    NoThemeIcons() : saved_(QIcon::themeSearchPaths()) { QIcon::setThemeSearchPaths({empty_.path()}); }
    ~NoThemeIcons() { QIcon::setThemeSearchPaths(saved_); }
    NoThemeIcons(const NoThemeIcons&) = delete;
    NoThemeIcons& operator=(const NoThemeIcons&) = delete;

private:
    QTemporaryDir empty_;
    QStringList saved_;
};

}  // namespace

class DesktopTests : public QObject {
    Q_OBJECT

private slots:
    void controlsWithoutACaptionHaveNames() {
        ProgramDir dir;
        Window window = OpenWindow(dir);
        QCOMPARE(window.form->ButtonBrowse->accessibleName(), QStringLiteral("参照"));
        QCOMPARE(window.form->Log->accessibleName(), QStringLiteral("ログ"));
        QCOMPARE(window.form->EditValue->accessibleName(), QStringLiteral("Value"));
    }

    void valueEditorsAreNamedAfterTheChosenOption_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("editValueName");
        QTest::addColumn<QString>("checkValueDescription");
        QTest::newRow("text option") << 0 << QStringLiteral("説明") << QStringLiteral("説明");
        QTest::newRow("yes/no option") << 1 << QStringLiteral("効果音") << QStringLiteral("効果音");
        QTest::newRow("integer option") << 2 << QStringLiteral("speed") << QStringLiteral("speed");
    }
    void valueEditorsAreNamedAfterTheChosenOption() {
        QFETCH(int, option);
        QFETCH(QString, editValueName);
        QFETCH(QString, checkValueDescription);
        ProgramDir dir;
        dir.WriteJad("t.jad", {Sjis("Pelko-D: 説明,TEXT,x"), Sjis("Pelko-S: 効果音,BOOL,1"),
                               "Pelko-N: speed,INTEGER,3"});
        Window window = OpenWindow(dir);
        ChooseTemplate(*window.form, "t.jad");
        Choose(window.form->ComboOptions, option);
        QCOMPARE(window.form->EditValue->accessibleName(), editValueName);
        QCOMPARE(window.form->CheckValue->accessibleDescription(), checkValueDescription);
    }

    void iconComesFromTheInstalledBitmaps() {
        const NoThemeIcons noTheme;
        QTemporaryDir hicolor;
        WriteIcons(hicolor.path(), {16, 48});
        const QIcon icon = PelkoIcon(hicolor.path());
        QVERIFY(!icon.isNull());
        QVERIFY(icon.availableSizes().contains(QSize(48, 48)));
        QVERIFY(PelkoIcon(hicolor.filePath(QStringLiteral("missing"))).isNull());
    }

    void applicationIsKnownByItsDesktopEntryAndIcon() {
        const NoThemeIcons noTheme;
        QTemporaryDir prefix;
        const std::string programDir = QFile::encodeName(prefix.filePath("lib/pelko/")).toStdString();
        const QString hicolor = InstalledIconDirectory(programDir);
        QVERIFY2(hicolor.startsWith(prefix.path()), qPrintable(hicolor));
        WriteIcons(hicolor, {32});
        SetUpApplication(programDir);
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral(PELKO_APP_ID));
        QVERIFY(!QGuiApplication::windowIcon().isNull());
        QGuiApplication::setWindowIcon({});
    }
};

PELKO_REGISTER_TEST(DesktopTests);
#include "tst_Desktop.moc"
