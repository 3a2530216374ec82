// The make button: the save dialog, the replace question and the build's log.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "TestSupport.h"
#include "pelko/Version.h"

using namespace pelko::test;

namespace {

const QStringList kStartLines{QStringLiteral("Pelko " PELKO_VERSION),
                              QStringLiteral("Personalised ezplus packages for Java handsets")};

// The block sample with its archive, and the picture its file option names.
void CopyBlockSample(const ProgramDir& dir) {
    for (const char* name : {"block.jad", "block.jar"}) {
        if (!QFile::copy(QStringLiteral(PELKO_SAMPLES_DIR "/") + name, dir.FilePath(name))) {
            throw std::runtime_error(std::string("cannot copy the sample ") + name);
        }
    }
    dir.WriteFile("back.png", "a picture");
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class MakeTests : public QObject {
    Q_OBJECT

private slots:
    void withoutATemplateNothingHappens() {
        ProgramDir dir;
        CopyBlockSample(dir);
        Window window = OpenWindow(dir);
        QTest::mouseClick(window.form->ButtonMake, Qt::LeftButton);
        QVERIFY(window.dialogs->calls.empty());
        QCOMPARE(window.form->LogLines(), kStartLines);
    }

    void cancelledSaveKeepsTheLog() {
        ProgramDir dir;
        CopyBlockSample(dir);
        Window window = OpenWindow(dir);
        ChooseTemplate(*window.form, "block.jad");
        QTest::mouseClick(window.form->ButtonMake, Qt::LeftButton);
        const auto saves = window.dialogs->CallsOf("SaveFile");
        QCOMPARE(saves.size(), std::size_t{1});
        QCOMPARE(saves[0].arguments, (QStringList{"作成", "ezplus(*.kjx)", "*.kjx", ""}));
        QCOMPARE(window.dialogs->calls.size(), std::size_t{1});
        QCOMPARE(window.form->LogLines(), kStartLines);
    }

    void addedExtensionAsksBeforeReplacing() {
        ProgramDir dir;
        CopyBlockSample(dir);
        QTemporaryDir out;
        QFile::copy(dir.FilePath("back.png"), out.filePath("game.kjx"));
        Window window = OpenWindow(dir);
        ChooseTemplate(*window.form, "block.jad");
        window.dialogs->fileAnswers = {out.filePath("game"), std::nullopt};
        window.dialogs->replaceAnswers = {false};
        QTest::mouseClick(window.form->ButtonMake, Qt::LeftButton);

        QCOMPARE(window.dialogs->CallsOf("ConfirmReplace").size(), std::size_t{1});
        QCOMPARE(window.dialogs->CallsOf("ConfirmReplace")[0].arguments,
                 QStringList{out.filePath("game.kjx")});
        QCOMPARE(window.form->LogLines(), kStartLines);
        QCOMPARE(ReadAll(out.filePath("game.kjx")), QByteArray("a picture"));
        // The dialog proposes the name with its extension next time.
        QCOMPARE(window.form->SaveFileName(), out.filePath("game.kjx"));
        QTest::mouseClick(window.form->ButtonMake, Qt::LeftButton);
        QCOMPARE(window.dialogs->CallsOf("SaveFile").at(1).arguments.value(3),
                 out.filePath("game.kjx"));
    }

    void makeWritesThePackage_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("output");
        QTest::newRow("name as typed") << "game.kjx" << "game.kjx";
        QTest::newRow("extension added") << "game" << "game.kjx";
        QTest::newRow("upper-case extension kept") << "game.KJX" << "game.KJX";
        QTest::newRow("other extension kept") << "game.txt" << "game.txt.kjx";
    }

    void makeWritesThePackage() {
        QFETCH(QString, typed);
        QFETCH(QString, output);
        ProgramDir dir;
        CopyBlockSample(dir);
        QTemporaryDir out;
        Window window = OpenWindow(dir);
        TForm1& form = *window.form;
        ChooseTemplate(form, "block.jad");
        TypeOver(form.EditValue, "9");
        TypeOver(form.EditAuthor, "作者");
        window.dialogs->fileAnswers = {out.filePath(typed)};
        QTest::mouseClick(form.ButtonMake, Qt::LeftButton);

        const QString path = out.filePath(output);
        QCOMPARE(form.LogLines(), QStringList{"[O]作成完了(" + path + ")"});
        QVERIFY(window.dialogs->CallsOf("ConfirmReplace").empty());
        QVERIFY(window.dialogs->Errors().isEmpty());
        const QByteArray package = ReadAll(path);
        QVERIFY(package.startsWith("KJX"));
        QVERIFY(package.contains("Pelko-Speed: 9\r\n"));
        QVERIFY(package.contains("Block Game"));
        QVERIFY(package.contains(QByteArray::fromStdString(Sjis("作者"))));
        // Nothing of the build is left in the program directory.
        QVERIFY(!QFile::exists(dir.FilePath("block.tmp")));
        QVERIFY(!QFile::exists(dir.FilePath("META-INF")));
    }

    void missingValuesAreReportedAboveTheResult() {
        ProgramDir dir;
        CopyBlockSample(dir);
        QTemporaryDir out;
        Window window = OpenWindow(dir);
        TForm1& form = *window.form;
        ChooseTemplate(form, "block.jad");
        TypeOver(form.EditValue, "");
        window.dialogs->fileAnswers = {out.filePath("game.kjx")};
        QTest::mouseClick(form.ButtonMake, Qt::LeftButton);
        QCOMPARE(form.LogLines(), (QStringList{"[!]速度 が未入力",
                                               "[O]作成完了(" + out.filePath("game.kjx") + ")"}));
        QVERIFY(!ReadAll(out.filePath("game.kjx")).contains("Pelko-Speed"));
    }

    // A title whose bytes have no exact Unicode round trip goes into the
    // package byte for byte.
    void titleBytesReachThePackageUnchanged() {
        ProgramDir dir;
        CopyBlockSample(dir);
        const std::string title = "Game \xed\x40";
        dir.WriteJad("odd.jad", {"MIDlet-Name: " + title, Sjis("Pelko-File: 背景画像,back.png")});
        QFile::copy(dir.FilePath("block.jar"), dir.FilePath("odd.jar"));
        QTemporaryDir out;
        Window window = OpenWindow(dir);
        ChooseTemplate(*window.form, "odd.jad");
        window.dialogs->fileAnswers = {out.filePath("odd.kjx")};
        QTest::mouseClick(window.form->ButtonMake, Qt::LeftButton);
        // The template lacks the attributes handsets need: warned about, still made.
        QCOMPARE(window.form->LogLines().constLast().left(4), QStringLiteral("[O]作"));
        QVERIFY(ReadAll(out.filePath("odd.kjx")).contains(QByteArray::fromStdString(title + "\r\n")));
    }

    void buildErrorsGoToTheErrorBox() {
        ProgramDir dir;
        CopyBlockSample(dir);
        QTemporaryDir out;
        Window window = OpenWindow(dir);
        ChooseTemplate(*window.form, "block.jad");
        QVERIFY(QFile::remove(dir.FilePath("block.jad")));
        window.dialogs->fileAnswers = {out.filePath("game.kjx")};
        QTest::mouseClick(window.form->ButtonMake, Qt::LeftButton);
        QCOMPARE(window.dialogs->Errors(),
                 QStringList{"ファイル " + dir.FilePath("block.jad") + " は開けません."});
        QVERIFY(!window.form->LogLines().contains(kStartLines.first()));
        QVERIFY(!QFile::exists(out.filePath("game.kjx")));
    }
};

PELKO_REGISTER_TEST(MakeTests);
#include "tst_Make.moc"
