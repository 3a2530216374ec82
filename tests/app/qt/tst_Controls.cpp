// The Qt controls under the view: what they report to it, and what their
// adapters keep for the form.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "QtTestSupport.h"
#include "app/qt/QtControls.h"

using namespace pelko::test;

class ControlTests : public QObject {
    Q_OBJECT

private slots:
    // The view relies on these: a change from code reports through the
    // change signals, but only a real change does, and never through the
    // signals of the user's own actions, which the view passes on; selecting
    // from code is no user's choice.
    void qtReportsChangesAsTheViewExpects() {
        QLineEdit edit;
        QSignalSpy textChanged(&edit, &QLineEdit::textChanged);
        QSignalSpy textEdited(&edit, &QLineEdit::textEdited);
        edit.setText(QStringLiteral("a"));
        edit.setText(QStringLiteral("a"));
        QCOMPARE(textChanged.count(), 1);
        QCOMPARE(textEdited.count(), 0);
        QTest::keyClicks(&edit, QStringLiteral("b"));
        QCOMPARE(textChanged.count(), 2);
        QCOMPARE(textEdited.count(), 1);

        QCheckBox check;
        QSignalSpy toggled(&check, &QCheckBox::toggled);
        QSignalSpy clicked(&check, &QCheckBox::clicked);
        check.setChecked(true);
        check.setChecked(true);
        QCOMPARE(toggled.count(), 1);
        QCOMPARE(clicked.count(), 0);
        check.show();
        QTest::mouseClick(&check, Qt::LeftButton, {}, {6, 6});
        QCOMPARE(clicked.count(), 1);
        QVERIFY(!check.isChecked());

        QComboBox combo;
        QSignalSpy activated(&combo, &QComboBox::activated);
        combo.addItems({QStringLiteral("x"), QStringLiteral("y")});
        combo.setCurrentIndex(1);
        combo.setCurrentIndex(-1);
        QCOMPARE(activated.count(), 0);
        Choose(&combo, 0);
        QCOMPARE(activated.count(), 1);
        Choose(&combo, 0);  // choosing the same entry again is a choice too
        QCOMPARE(activated.count(), 2);
    }

    // The form expects items added from code to leave the selection alone;
    // a bare combo box selects the first item it gets.
    void dropDownAddsWithoutSelecting() {
        QComboBox combo;
        QtDropDown list(&combo);
        list.Add("x");
        list.Add("y");
        QCOMPARE(list.ItemIndex(), -1);
        list.SetItemIndex(1);
        list.Add("z");
        QCOMPARE(list.ItemIndex(), 1);
        QCOMPARE(combo.itemText(2), QStringLiteral("z"));
        list.Clear();
        QCOMPARE(list.ItemIndex(), -1);
    }
};

PELKO_REGISTER_TEST(ControlTests);
#include "tst_Controls.moc"
