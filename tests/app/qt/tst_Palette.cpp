// The system colours a colour value may name, as the palette gives them.
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "QtTestSupport.h"
#include "ScriptedView.h"
#include "app/qt/QtSystemColors.h"

using namespace pelko::test;

namespace {

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

class PaletteTests : public QObject {
    Q_OBJECT

private slots:
    void systemColoursComeFromThePalette_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("role");
        const auto row = [](const char* name, int index, QPalette::ColorRole role,
                            QPalette::ColorGroup group = QPalette::Active) {
            QTest::newRow(name) << index << int(group) << int(role);
        };
        row("desktop", 1, QPalette::Window);
        row("menu", 4, QPalette::Window);
        row("window", 5, QPalette::Base);
        row("menu text", 7, QPalette::WindowText);
        row("window text", 8, QPalette::WindowText);
        row("highlight", 13, QPalette::Highlight);
        row("highlighted text", 14, QPalette::HighlightedText);
        row("button face", 15, QPalette::Button);
        row("button shadow", 16, QPalette::Dark);
        row("grey text", 17, QPalette::Text, QPalette::Disabled);
        row("button text", 18, QPalette::ButtonText);
        row("button highlight", 20, QPalette::Light);
        row("dark shadow", 21, QPalette::Shadow);
        row("light", 22, QPalette::Midlight);
        row("info text", 23, QPalette::ToolTipText);
        row("info background", 24, QPalette::ToolTipBase);
        row("hot light", 26, QPalette::Link);
    }

    void systemColoursComeFromThePalette() {
        QFETCH(int, index);
        QFETCH(int, group);
        QFETCH(int, role);
        // Every role its own colour, so a wrong role cannot pass.
        QPalette palette;
        int shade = 1;
        for (int g : {QPalette::Active, QPalette::Disabled, QPalette::Inactive}) {
            for (int r = 0; r < QPalette::NColorRoles; ++r, ++shade) {
                palette.setColor(QPalette::ColorGroup(g), QPalette::ColorRole(r),
                                 QColor(shade, 0x20 + r, 0x80 + g));
            }
        }
        const QColor expected = palette.color(QPalette::ColorGroup(group), QPalette::ColorRole(role));
        const QtSystemColors colours([palette] { return palette; });
        const std::uint32_t dialogOrder = static_cast<std::uint32_t>(expected.red()) |
                                          static_cast<std::uint32_t>(expected.green()) << 8 |
                                          static_cast<std::uint32_t>(expected.blue()) << 16;
        QCOMPARE(colours.SystemColor(index), dialogOrder);
    }

    void systemColoursWithoutARoleAreBlack() {
        const QtSystemColors colours([] { return QPalette(Qt::white); });
        for (int index : {0, 2, 3, 6, 9, 10, 11, 12, 19, 25, 27, 30, 255}) {
            QCOMPARE(colours.SystemColor(index), 0u);
        }
    }
    void systemColourIsResolvedThroughThePalette() {
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Base, QColor(0x12, 0x34, 0x56));
        const PaletteOverride override(palette);
        ProgramDir dir;
        dir.WriteJad("t.jad", BlockDescriptor());
        Window window = OpenWindow(dir);
        ChooseTemplate(*window.form, "t.jad");
        Choose(window.form->ComboOptions, 1);
        window.dialogs->colorAnswers = {static_cast<std::int32_t>(0x80000005u)};
        QTest::mouseClick(window.form->ButtonBrowse, Qt::LeftButton);
        QCOMPARE(RecordTexts(*window.form, 1).value(3), QString::number(0x123456));
    }
};

PELKO_REGISTER_TEST(PaletteTests);
#include "tst_Palette.moc"
