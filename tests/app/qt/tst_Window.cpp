// The window itself: controls, layout, fonts, start lines, event wiring.
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QStyle>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "QtTestSupport.h"
#include "app/qt/QtControls.h"
#include "pelko/Version.h"

using namespace pelko::test;

namespace {

QWidget* Member(const MainWindow& form, const QString& name) {
    const std::pair<const char*, QWidget*> members[] = {
        {"LabelTemp", form.LabelTemp},       {"LabelTitle", form.LabelTitle},
        {"LabelAuthor", form.LabelAuthor},   {"LabelOptions", form.LabelOptions},
        {"LabelValue", form.LabelValue},     {"ComboTemp", form.ComboTemp},
        {"EditTitle", form.EditTitle},       {"EditAuthor", form.EditAuthor},
        {"CheckCopy", form.CheckCopy},       {"ButtonMake", form.ButtonMake},
        {"ComboOptions", form.ComboOptions}, {"EditValue", form.EditValue},
        {"ButtonBrowse", form.ButtonBrowse}, {"Log", form.Log},
        {"CheckValue", form.CheckValue},     {"ComboValue", form.ComboValue},
    };
    for (const auto& [memberName, widget] : members) {
        if (name == QLatin1String(memberName)) return widget;
    }
    return nullptr;
}

QString Caption(const QWidget* widget) {
    if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text();
    if (auto* combo = qobject_cast<const QComboBox*>(widget)) return combo->currentText();
    if (auto* memo = qobject_cast<const QPlainTextEdit*>(widget)) return memo->toPlainText();
    return QStringLiteral("?");
}

const char* const kCreationOrder[] = {
    "LabelTemp",  "LabelTitle",   "LabelAuthor", "LabelOptions", "LabelValue", "ComboTemp",
    "EditTitle",  "EditAuthor",   "CheckCopy",   "ButtonMake",   "ComboOptions", "EditValue",
    "ButtonBrowse", "Log",        "CheckValue",  "ComboValue"};

const QString kStartLines = QStringLiteral("Pelko " PELKO_VERSION "\n"
                                           "Personalised ezplus packages for Java handsets");

}  // namespace

class WindowTests : public QObject {
    Q_OBJECT

private slots:
    void controls_data() {
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("enabled");
        const auto row = [](const char* name, const char* kind, QRect geometry, QString caption,
                            bool shown = true, bool enabled = true) {
            QTest::newRow(name) << QByteArray(kind) << geometry << caption << shown << enabled;
        };
        row("LabelTemp", "QLabel", {5, 15, 50, 12}, "&Template");
        row("LabelTitle", "QLabel", {5, 40, 50, 12}, "App&Name");
        row("LabelAuthor", "QLabel", {155, 40, 40, 12}, "&Author");
        row("LabelOptions", "QLabel", {5, 65, 50, 12}, "&Options");
        row("LabelValue", "QLabel", {5, 90, 50, 12}, "Value");
        row("ComboTemp", "QComboBox", {55, 10, 150, 20}, "");
        row("EditTitle", "QLineEdit", {55, 35, 90, 20}, "Pelko");
        row("EditAuthor", "QLineEdit", {195, 35, 90, 20}, "");
        row("CheckCopy", "QCheckBox", {215, 15, 70, 12}, "&Copyright");
        row("ButtonMake", "QPushButton", {210, 60, 75, 20}, "作成(&M)");
        row("ComboOptions", "QComboBox", {55, 60, 150, 20}, "");
        row("EditValue", "QLineEdit", {55, 85, 210, 20}, "", false);
        row("ButtonBrowse", "QPushButton", {265, 85, 20, 20}, "...", false, false);
        row("Log", "QPlainTextEdit", {5, 115, 280, 75}, kStartLines);
        row("CheckValue", "QCheckBox", {55, 90, 230, 12}, "Enable", false);
        // Created at top 95; the window's creation moves it to 85.
        row("ComboValue", "QComboBox", {55, 85, 230, 20}, "", false);
    }

