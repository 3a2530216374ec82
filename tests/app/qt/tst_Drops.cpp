// Files dragged onto the window: where the window takes them, and when not.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "QtTestSupport.h"
#include "ScriptedView.h"

using namespace pelko::test;

namespace {

Window WithBlockTemplate(const ProgramDir& dir) {
    dir.WriteJad("t.jad", BlockDescriptor());
    Window window = OpenWindow(dir);
    ChooseTemplate(*window.form, "t.jad");
    return window;
}

}  // namespace

class DropTests : public QObject {
    Q_OBJECT

private slots:
    void dropsAnywhereOnTheWindowSetTheFileOption() {
        ProgramDir dir;
        Window window = WithBlockTemplate(dir);
        MainWindow& form = *window.form;
        Choose(form.ComboOptions, 4);
        const QString first = "/画像/" + QString(300, 'a') + ".png";  // longer than 260 bytes
        QVERIFY(DropFiles(&form, form.EditValue->geometry().center(), {first, "/b.png", "/c.png"}));
        QCOMPARE(form.EditValue->text(), first);
        QCOMPARE(ValueBytes(form, 4), first.toStdString());
        // A drop anywhere on the window counts, on a control or beside them.
        QVERIFY(DropFiles(&form, form.Log->geometry().center(), {"/d.png"}));
        QCOMPARE(RecordTexts(form, 4).value(3), QStringLiteral("/d.png"));
        QVERIFY(DropFiles(&form, {150, 112}, {"/e.png"}));
        QCOMPARE(RecordTexts(form, 4).value(3), QStringLiteral("/e.png"));
        QVERIFY(window.dialogs->calls.empty());
    }

    void dropsAreRefusedByOtherOptions_data() {
        QTest::addColumn<int>("option");
        QTest::newRow("integer") << 0;
        QTest::newRow("colour") << 1;
        QTest::newRow("yes/no") << 2;
        QTest::newRow("text") << 3;
    }

    void dropsAreRefusedByOtherOptions() {
        QFETCH(int, option);
        ProgramDir dir;
        Window window = WithBlockTemplate(dir);
        MainWindow& form = *window.form;
        Choose(form.ComboOptions, 4);
        Choose(form.ComboOptions, option);
        QVERIFY(!form.acceptDrops());
        const QStringList before = RecordTexts(form, option);
        const QString text = form.EditValue->text();
        QVERIFY(!DropFiles(&form, form.EditValue->geometry().center(), {"/a.png"}));
        QCOMPARE(RecordTexts(form, option), before);
        QCOMPARE(RecordTexts(form, 4).value(3), QStringLiteral("back.png"));
        QCOMPARE(form.EditValue->text(), text);
    }
};

PELKO_REGISTER_TEST(DropTests);
#include "tst_Drops.moc"
