// The option editors: what each option shows and what every edit stores.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "TestSupport.h"
#include "templates/Descriptor.h"

using namespace pelko::test;

using Lines = std::vector<std::string>;
Q_DECLARE_METATYPE(Lines)
Q_DECLARE_METATYPE(std::string)

namespace {

QString ValueOf(const TForm1& form, int index) {
    return RecordTexts(form, index).value(pelko::kRecordValue);
}

std::string BytesOf(const TForm1& form, int index) {
    return pelko::RecordOf(form.OptionRecords(), index).Item(pelko::kRecordValue);
}

// The window with one template of these lines chosen.
Window WithTemplate(const ProgramDir& dir, const Lines& lines) {
    dir.WriteJad("t.jad", lines);
    Window window = OpenWindow(dir);
    ChooseTemplate(*window.form, "t.jad");
    return window;
}

// The box of a check box, where a user clicks it.
const QPoint kOnCheckBox(6, 6);

QPoint OnEditValue(const TForm1& form) {
    return form.EditValue->geometry().center();
}

// The palette the colour editor resolves system colours against.
class PaletteOverride {
public:
    explicit PaletteOverride(const QPalette& palette) : saved_(QApplication::palette()) {
        QApplication::setPalette(palette);
    }
    ~PaletteOverride() { QApplication::setPalette(saved_); }
    PaletteOverride(const PaletteOverride&) = delete;
    PaletteOverride& operator=(const PaletteOverride&) = delete;

private:
    QPalette saved_;
};

}  // namespace

