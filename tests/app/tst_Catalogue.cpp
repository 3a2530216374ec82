// The template selector: what the window lists when it opens.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <QtGlobal>

#include "TestSupport.h"

using namespace pelko::test;

namespace {

// Sets XDG_DATA_HOME for one test, so the user's own templates are the
// test's and never those of whoever runs it.
class UserDataHome {
public:
    explicit UserDataHome(const QByteArray& path)
        : old_(qgetenv("XDG_DATA_HOME")), had_(qEnvironmentVariableIsSet("XDG_DATA_HOME")) {
        qputenv("XDG_DATA_HOME", path);
    }
    ~UserDataHome() {
        if (had_) {
            qputenv("XDG_DATA_HOME", old_);
        } else {
            qunsetenv("XDG_DATA_HOME");
        }
    }
    UserDataHome(const UserDataHome&) = delete;
    UserDataHome& operator=(const UserDataHome&) = delete;

private:
    QByteArray old_;
    bool had_;
};

QString PathIn(const ProgramDir& dir, const QString& name) {
    return QFile::decodeName(QByteArray::fromStdString(dir.Path())) + name;
}

QStringList TemplatePathTexts(const TForm1& form) {
    QStringList paths;
    for (const std::string& path : form.TemplatePaths()) {
        paths << QFile::decodeName(QByteArray::fromStdString(path));
    }
    return paths;
}

}  // namespace

class CatalogueTests : public QObject {
    Q_OBJECT

private slots:
    void listsDisplayNamesInFileNameOrder() {
        ProgramDir dir;
        const QMap<QString, QString> names{
            {"block.jad", "落ち物ゲーム"}, {"plain.jad", "plain"},    {"blank.jad", "blank"},
            {"lower.jad", "lower"},        {"twice.jad", "一番目"}, {"same1.jad", "同じ名前"},
            {"same2.jad", "同じ名前"},
        };
        dir.WriteJad("block.jad", BlockDescriptor());
        dir.WriteJad("plain.jad", {"MIDlet-Name: Plain"});
        dir.WriteJad("blank.jad", {"Pelko-Name: "});
        dir.WriteJad("lower.jad", {"pelko-name: Game", "PELKO-NAME: Game"});
        dir.WriteJad("twice.jad", {"MIDlet-Version: 1.0", Sjis("Pelko-Name: 一番目"),
                                   Sjis("Pelko-Name: 二番目")});
        dir.WriteJad("same1.jad", {Sjis("Pelko-Name: 同じ名前"), "MIDlet-Name: First"});
        dir.WriteJad("same2.jad", {Sjis("Pelko-Name: 同じ名前"), "MIDlet-Name: Second"});
        // Not templates: hidden, a directory, another extension.
        dir.WriteJad(".hidden.jad", {"Pelko-Name: Hidden"});
        QVERIFY(QDir(dir.FilePath({})).mkdir("folder.jad"));
        dir.WriteJad("notes.txt", {"Pelko-Name: Notes"});

        Window window = OpenWindow(dir);
        QStringList expectedNames;
        QStringList expectedPaths;
        for (const char* file : {"blank.jad", "block.jad", "lower.jad", "plain.jad", "same1.jad",
                                 "same2.jad", "twice.jad"}) {
            expectedNames << names.value(file);
            expectedPaths << PathIn(dir, file);
        }
        QCOMPARE(expectedNames.size(), names.size());
        QCOMPARE(ItemTexts(window.form->ComboTemp), expectedNames);
        QCOMPARE(TemplatePathTexts(*window.form), expectedPaths);
        QCOMPARE(window.form->ComboTemp->currentIndex(), -1);
        QCOMPARE(window.form->ComboOptions->count(), 0);
        QCOMPARE(window.dialogs->calls.size(), std::size_t{0});
    }

