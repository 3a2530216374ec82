// Process entry: the application object, the main window and its event loop.
#include <QApplication>
#include <exception>
#include <memory>

#include "app/qt/MainWindow.h"
#include "app/qt/QtDialogs.h"
#include "system/LocalTimeZone.h"
#include "text/Errors.h"
#include "text/Paths.h"

namespace {

void ShowFatal(const char* message) {
    QtDialogs().ShowError(pelko::ErrorBoxText(message));
}

}  // namespace

int main(int argc, char* argv[]) {
    pelko::PinLocalTimeZone();  // before Qt starts any thread
    QApplication application(argc, argv);
    // The name only: a display name would be appended to every dialog title
    // ("作成 — Pelko"), and the dialogs carry titles of their own.
    QApplication::setApplicationName(QStringLiteral("Pelko"));
    // An error that escapes the window's creation or the event loop is shown
    // like any other; the process then ends as after a normal close.
    try {
        MainWindow form1(pelko::ProgramDirectory(), std::make_unique<QtDialogs>());
        form1.show();
        QApplication::exec();
    } catch (const std::exception& error) {
        ShowFatal(error.what());
    } catch (...) {
        ShowFatal("");
    }
    return 0;
}
