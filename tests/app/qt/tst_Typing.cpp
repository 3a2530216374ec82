// What the edits let the user type and paste, and where the caret stays.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include "QtTestSupport.h"
#include "ScriptedView.h"

using namespace pelko::test;

namespace {

// The window with one template of these lines chosen.
Window WithTemplate(const ProgramDir& dir, const std::vector<std::string>& lines) {
    dir.WriteJad("t.jad", lines);
    Window window = OpenWindow(dir);
    ChooseTemplate(*window.form, "t.jad");
    return window;
}

}  // namespace

class TypingTests : public QObject {
    Q_OBJECT

private slots:
    void typingInsideANumberKeepsTheCaret() {
        ProgramDir dir;
        Window window = WithTemplate(dir, {Sjis("Pelko-Speed: 速度,INT,15")});
        QLineEdit* edit = window.form->EditValue;
        edit->setFocus();
        edit->setCursorPosition(1);
        QTest::keyClicks(edit, QStringLiteral("23"));
        QCOMPARE(edit->text(), QStringLiteral("1235"));
        QCOMPARE(RecordTexts(*window.form, 0).value(3), QStringLiteral("1235"));
        QCOMPARE(edit->cursorPosition(), 3);
    }

    // Typed key by key, an integer field is canonical at every keystroke.
    void typingKeepsIntegersCanonical() {
        ProgramDir dir;
        Window window = WithTemplate(dir, BlockDescriptor());
        TypeOver(window.form->EditValue, "+007x");
        QCOMPARE(window.form->EditValue->text(), QString());
        TypeText(window.form->EditValue, "-5");
        QCOMPARE(window.form->EditValue->text(), QStringLiteral("-5"));
        QCOMPARE(RecordTexts(*window.form, 0).value(3), QStringLiteral("-5"));
    }

    void charactersWithoutCp932FormAreRefused() {
        ProgramDir dir;
        Window window = WithTemplate(dir, BlockDescriptor());
        MainWindow& form = *window.form;
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
        QCOMPARE(RecordTexts(form, 3).value(3), QStringLiteral("説明"));
        // A path comes from the file system and may hold any character.
        Choose(form.ComboOptions, 4);
        TypeOver(form.EditValue, "/한.png");
        QCOMPARE(ValueBytes(form, 4), QFile::encodeName("/한.png").toStdString());
    }

    // A pasted text with a line break would write descriptor lines of its
    // own: every edit refuses it whole, and the record keeps its value.
    void pastedLineBreaksAreRefusedEverywhere() {
        ProgramDir dir;
        Window window = WithTemplate(dir, BlockDescriptor());
        MainWindow& form = *window.form;
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
            const std::string stored = ValueBytes(form, option);
            for (const QString& text : pasted) {
                QApplication::clipboard()->setText(text);
                form.EditValue->setFocus();
                QTest::keyClick(form.EditValue, Qt::Key_V, Qt::ControlModifier);
                QCOMPARE(form.EditValue->text(), QStringLiteral("7"));
                QCOMPARE(ValueBytes(form, option), stored);
            }
        }
    }
};

PELKO_REGISTER_TEST(TypingTests);
#include "tst_Typing.moc"