    void controls() {
        QFETCH(QByteArray, kind);
        QFETCH(QRect, geometry);
        QFETCH(QString, caption);
        QFETCH(bool, shown);
        QFETCH(bool, enabled);
        ProgramDir dir;
        Window window = OpenWindow(dir);
        const QString name = QString::fromLatin1(QTest::currentDataTag());

        QWidget* widget = window.form->findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(widget, Member(*window.form, name));
        QCOMPARE(QByteArray(widget->metaObject()->className()), kind);
        QCOMPARE(widget->geometry(), geometry);
        QCOMPARE(Caption(widget), caption);
        QCOMPARE(!widget->isHidden(), shown);
        QCOMPARE(widget->isEnabled(), enabled);
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            QVERIFY(!combo->isEditable());
            QCOMPARE(combo->count(), 0);
            QCOMPARE(combo->currentIndex(), -1);
        }
        if (auto* check = qobject_cast<QCheckBox*>(widget)) QVERIFY(!check->isChecked());
    }

    void controlsAreCreatedInOrder() {
        ProgramDir dir;
        Window window = OpenWindow(dir);
        QStringList names;
        for (QObject* child : window.form->children()) {
            if (Member(*window.form, child->objectName())) names << child->objectName();
        }
        QStringList expected;
        for (const char* name : kCreationOrder) expected << QLatin1String(name);
        QCOMPARE(names, expected);
    }

    void labelsAreCentredAndFocusTheirControl() {
        ProgramDir dir;
        Window window = OpenWindow(dir);
        MainWindow& form = *window.form;
        QCOMPARE(form.LabelTemp->buddy(), form.ComboTemp);
        QCOMPARE(form.LabelTitle->buddy(), form.EditTitle);
        QCOMPARE(form.LabelAuthor->buddy(), form.EditAuthor);
        QCOMPARE(form.LabelOptions->buddy(), form.ComboOptions);
        QCOMPARE(form.LabelValue->buddy(), nullptr);
        for (QLabel* label : {form.LabelTemp, form.LabelTitle, form.LabelAuthor, form.LabelOptions,
                              form.LabelValue}) {
            QCOMPARE(label->alignment(), Qt::AlignCenter);
        }
        // The accelerator of "App&Name" takes the user to the name.
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, Qt::Key_N, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), form.EditTitle);
    }

    void tabOrderFollowsTheControls() {
        ProgramDir dir;
        Window window = OpenWindow(dir);
        MainWindow& form = *window.form;
        const QList<QWidget*> expected{form.ComboTemp,  form.EditTitle,    form.EditAuthor,
                                       form.ComboOptions, form.EditValue,  form.ButtonBrowse,
                                       form.ComboValue, form.CheckValue,   form.CheckCopy,
                                       form.ButtonMake, form.Log};
        QList<QWidget*> chain;
        QWidget* widget = form.ComboTemp;
        do {
            if (expected.contains(widget)) chain << widget;
            widget = widget->nextInFocusChain();
        } while (widget != form.ComboTemp);
        QCOMPARE(chain, expected);
    }

    void windowHasOneFixedSize() {
        ProgramDir dir;
        Window window = OpenWindow(dir);
        MainWindow& form = *window.form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Pelko"));
        QCOMPARE(form.size(), QSize(290, 200));
        QCOMPARE(form.minimumSize(), QSize(290, 200));
        QCOMPARE(form.maximumSize(), QSize(290, 200));
        const Qt::WindowFlags flags = form.windowFlags();
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowSystemMenuHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!form.acceptDrops());
        QCOMPARE(form.palette().color(QPalette::Window), form.palette().color(QPalette::Button));
        form.showMinimized();
        QTRY_VERIFY(form.isMinimized());
    }

    void windowIsCentredWhenFirstShown() {
        ProgramDir dir;
        Window window = OpenWindow(dir);
        const QPoint screenCentre = window.form->screen()->availableGeometry().center();
        const QPoint windowCentre = window.form->frameGeometry().center();
        QVERIFY2((screenCentre - windowCentre).manhattanLength() <= 2,
                 qPrintable(QStringLiteral("window centre %1,%2")
                                .arg(windowCentre.x())
                                .arg(windowCentre.y())));
    }

    void fontsShowJapanese() {
        ProgramDir dir;
        Window window = OpenWindow(dir);
        MainWindow& form = *window.form;
        const QFont font = form.font();
        QCOMPARE(font.families().value(0), QStringLiteral("ＭＳ Ｐゴシック"));
        QVERIFY(font.families().contains(QStringLiteral("IPAPGothic")));
        QCOMPARE(font.pixelSize(), 12);
        QCOMPARE(form.ButtonMake->font().families(), font.families());
        const QFont logFont = form.Log->font();
        QCOMPARE(logFont.families().value(0), QStringLiteral("ＭＳ ゴシック"));
        QCOMPARE(logFont.pixelSize(), 12);
        // Whatever family is found, the texts of the window have glyphs.
        for (const QFont& shown : {font, logFont}) {
            const QFontMetrics metrics(shown);
            for (QChar c : QStringLiteral("作成完了速度背景色")) {
                QVERIFY2(metrics.inFont(c), qPrintable(QFontInfo(shown).family()));
            }
        }
    }

    void captionsFitTheirControls() {
        ProgramDir dir;
        Window window = OpenWindow(dir);
        MainWindow& form = *window.form;
        for (QLabel* label : {form.LabelTemp, form.LabelTitle, form.LabelAuthor, form.LabelOptions,
                              form.LabelValue}) {
            QString text = label->text();
            text.remove(QLatin1Char('&'));
            const int needed = QFontMetrics(label->font()).horizontalAdvance(text);
            QVERIFY2(needed <= label->width() || label->font().pixelSize() == 9,
                     qPrintable(label->objectName()));
            QVERIFY(label->font().pixelSize() >= 9 && label->font().pixelSize() <= 12);
        }
        QCheckBox* box = form.CheckCopy;
        const int indicator = box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) +
                              box->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box);
        const int needed = QFontMetrics(box->font()).horizontalAdvance(QStringLiteral("Copyright"));
        QVERIFY(needed + indicator <= box->width() || box->font().pixelSize() == 9);
        // A caption that fits keeps the window's own size.
        QCOMPARE(form.ButtonMake->font().pixelSize(), 12);
    }

    void logIsReadOnlyWithAScrollBar() {
        ProgramDir dir;
        Window window = OpenWindow(dir);
        QPlainTextEdit* log = window.form->Log;
        QVERIFY(log->isReadOnly());
        QCOMPARE(log->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(!log->testAttribute(Qt::WA_InputMethodEnabled));
        QTest::keyClicks(log, QStringLiteral("typed"));
        QTest::keyClick(log, Qt::Key_Return);
        QCOMPARE(log->toPlainText(), kStartLines);
    }

    void logAppendsAfterTheLastLineAndClears() {
        ProgramDir dir;
        Window window = OpenWindow(dir);
        MainWindow& form = *window.form;
        QtLogPane log(form.Log);
        QCOMPARE(form.LogLines(), kStartLines.split('\n'));
        log.Append("[!]速度 が未入力");
        QCOMPARE(form.LogLines().size(), 3);
        QCOMPARE(form.LogLines().last(), QStringLiteral("[!]速度 が未入力"));
        log.Clear();
        QCOMPARE(form.LogLines(), QStringList());
        log.Append("one");
        QCOMPARE(form.LogLines(), QStringList{QStringLiteral("one")});
    }
};

PELKO_REGISTER_TEST(WindowTests);
#include "tst_Window.moc"