class EditorTests : public QObject {
    Q_OBJECT

private slots:
    void eachOptionGetsItsEditor_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<bool>("editShown");
        QTest::addColumn<bool>("browseShown");
        QTest::addColumn<bool>("browseEnabled");
        QTest::addColumn<bool>("checkShown");
        QTest::addColumn<bool>("drops");
        QTest::addColumn<QString>("shown");
        QTest::newRow("integer") << 0 << true << true << false << false << false << "3";
        QTest::newRow("colour") << 1 << true << true << true << false << false << "16777215";
        QTest::newRow("yes/no") << 2 << false << false << false << true << false << "checked";
        QTest::newRow("text") << 3 << true << true << false << false << false << "FallingBlocks";
        QTest::newRow("file") << 4 << true << true << true << false << true << "back.png";
    }

    void eachOptionGetsItsEditor() {
        QFETCH(int, option);
        QFETCH(bool, editShown);
        QFETCH(bool, browseShown);
        QFETCH(bool, browseEnabled);
        QFETCH(bool, checkShown);
        QFETCH(bool, drops);
        QFETCH(QString, shown);
        ProgramDir dir;
        Window window = WithTemplate(dir, BlockDescriptor());
        TForm1& form = *window.form;
        // Come from another editor, so that every control had to change.
        Choose(form.ComboOptions, option == 4 ? 2 : 4);
        Choose(form.ComboOptions, option);

        QCOMPARE(!form.EditValue->isHidden(), editShown);
        QCOMPARE(!form.ButtonBrowse->isHidden(), browseShown);
        QCOMPARE(form.ButtonBrowse->isEnabled(), browseEnabled);
        QCOMPARE(!form.CheckValue->isHidden(), checkShown);
        QVERIFY(form.ComboValue->isHidden());
        QCOMPARE(form.acceptDrops(), drops);
        QCOMPARE(editShown ? form.EditValue->text()
                           : QString(form.CheckValue->isChecked() ? "checked" : "unchecked"),
                 shown);
        QVERIFY(window.dialogs->calls.empty());
    }

    void typingKeepsIntegersCanonical_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("leading zeros") << 0 << "007" << "7";
        QTest::newRow("plus sign") << 0 << "+5" << "5";
        QTest::newRow("lone minus kept") << 0 << "-" << "-";
        QTest::newRow("negative") << 0 << "-5" << "-5";
        QTest::newRow("minus zero") << 0 << "-0" << "0";
        QTest::newRow("letter clears") << 0 << "x" << "";
        QTest::newRow("letter after digits clears") << 0 << "12x" << "";
        QTest::newRow("emptied") << 0 << "" << "";
        QTest::newRow("colour too") << 1 << "0255" << "255";
    }

    void typingKeepsIntegersCanonical() {
        QFETCH(int, option);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        ProgramDir dir;
        Window window = WithTemplate(dir, BlockDescriptor());
        Choose(window.form->ComboOptions, option);
        TypeOver(window.form->EditValue, typed);
        QCOMPARE(window.form->EditValue->text(), stored);
        QCOMPARE(ValueOf(*window.form, option), stored);
        QVERIFY(window.dialogs->calls.empty());
    }

    void showingNormalisesOnlyAChangedText_data() {
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");
        QTest::newRow("hex after another number")
            << Lines{"Pelko-A: a,INT,5", "Pelko-B: b,INT,$1F"} << "31" << "31";
        QTest::newRow("hex while the same number shows")
            << Lines{"Pelko-A: a,INT,31", "Pelko-B: b,INT,$1F"} << "31" << "$1F";
        QTest::newRow("no integer after another number")
            << Lines{"Pelko-A: a,INT,5", "Pelko-B: b,COLOR,zz"} << "" << "";
        QTest::newRow("no integer while the field is empty")
            << Lines{"Pelko-A: a,INT,x", "Pelko-B: b,INT,zz"} << "" << "zz";
        QTest::newRow("yes/no other value while unchecked")
            << Lines{"Pelko-A: a,BOOL,0", "Pelko-B: b,BOOL,yes"} << "unchecked" << "yes";
        QTest::newRow("yes/no other value while checked")
            << Lines{"Pelko-A: a,BOOL,1", "Pelko-B: b,BOOL,yes"} << "unchecked" << "0";
    }

    void showingNormalisesOnlyAChangedText() {
        QFETCH(Lines, lines);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        ProgramDir dir;
        Window window = WithTemplate(dir, lines);
        TForm1& form = *window.form;
        Choose(form.ComboOptions, 1);
        const QString text = form.CheckValue->isHidden()
                                 ? form.EditValue->text()
                                 : QString(form.CheckValue->isChecked() ? "checked" : "unchecked");
        QCOMPARE(text, shown);
        QCOMPARE(ValueOf(form, 1), stored);
        QVERIFY(window.dialogs->calls.empty());
    }

    void firstOptionKeepsItsUnparsableValue() {
        ProgramDir dir;
        Window window = WithTemplate(dir, {"Pelko-B: b,INT,zz"});
        QCOMPARE(window.form->EditValue->text(), QString());
        QCOMPARE(ValueOf(*window.form, 0), QStringLiteral("zz"));
    }

    void yesNoOptionsKeepTheirOwnValues() {
        ProgramDir dir;
        Window window = WithTemplate(dir, {"Pelko-A: a,BOOL,1", "Pelko-B: b,BOOL,0"});
        TForm1& form = *window.form;
        QVERIFY(form.CheckValue->isChecked());
        Choose(form.ComboOptions, 1);
        QVERIFY(!form.CheckValue->isChecked());
        QCOMPARE(ValueOf(form, 0), QStringLiteral("1"));
        QCOMPARE(ValueOf(form, 1), QStringLiteral("0"));

        QTest::mouseClick(form.CheckValue, Qt::LeftButton, {}, kOnCheckBox);
        QCOMPARE(ValueOf(form, 1), QStringLiteral("1"));
        form.CheckValue->setFocus();
        QTest::keyClick(form.CheckValue, Qt::Key_Space);
        QCOMPARE(ValueOf(form, 1), QStringLiteral("0"));
        QCOMPARE(ValueOf(form, 0), QStringLiteral("1"));
        Choose(form.ComboOptions, 0);
        QVERIFY(form.CheckValue->isChecked());
    }

    void textOptionStoresWhatIsTyped() {
        ProgramDir dir;
        Window window = WithTemplate(dir, BlockDescriptor());
        Choose(window.form->ComboOptions, 3);
        TypeOver(window.form->EditValue, "落ちる ブロック");
        QCOMPARE(BytesOf(*window.form, 3), Sjis("落ちる ブロック"));
    }

    void colourDialogRoundTrip() {
        ProgramDir dir;
        Window window = WithTemplate(dir, BlockDescriptor());
        TForm1& form = *window.form;
        Choose(form.ComboOptions, 1);
        window.dialogs->colorAnswers = {0x000000FF};  // pure red, in dialog order
        QTest::mouseClick(form.ButtonBrowse, Qt::LeftButton);
        QCOMPARE(form.EditValue->text(), QStringLiteral("16711680"));
        QCOMPARE(ValueOf(form, 1), QStringLiteral("16711680"));

        TypeOver(form.EditValue, "255");  // pure blue
        QTest::mouseClick(form.ButtonBrowse, Qt::LeftButton);  // cancelled
        QCOMPARE(ValueOf(form, 1), QStringLiteral("255"));

        const auto picks = window.dialogs->CallsOf("PickColor");
        QCOMPARE(picks.size(), std::size_t{2});
        QCOMPARE(picks[0].arguments, QStringList{"ffffff"});
        QCOMPARE(picks[1].arguments, QStringList{"ff0000"});
    }

    void systemColourIsResolvedThroughThePalette() {
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Base, QColor(0x12, 0x34, 0x56));
        const PaletteOverride override(palette);
        ProgramDir dir;
        Window window = WithTemplate(dir, BlockDescriptor());
        Choose(window.form->ComboOptions, 1);
        window.dialogs->colorAnswers = {static_cast<std::int32_t>(0x80000005u)};
        QTest::mouseClick(window.form->ButtonBrowse, Qt::LeftButton);
        QCOMPARE(ValueOf(*window.form, 1), QString::number(0x123456));
    }

    void colourThatIsNoIntegerOpensOnBlack() {
        ProgramDir dir;
        Window window = WithTemplate(dir, {"Pelko-C: c,COLOR,zz"});
        QTest::mouseClick(window.form->ButtonBrowse, Qt::LeftButton);
        QCOMPARE(window.dialogs->CallsOf("PickColor").at(0).arguments, QStringList{"0"});
        QCOMPARE(ValueOf(*window.form, 0), QStringLiteral("zz"));
    }

    void typingInsideANumberKeepsTheCaret() {
        ProgramDir dir;
        Window window = WithTemplate(dir, Lines{Sjis("Pelko-Speed: 速度,INT,15")});
        QLineEdit* edit = window.form->EditValue;
        edit->setFocus();
        edit->setCursorPosition(1);
        QTest::keyClicks(edit, QStringLiteral("23"));
        QCOMPARE(edit->text(), QStringLiteral("1235"));
        QCOMPARE(ValueOf(*window.form, 0), QStringLiteral("1235"));
        QCOMPARE(edit->cursorPosition(), 3);
    }

    void aDefaultPathFromTheDescriptorIsShownReadable() {
        ProgramDir dir;
        Window window = WithTemplate(dir, Lines{Sjis("Pelko-File: 背景,back.png,背景.png")});
        QCOMPARE(window.form->EditValue->text(), QStringLiteral("背景.png"));
        QCOMPARE(BytesOf(*window.form, 0), Sjis("背景.png"));  // untouched until edited
    }

    void browseForAFile_data() {
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("proposed");  // "@" stands for the program directory
        QTest::newRow("File") << Lines{Sjis("Pelko-File: 背景画像,back.png")} << "*.pngファイル"
                              << "*.png" << "@back.png";
        QTest::newRow("File2") << Lines{Sjis("Pelko-File2: 画像,pic.png,/data/pic.png")}
                               << "*.pngファイル" << "*.png" << "/data/pic.png";
        QTest::newRow("no extension") << Lines{Sjis("Pelko-File: データ,data")} << "*ファイル"
                                      << "*" << "@data";
        QTest::newRow("entry in a folder") << Lines{Sjis("Pelko-File: 画像,img/a.gif")}
                                           << "*.gifファイル" << "*.gif" << "@img/a.gif";
    }

    void browseForAFile() {
        QFETCH(Lines, lines);
        QFETCH(QString, description);
        QFETCH(QString, pattern);
        QFETCH(QString, proposed);
        ProgramDir dir;
        Window window = WithTemplate(dir, lines);
        TForm1& form = *window.form;
        const QString before = ValueOf(form, 0);
        QTest::mouseClick(form.ButtonBrowse, Qt::LeftButton);  // cancelled
        QCOMPARE(ValueOf(form, 0), before);

        const QString chosen = dir.FilePath("選んだ 画像.png");
        window.dialogs->fileAnswers = {chosen};
        QTest::mouseClick(form.ButtonBrowse, Qt::LeftButton);
        QCOMPARE(form.EditValue->text(), chosen);
        // A host path, in the file system's own bytes.
        QCOMPARE(BytesOf(form, 0), QFile::encodeName(chosen).toStdString());

        const auto opens = window.dialogs->CallsOf("OpenFile");
        QCOMPARE(opens.size(), std::size_t{2});
        const QString programDir = QFile::decodeName(QByteArray::fromStdString(dir.Path()));
        QCOMPARE(opens[0].arguments,
                 (QStringList{"参照", description, pattern,
                              QString(proposed).replace("@", programDir)}));
    }

    void dropsSetTheFileOption() {
        ProgramDir dir;
        Window window = WithTemplate(dir, BlockDescriptor());
        TForm1& form = *window.form;
        Choose(form.ComboOptions, 4);
        const QString first = "/画像/" + QString(300, 'a') + ".png";  // longer than 260 bytes
        QVERIFY(DropFiles(&form, OnEditValue(form), {first, "/b.png", "/c.png"}));
        QCOMPARE(form.EditValue->text(), first);
        QCOMPARE(BytesOf(form, 4), QFile::encodeName(first).toStdString());
        // A drop anywhere on the window counts, on a control or beside them.
        QVERIFY(DropFiles(&form, form.Log->geometry().center(), {"/d.png"}));
        QCOMPARE(ValueOf(form, 4), QStringLiteral("/d.png"));
        QVERIFY(DropFiles(&form, {150, 112}, {"/e.png"}));
        QCOMPARE(ValueOf(form, 4), QStringLiteral("/e.png"));
        QVERIFY(window.dialogs->calls.empty());
    }

    void dropsAreRefusedByOtherOptions_data() {
        QTest::addColumn<int>("option");
        for (int option : {0, 1, 2, 3}) QTest::newRow(QByteArray::number(option)) << option;
    }

    void dropsAreRefusedByOtherOptions() {
        QFETCH(int, option);
        ProgramDir dir;
        Window window = WithTemplate(dir, BlockDescriptor());
        TForm1& form = *window.form;
        Choose(form.ComboOptions, 4);
        Choose(form.ComboOptions, option);
        const QStringList before = RecordTexts(form, option);
        const QString text = form.EditValue->text();
        QVERIFY(!DropFiles(&form, OnEditValue(form), {"/a.png"}));
        QCOMPARE(RecordTexts(form, option), before);
        QCOMPARE(ValueOf(form, 4), QStringLiteral("back.png"));
        QCOMPARE(form.EditValue->text(), text);
    }

    // The path dropped shows exactly as the value already did, so the text
    // does not change; the dropped path is stored all the same.
    void dropOfTheShownPathIsStored() {
        ProgramDir dir;
        const std::string undecodable = dir.Path() + "\x85\x40.png";  // neither UTF-8 nor CP932
        Window window = WithTemplate(dir, {Sjis("Pelko-File: 画像,a.png,") + undecodable});
        TForm1& form = *window.form;
        QCOMPARE(BytesOf(form, 0), undecodable);
        const QString shown = form.EditValue->text();
        QVERIFY(shown.contains(QChar(0xFFFD)));

        QVERIFY(DropFiles(&form, OnEditValue(form), {shown}));
        QCOMPARE(form.EditValue->text(), shown);
        QCOMPARE(BytesOf(form, 0), QFile::encodeName(shown).toStdString());
    }

    void bytesWithoutUnicodeFormSurvive_data() {
        QTest::addColumn<std::string>("value");
        QTest::newRow("lone lead byte") << std::string("A\x82");
        QTest::newRow("undefined pair") << std::string("\x85\x40");
        QTest::newRow("NEC-selected IBM extension") << std::string("\xed\x40");
    }

    void bytesWithoutUnicodeFormSurvive() {
        QFETCH(std::string, value);
        ProgramDir dir;
        Window window = WithTemplate(dir, {"Pelko-A: a,TEXT," + value, "Pelko-B: b,TEXT,other"});
        TForm1& form = *window.form;
        QCOMPARE(BytesOf(form, 0), value);
        Choose(form.ComboOptions, 1);
        Choose(form.ComboOptions, 0);
        QCOMPARE(BytesOf(form, 0), value);
        // Edited, the text is read from what shows.
        form.EditValue->setFocus();
        QTest::keyClick(form.EditValue, Qt::Key_End);
        TypeText(form.EditValue, "z");
        QVERIFY(BytesOf(form, 0) != value);
        QVERIFY(QByteArray::fromStdString(BytesOf(form, 0)).endsWith('z'));
        QVERIFY(window.dialogs->calls.empty());
    }

    void charactersWithoutCp932FormAreRefused() {
        ProgramDir dir;
        Window window = WithTemplate(dir, BlockDescriptor());
        TForm1& form = *window.form;
        TypeOver(form.EditTitle, "A한B");
        QCOMPARE(form.EditTitle->text(), QStringLiteral("AB"));
        TypeOver(form.EditAuthor, "作者😀");
        QCOMPARE(form.EditAuthor->text(), QStringLiteral("作者"));

        QApplication::clipboard()->setText("C한");
        form.EditTitle->setFocus();
        QTest::keyClick(form.EditTitle, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form.EditTitle->text(), QStringLiteral("AB"));
        QApplication::clipboard()->setText("日本");
        QTest::keyClick(form.EditTitle, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form.EditTitle->text(), QStringLiteral("AB日本"));

        Choose(form.ComboOptions, 3);
        TypeOver(form.EditValue, "説明한");
        QCOMPARE(ValueOf(form, 3), QStringLiteral("説明"));
        // A path comes from the file system and may hold any character.
        Choose(form.ComboOptions, 4);
        TypeOver(form.EditValue, "/한.png");
        QCOMPARE(BytesOf(form, 4), QFile::encodeName("/한.png").toStdString());
    }

    // A pasted text with a line break would write descriptor lines of its
    // own: every edit refuses it whole, and the record keeps its value.
    void pastedLineBreaksAreRefusedEverywhere() {
        ProgramDir dir;
        Window window = WithTemplate(dir, BlockDescriptor());
        TForm1& form = *window.form;
        const QStringList pasted = {QStringLiteral("ab\r\nMIDlet-Jar-URL: x"), QStringLiteral("ab\ncd"),
                                    QStringLiteral("ab\rcd"), QString(QStringLiteral("ab")) + QChar(u'\0')};
        for (QLineEdit* edit : {form.EditTitle, form.EditAuthor}) {
            TypeOver(edit, "Game");
            for (const QString& text : pasted) {
                QApplication::clipboard()->setText(text);
                edit->setFocus();
                QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
                QCOMPARE(edit->text(), QStringLiteral("Game"));
            }
        }
        for (const int option : {0, 3, 4}) {  // an integer, a text, a file
            Choose(form.ComboOptions, option);
            TypeOver(form.EditValue, "7");
            const std::string stored = BytesOf(form, option);
            for (const QString& text : pasted) {
                QApplication::clipboard()->setText(text);
                form.EditValue->setFocus();
                QTest::keyClick(form.EditValue, Qt::Key_V, Qt::ControlModifier);
                QCOMPARE(form.EditValue->text(), QStringLiteral("7"));
                QCOMPARE(BytesOf(form, option), stored);
            }
        }
    }
};

PELKO_REGISTER_TEST(EditorTests);
#include "tst_Editors.moc"
