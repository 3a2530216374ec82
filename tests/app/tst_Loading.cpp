// Choosing a template: the controls it fills and the option records it makes.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "TestSupport.h"

using namespace pelko::test;

using Lines = std::vector<std::string>;
using Records = QList<QStringList>;
Q_DECLARE_METATYPE(Lines)

namespace {

Records AllRecords(const TForm1& form) {
    Records records;
    for (int i = 0; i < form.OptionRecords().Count(); ++i) records << RecordTexts(form, i);
    return records;
}

// Which editor controls show, as one comparable text.
QString EditorState(const TForm1& form) {
    QStringList shown;
    if (!form.EditValue->isHidden()) shown << "EditValue";
    if (!form.ButtonBrowse->isHidden()) shown << "ButtonBrowse";
    if (form.ButtonBrowse->isEnabled()) shown << "enabled";
    if (!form.CheckValue->isHidden()) shown << "CheckValue";
    if (!form.ComboValue->isHidden()) shown << "ComboValue";
    if (form.acceptDrops()) shown << "drops";
    return shown.join(' ');
}

// ")" sorts before ".", so the error box adds no full stop to this one.
const QString kIndexError = QStringLiteral("リストのインデックスが範囲を超えています (%1)");

}  // namespace

class LoadingTests : public QObject {
    Q_OBJECT

private slots:
    void blockTemplateFillsTheWindow() {
        ProgramDir dir;
        dir.WriteJad("block.jad", BlockDescriptor());
        Window window = OpenWindow(dir);
        TForm1& form = *window.form;
        TypeOver(form.EditAuthor, "someone");
        ChooseTemplate(form, "block.jad");

        QCOMPARE(form.EditTitle->text(), QStringLiteral("Block Game"));
        QVERIFY(form.CheckCopy->isChecked());
        QCOMPARE(form.EditAuthor->text(), QString());
        QCOMPARE(ItemTexts(form.ComboOptions),
                 (QStringList{"速度", "背景色", "効果音", "説明", "背景画像"}));
        QCOMPARE(form.ComboOptions->currentIndex(), 0);
        const Records expected{
            {"Speed", "速度", "INT", "3"},
            {"BackColor", "背景色", "COLOR", "16777215"},
            {"Sound", "効果音", "BOOL", "1"},
            {"MIDlet-Description", "説明", "TEXT", "FallingBlocks"},
            {"File", "背景画像", "back.png", "back.png"},
        };
        QCOMPARE(AllRecords(form), expected);
        // The first option's integer editor is shown.
        QCOMPARE(EditorState(form), QStringLiteral("EditValue ButtonBrowse"));
        QCOMPARE(form.EditValue->text(), QStringLiteral("3"));
        QVERIFY(window.dialogs->calls.empty());
    }

    void sampleTemplatesLoad() {
        ProgramDir dir;
        for (const char* name : {"block.jad", "puzzle.jad"}) {
            QVERIFY(QFile::copy(QStringLiteral(PELKO_SAMPLES_DIR "/") + name, dir.FilePath(name)));
        }
        Window window = OpenWindow(dir);
        QCOMPARE(window.form->ComboTemp->count(), 2);
        ChooseTemplate(*window.form, "block.jad");
        QCOMPARE(ItemTexts(window.form->ComboOptions),
                 (QStringList{"速度", "背景色", "効果音", "説明", "背景画像"}));
        ChooseTemplate(*window.form, "puzzle.jad");
        QVERIFY(window.form->ComboOptions->count() > 0);
        QVERIFY(window.dialogs->calls.empty());
    }

    void loadingAgainStartsAfresh() {
        ProgramDir dir;
        dir.WriteJad("block.jad", BlockDescriptor());
        Window window = OpenWindow(dir);
        TForm1& form = *window.form;
        ChooseTemplate(form, "block.jad");
        const Records first = AllRecords(form);
        TypeOver(form.EditValue, "9");
        TypeOver(form.EditTitle, "Mine");
        QCOMPARE(RecordTexts(form, 0).value(3), QStringLiteral("9"));

        ChooseTemplate(form, "block.jad");
        QCOMPARE(AllRecords(form), first);
        QCOMPARE(form.ComboOptions->count(), 5);
        QCOMPARE(form.EditTitle->text(), QStringLiteral("Block Game"));
        QCOMPARE(form.EditValue->text(), QStringLiteral("3"));
    }

