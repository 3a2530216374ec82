// Process entry: the program's own command line, then the application
// object, the main window and its event loop.
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <exception>
#include <memory>

#include "app/StartArguments.h"
#include "app/qt/Application.h"
#include "app/qt/MainWindow.h"
#include "app/qt/QtDialogs.h"
#include "system/LocalTimeZone.h"
#include "text/Errors.h"
#include "text/Paths.h"

namespace {

void ShowFatal(const char* message) {
    QtDialogs().ShowError(pelko::ErrorBoxText(message));
}

std::vector<std::string> Words(const QStringList& arguments) {
    std::vector<std::string> words;
    for (qsizetype i = 1; i < arguments.size(); ++i) words.push_back(arguments[i].toStdString());
    return words;
}

// Absolute, so that a template named twice, or also in the catalogue, is
// listed once.
std::vector<std::string> HostPaths(const std::vector<std::string>& files) {
    std::vector<std::string> paths;
    for (const std::string& file : files) {
        const QString path = QFileInfo(QString::fromStdString(file)).absoluteFilePath();
        paths.push_back(QFile::encodeName(path).toStdString());
    }
    return paths;
}

// 0 only when the whole text reached stdout.
int Print(const std::string& text) {
    return std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0 ? 1 : 0;
}

// Help and version need no display. A word the toolkit takes for itself
// ("-platform offscreen") is only known to be wrong once it has had its say.
int Answer(const StartRequest& request) {
    if (request.kind == StartRequest::Kind::Help) return Print(StartHelpText());
    if (request.kind == StartRequest::Kind::Version) return Print(StartVersionText());
    std::fprintf(stderr, "%s\nTry 'pelko --help' for more information.\n", request.message.c_str());
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    const StartRequest early = ReadStartArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (early.kind == StartRequest::Kind::Help || early.kind == StartRequest::Kind::Version) {
        return Answer(early);
    }
    pelko::PinLocalTimeZone();  // before Qt starts any thread
    QApplication application(argc, argv);
    const StartRequest request = ReadStartArguments(Words(QApplication::arguments()));
    if (request.kind == StartRequest::Kind::Wrong) return Answer(request);
    SetUpApplication(pelko::ProgramDirectory());
    // An error that escapes the window's creation or the event loop is shown
    // like any other; the process then ends as after a normal close.
    try {
        MainWindow form1(pelko::ProgramDirectory(), std::make_unique<QtDialogs>());
        form1.show();
        form1.Form().OpenTemplates(HostPaths(request.files));
        QApplication::exec();
    } catch (const std::exception& error) {
        ShowFatal(error.what());
    } catch (...) {
        ShowFatal("");
    }
    return 0;
}
