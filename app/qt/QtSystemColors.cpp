#include "app/qt/QtSystemColors.h"

#include <QGuiApplication>
#include <array>
#include <utility>

#include "options/OptionValues.h"

namespace {

struct RoleOf {
    int index;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Win32 system colour index -> the palette role that plays the same part.
constexpr std::array kRoles{
    RoleOf{1, QPalette::Active, QPalette::Window},            // desktop
    RoleOf{4, QPalette::Active, QPalette::Window},            // menu
    RoleOf{5, QPalette::Active, QPalette::Base},              // window (edit background)
    RoleOf{7, QPalette::Active, QPalette::WindowText},        // menu text
    RoleOf{8, QPalette::Active, QPalette::WindowText},        // window text
    RoleOf{13, QPalette::Active, QPalette::Highlight},        // highlight
    RoleOf{14, QPalette::Active, QPalette::HighlightedText},  // highlighted text
    RoleOf{15, QPalette::Active, QPalette::Button},           // button face
    RoleOf{16, QPalette::Active, QPalette::Dark},             // button shadow
    RoleOf{17, QPalette::Disabled, QPalette::Text},           // grey text
    RoleOf{18, QPalette::Active, QPalette::ButtonText},       // button text
    RoleOf{20, QPalette::Active, QPalette::Light},            // button highlight
    RoleOf{21, QPalette::Active, QPalette::Shadow},           // 3D dark shadow
    RoleOf{22, QPalette::Active, QPalette::Midlight},         // 3D light
    RoleOf{23, QPalette::Active, QPalette::ToolTipText},      // info text
    RoleOf{24, QPalette::Active, QPalette::ToolTipBase},      // info background
    RoleOf{26, QPalette::Active, QPalette::Link},             // hot-tracked item
};

std::uint32_t DialogOrder(const QColor& color) {
    return pelko::DialogOrderOf({color.red(), color.green(), color.blue()});
}

}  // namespace

QtSystemColors::QtSystemColors(std::function<QPalette()> palette) : palette_(std::move(palette)) {}

QPalette QtSystemColors::DefaultPalette() {
    return QGuiApplication::palette();
}

std::uint32_t QtSystemColors::SystemColor(int index) const {
    for (const RoleOf& entry : kRoles) {
        if (entry.index == index) return DialogOrder(palette_().color(entry.group, entry.role));
    }
    return 0;
}