    void descriptorLinesFillTheControls_data() {
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("copyright");
        QTest::newRow("name and copyright")
            << Lines{"MIDlet-Name: Game", "MIDlet-X-Copyright: ON"} << "Game" << true;
        QTest::newRow("name with nothing after it") << Lines{"MIDlet-Name: "} << "" << false;
        QTest::newRow("a later name wins")
            << Lines{"MIDlet-Name: First", "MIDlet-Name: Second"} << "Second" << false;
        QTest::newRow("copyright OFF") << Lines{"MIDlet-X-Copyright: OFF"} << "" << false;
        QTest::newRow("copyright in lower case") << Lines{"MIDlet-X-Copyright: on"} << "" << false;
        QTest::newRow("vendor is no author") << Lines{"MIDlet-Vendor: someone"} << "" << false;
        QTest::newRow("name in Japanese") << Lines{Sjis("MIDlet-Name: 落ち物")} << "落ち物" << false;
        QTest::newRow("name line taken as an option")
            << Lines{"Pelko-MIDlet-Name: x,TEXT,y"} << "" << false;
    }

    void descriptorLinesFillTheControls() {
        QFETCH(Lines, lines);
        QFETCH(QString, title);
        QFETCH(bool, copyright);
        ProgramDir dir;
        dir.WriteJad("t.jad", lines);
        Window window = OpenWindow(dir);
        TForm1& form = *window.form;
        TypeOver(form.EditAuthor, "author");
        QTest::mouseClick(form.CheckCopy, Qt::LeftButton, {}, {6, 6});
        QVERIFY(form.CheckCopy->isChecked());

        ChooseTemplate(form, "t.jad");
        QCOMPARE(form.EditTitle->text(), title);
        QCOMPARE(form.CheckCopy->isChecked(), copyright);
        QCOMPARE(form.EditAuthor->text(), QString());
        QVERIFY(window.dialogs->calls.empty());
    }

    void optionLinesMakeRecords_data() {
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<Records>("records");
        QTest::newRow("file with its own value")
            << Lines{Sjis("Pelko-File: 画像,icon.png,C:\\data\\icon.png")}
            << Records{{"File", "画像", "icon.png", "C:\\data\\icon.png"}};
        QTest::newRow("file without a value")
            << Lines{Sjis("Pelko-File: 画像,icon.png")}
            << Records{{"File", "画像", "icon.png", "icon.png"}};
        QTest::newRow("quoted value with spaces")
            << Lines{Sjis("Pelko-Text: 説明,TEXT,\"Falling Blocks\"")}
            << Records{{"Text", "説明", "TEXT", "Falling Blocks"}};
        QTest::newRow("unquoted words are further texts")
            << Lines{Sjis("Pelko-Text: 説明,TEXT,Falling Blocks")}
            << Records{{"Text", "説明", "TEXT", "Falling", "Blocks"}};
        QTest::newRow("key with a space") << Lines{Sjis("Pelko-My Key: 値,TEXT,v")}
                                          << Records{{"My Key", "値", "TEXT", "v"}};
        QTest::newRow("line without colon") << Lines{"Pelko-Speed 3"} << Records{};
        QTest::newRow("name line") << Lines{"Pelko-Name: x,TEXT,y"} << Records{};
        QTest::newRow("shared keys")
            << Lines{Sjis("Pelko-File: 一,a.png"), Sjis("Pelko-File: 二,b.png")}
            << Records{{"File", "一", "a.png", "a.png"}, {"File", "二", "b.png", "b.png"}};
    }

    void optionLinesMakeRecords() {
        QFETCH(Lines, lines);
        QFETCH(Records, records);
        ProgramDir dir;
        dir.WriteJad("t.jad", lines);
        Window window = OpenWindow(dir);
        ChooseTemplate(*window.form, "t.jad");
        QCOMPARE(AllRecords(*window.form), records);
        QCOMPARE(window.form->ComboOptions->count(), records.size());
        QCOMPARE(window.form->ComboOptions->currentIndex(), records.isEmpty() ? -1 : 0);
        QVERIFY(window.dialogs->calls.empty());
    }

