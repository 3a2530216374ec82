// The window as a user meets it: opened offscreen, every action reaching
// its handler, a package made.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "QtTestSupport.h"
#include "ScriptedView.h"

using namespace pelko::test;

namespace {

// The box of a check box, where a user clicks it.
const QPoint kOnCheckBox(6, 6);

}  // namespace

class SmokeTests : public QObject {
    Q_OBJECT

private slots:
    void makesAPackageFromTheSample() {
        ProgramDir dir;
        for (const char* name : {"block.jad", "block.jar"}) dir.CopySample(name);
        dir.WriteFile("back.png", "a picture");
        QTemporaryDir out;
        Window window = OpenWindow(dir);
        ChooseTemplate(*window.form, "block.jad");
        TypeOver(window.form->EditAuthor, "作者");
        window.dialogs->fileAnswers = {QFile::encodeName(out.filePath("game")).toStdString()};
        QTest::mouseClick(window.form->ButtonMake, Qt::LeftButton);
        QCOMPARE(window.form->LogLines(), QStringList{"[O]作成完了(" + out.filePath("game.kjx") + ")"});
        QFile package(out.filePath("game.kjx"));
        QVERIFY(package.open(QIODevice::ReadOnly));
        QVERIFY(package.readAll().contains(QByteArray::fromStdString(Sjis("作者"))));
    }

    // Each control the user works passes the action on to its handler.
    void userActionsReachTheirHandlers() {
        ProgramDir dir;
        dir.WriteJad("t.jad", {"Pelko-A: a,BOOL,0", "Pelko-C: c,COLOR,1", "Pelko-F: f,TEXT,x"});
        Window window = OpenWindow(dir);
        MainWindow& form = *window.form;
        ChooseTemplate(form, "t.jad");
        QVERIFY(!form.CheckValue->isHidden());

        QTest::mouseClick(form.CheckValue, Qt::LeftButton, {}, kOnCheckBox);
        QCOMPARE(RecordTexts(form, 0).value(3), QStringLiteral("1"));
        form.CheckValue->setFocus();
        QTest::keyClick(form.CheckValue, Qt::Key_Space);
        QCOMPARE(RecordTexts(form, 0).value(3), QStringLiteral("0"));

        Choose(form.ComboOptions, 1);
        QVERIFY(!form.EditValue->isHidden());
        QTest::mouseClick(form.ButtonBrowse, Qt::LeftButton);  // cancelled
        QCOMPARE(window.dialogs->CallsOf("PickColor").size(), std::size_t{1});

        Choose(form.ComboOptions, 2);
        TypeOver(form.EditValue, "typed");
        QCOMPARE(RecordTexts(form, 2).value(3), QStringLiteral("typed"));
        QVERIFY(window.dialogs->Errors().empty());
    }
};

PELKO_REGISTER_TEST(SmokeTests);
#include "tst_Smoke.moc"