    void listsProgramTemplatesThenTheUsersEachInFileNameOrder() {
        ProgramDir program;
        ProgramDir data;
        QVERIFY(QDir(data.FilePath({})).mkpath("pelko/templates"));
        program.WriteJad("puzzle.jad", {"Pelko-Name: Puzzle"});
        program.WriteJad("Block.jad", {"Pelko-Name: Block"});
        program.WriteJad("_first.jad", {"MIDlet-Name: First"});
        data.WriteJad("pelko/templates/mine.jad", {Sjis("Pelko-Name: 私の")});
        data.WriteJad("pelko/templates/Another.jad", {"Pelko-Name: Another"});
        data.WriteJad("pelko/templates/block.jad", {"Pelko-Name: Block"});
        data.WriteJad("pelko/templates/a.txt", {"Pelko-Name: Not a template"});
        // With a trailing "/" as a user may well write it.
        const UserDataHome home(QByteArray::fromStdString(data.Path()));

        Window window = OpenWindow(program);
        QCOMPARE(ItemTexts(window.form->ComboTemp),
                 (QStringList{"_first", "Block", "Puzzle", "Another", "Block", "私の"}));
        const QString user = PathIn(data, "pelko/templates/");
        QCOMPARE(TemplatePathTexts(*window.form),
                 (QStringList{PathIn(program, "_first.jad"), PathIn(program, "Block.jad"),
                              PathIn(program, "puzzle.jad"), user + "Another.jad", user + "block.jad",
                              user + "mine.jad"}));
        QCOMPARE(window.form->ComboTemp->currentIndex(), -1);
        QVERIFY(window.dialogs->calls.empty());
    }

    void userTemplateTakesItsFilesFromItsOwnFolder() {
        ProgramDir program;
        ProgramDir data;
        QVERIFY(QDir(data.FilePath({})).mkpath("pelko/templates"));
        for (const char* name : {"block.jad", "block.jar"}) {
            QVERIFY(QFile::copy(QStringLiteral(PELKO_SAMPLES_DIR "/") + name,
                                data.FilePath(QStringLiteral("pelko/templates/") + name)));
        }
        // The file option's default names back.png: only the user's folder has it.
        data.WriteFile("pelko/templates/back.png", "the user's picture");
        const UserDataHome home(QByteArray::fromStdString(data.Path()));
        QTemporaryDir out;

        Window window = OpenWindow(program);
        ChooseTemplate(*window.form, "block.jad");
        window.dialogs->fileAnswers = {out.filePath("game.kjx")};
        QTest::mouseClick(window.form->ButtonMake, Qt::LeftButton);
        const QStringList log = window.form->LogLines();
        QVERIFY2(!log.isEmpty() && log.last().startsWith("[O]"), qPrintable(log.join('\n')));
        for (const QString& line : log) QVERIFY2(!line.startsWith("[!]"), qPrintable(line));
        QVERIFY(QFile::exists(out.filePath("game.kjx")));
    }

    void sameNamesLoadTheirOwnDescriptors() {
        ProgramDir dir;
        dir.WriteJad("same1.jad", {Sjis("Pelko-Name: 同じ名前"), "MIDlet-Name: First"});
        dir.WriteJad("same2.jad", {Sjis("Pelko-Name: 同じ名前"), "MIDlet-Name: Second"});
        Window window = OpenWindow(dir);
        ChooseTemplate(*window.form, "same1.jad");
        QCOMPARE(window.form->EditTitle->text(), QStringLiteral("First"));
        ChooseTemplate(*window.form, "same2.jad");
        QCOMPARE(window.form->EditTitle->text(), QStringLiteral("Second"));
    }

    void emptyDirectoryListsNothing() {
        ProgramDir dir;
        Window window = OpenWindow(dir);
        QCOMPARE(window.form->ComboTemp->count(), 0);
        QCOMPARE(window.form->ComboOptions->count(), 0);
        QVERIFY(window.form->TemplatePaths().empty());
        QVERIFY(window.dialogs->calls.empty());
    }

    void unreadableDescriptorStopsTheList() {
        ProgramDir dir;
        // Listed as a file, yet every read of it fails, whoever runs the test.
        QVERIFY(QFile::link("/proc/self/mem", dir.FilePath("c0.jad")));
        for (const char* name : {"a.jad", "b.jad", "c.jad", "d.jad"}) {
            dir.WriteJad(name, {std::string("Pelko-Name: ") + name});
        }
        Window window = OpenWindow(dir);

        // c.jad comes before c0.jad: "." sorts before "0".
        const QStringList before{"a.jad", "b.jad", "c.jad"};
        QCOMPARE(ItemTexts(window.form->ComboTemp), before);
        QCOMPARE(window.form->TemplatePaths().size(), std::size_t(before.size()));
        QCOMPARE(window.dialogs->Errors(),
                 QStringList{"ファイル " + PathIn(dir, "c0.jad") + " は開けません."});
        // The window still opened, with nothing selected.
        QVERIFY(window.form->isVisible());
        QCOMPARE(window.form->ComboTemp->currentIndex(), -1);
        QCOMPARE(window.form->ComboValue->y(), 85);
    }
};

PELKO_REGISTER_TEST(CatalogueTests);
#include "tst_Catalogue.moc"