    void withoutOptionsTheEditorsStayAsTheyWere_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("editors");
        QTest::newRow("file") << 4 << "EditValue ButtonBrowse enabled drops";
        QTest::newRow("yes/no") << 2 << "CheckValue";
        QTest::newRow("colour") << 1 << "EditValue ButtonBrowse enabled";
    }

    void withoutOptionsTheEditorsStayAsTheyWere() {
        QFETCH(int, option);
        QFETCH(QString, editors);
        ProgramDir dir;
        dir.WriteJad("block.jad", BlockDescriptor());
        dir.WriteJad("plain.jad", {"MIDlet-Name: Plain"});
        Window window = OpenWindow(dir);
        TForm1& form = *window.form;
        ChooseTemplate(form, "block.jad");
        Choose(form.ComboOptions, option);
        QCOMPARE(EditorState(form), editors);

        ChooseTemplate(form, "plain.jad");
        QCOMPARE(form.ComboOptions->count(), 0);
        QCOMPARE(form.OptionRecords().Count(), 0);
        QCOMPARE(EditorState(form), editors);
        QCOMPARE(form.EditValue->text(), QString());
        // Nothing is selected, so edits and drops reach no record and fail nowhere.
        TypeText(form.EditValue, "12x");
        QTest::mouseClick(form.CheckValue, Qt::LeftButton, {}, {6, 6});
        const bool dropped = DropFiles(&form, form.EditValue->geometry().center(), {"/tmp/a.png"});
        QCOMPARE(dropped, editors.contains("drops"));
        if (dropped) QCOMPARE(form.EditValue->text(), QStringLiteral("/tmp/a.png"));
        QVERIFY(window.dialogs->calls.empty());
    }

    void badOptionLinesStopTheLoad_data() {
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("no label")
            << Lines{"MIDlet-Name: Game", Sjis("Pelko-Speed: 速度,INT,3"), "Pelko-Level:3",
                     "MIDlet-Name: Later", Sjis("Pelko-Sound: 効果音,BOOL,1")}
            << kIndexError.arg(1) << QStringList{"速度"};
        QTest::newRow("file with one field")
            << Lines{"MIDlet-Name: Game", Sjis("Pelko-Speed: 速度,INT,3"), Sjis("Pelko-File: 画像"),
                     "MIDlet-Name: Later"}
            << kIndexError.arg(2) << QStringList{"速度"};
        QTest::newRow("first option without label")
            << Lines{"MIDlet-Name: Game", "Pelko-Speed: "} << kIndexError.arg(1) << QStringList{};
    }

    void badOptionLinesStopTheLoad() {
        QFETCH(Lines, lines);
        QFETCH(QString, error);
        QFETCH(QStringList, items);
        ProgramDir dir;
        dir.WriteJad("bad.jad", lines);
        Window window = OpenWindow(dir);
        TForm1& form = *window.form;
        ChooseTemplate(form, "bad.jad");
        QCOMPARE(window.dialogs->Errors(), QStringList{error});
        QCOMPARE(ItemTexts(form.ComboOptions), items);
        QCOMPARE(form.OptionRecords().Count(), items.size());
        QCOMPARE(form.ComboOptions->currentIndex(), -1);
        // The lines before the bad one took effect, the lines after it did not.
        QCOMPARE(form.EditTitle->text(), QStringLiteral("Game"));
    }

    void unreadableDescriptorLeavesTheControlsReset() {
        ProgramDir dir;
        dir.WriteJad("block.jad", BlockDescriptor());
        Window window = OpenWindow(dir);
        TForm1& form = *window.form;
        ChooseTemplate(form, "block.jad");
        TypeOver(form.EditAuthor, "someone");
        QVERIFY(QFile::remove(dir.FilePath("block.jad")));

        ChooseTemplate(form, "block.jad");
        QCOMPARE(window.dialogs->Errors(),
                 QStringList{"ファイル " + dir.FilePath("block.jad") + " は開けません."});
        QCOMPARE(form.EditTitle->text(), QString());
        QCOMPARE(form.EditAuthor->text(), QString());
        QVERIFY(!form.CheckCopy->isChecked());
        QCOMPARE(form.ComboOptions->count(), 0);
        QCOMPARE(form.OptionRecords().Count(), 0);
        QCOMPARE(form.EditValue->text(), QString());
    }

    void shortRecordsFailWhenShown_data() {
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<int>("option");
        QTest::addColumn<QStringList>("errors");
        QTest::addColumn<QString>("editors");
        QTest::addColumn<Records>("records");
        QTest::newRow("no type") << Lines{Sjis("Pelko-A: 名前")} << 0
                                 << QStringList{kIndexError.arg(2)} << "" << Records{{"A", "名前"}};
        QTest::newRow("text without value")
            << Lines{Sjis("Pelko-A: 名前,TEXT")} << 0 << QStringList{kIndexError.arg(3)} << ""
            << Records{{"A", "名前", "TEXT"}};
        QTest::newRow("yes/no without value")
            << Lines{Sjis("Pelko-A: 名前,BOOL")} << 0 << QStringList{kIndexError.arg(3)} << ""
            << Records{{"A", "名前", "BOOL"}};
        QTest::newRow("file editor without value: drops already on")
            << Lines{Sjis("Pelko-File2: 画像,a.png")} << 0 << QStringList{kIndexError.arg(3)}
            << "drops" << Records{{"File2", "画像", "a.png"}};
        QTest::newRow("integer without value, field empty: shown empty")
            << Lines{Sjis("Pelko-A: 名前,INT")} << 0 << QStringList{} << "EditValue ButtonBrowse"
            << Records{{"A", "名前", "INT"}};
        QTest::newRow("colour without value after a text: emptying fails")
            << Lines{Sjis("Pelko-T: 文,TEXT,abc"), Sjis("Pelko-A: 名前,COLOR")} << 1
            << QStringList{kIndexError.arg(3)} << ""
            << Records{{"T", "文", "TEXT", "abc"}, {"A", "名前", "COLOR"}};
    }

    void shortRecordsFailWhenShown() {
        QFETCH(Lines, lines);
        QFETCH(int, option);
        QFETCH(QStringList, errors);
        QFETCH(QString, editors);
        QFETCH(Records, records);
        ProgramDir dir;
        dir.WriteJad("short.jad", lines);
        Window window = OpenWindow(dir);
        TForm1& form = *window.form;
        ChooseTemplate(form, "short.jad");
        if (option != 0) Choose(form.ComboOptions, option);

        QCOMPARE(window.dialogs->Errors(), errors);
        QCOMPARE(EditorState(form), editors);
        QCOMPARE(form.ComboOptions->currentIndex(), option);
        QCOMPARE(AllRecords(form), records);
        // A drop that the window still takes only releases itself.
        if (form.acceptDrops()) {
            QVERIFY(DropFiles(&form, {100, 100}, {"/tmp/x.png"}));
            QCOMPARE(form.EditValue->text(), QString());
            QCOMPARE(AllRecords(form), records);
            QCOMPARE(window.dialogs->Errors(), errors);
        }
    }

    // Records are freed once each, by the next load and by the window's end;
    // the sanitizer build turns a leak or a double free into a failure.
    void manyLoadsAndCloseFreeEveryRecordOnce() {
        ProgramDir dir;
        dir.WriteJad("block.jad", BlockDescriptor());
        dir.WriteJad("bad.jad", {Sjis("Pelko-Speed: 速度,INT,3"), "Pelko-Level:3"});
        Window window = OpenWindow(dir);
        TForm1& form = *window.form;
        for (int round = 0; round < 20; ++round) {
            ChooseTemplate(form, "block.jad");
            Choose(form.ComboOptions, round % 5);
            TypeOver(form.EditValue, QString::number(round));
            ChooseTemplate(form, "bad.jad");
        }
        ChooseTemplate(form, "block.jad");
        QCOMPARE(form.OptionRecords().Count(), 5);
        QCOMPARE(window.dialogs->Errors().size(), 20);
        form.close();
        window.form.reset();
    }
};

PELKO_REGISTER_TEST(LoadingTests);
#include "tst_Loading.moc"
