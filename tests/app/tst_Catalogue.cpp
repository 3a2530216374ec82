// The template selector: what the window lists when it opens.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMap>
#include <QTest>

#include "TestSupport.h"

using namespace pelko::test;

namespace {

// The descriptors in the order the file system lists them, read
// independently of the catalogue.
QStringList ListingOrder(const ProgramDir& dir) {
    return QDir(QFile::decodeName(QByteArray::fromStdString(dir.Path())))
        .entryList({QStringLiteral("*.jad")}, QDir::Files, QDir::Unsorted);
}

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
    void listsDisplayNamesInListingOrder() {
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
        for (const QString& file : ListingOrder(dir)) {
            QVERIFY2(names.contains(file), qPrintable(file));
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
        QVERIFY(QFile::link("/proc/self/mem", dir.FilePath("z.jad")));
        for (const char* name : {"a.jad", "b.jad", "c.jad", "d.jad"}) {
            dir.WriteJad(name, {std::string("Pelko-Name: ") + name});
        }
        Window window = OpenWindow(dir);

        const QStringList listing = ListingOrder(dir);
        QStringList before;
        for (const QString& file : listing.mid(0, listing.indexOf("z.jad"))) before << file;
        QCOMPARE(ItemTexts(window.form->ComboTemp), before);
        QCOMPARE(window.form->TemplatePaths().size(), std::size_t(before.size()));
        QCOMPARE(window.dialogs->Errors(),
                 QStringList{"ファイル " + PathIn(dir, "z.jad") + " は開けません."});
        // The window still opened, with nothing selected.
        QVERIFY(window.form->isVisible());
        QCOMPARE(window.form->ComboTemp->currentIndex(), -1);
        QCOMPARE(window.form->ComboValue->y(), 85);
    }
};

PELKO_REGISTER_TEST(CatalogueTests);
#include "tst_Catalogue.moc"
