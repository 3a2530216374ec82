// Runs every registered window test class in one application.
#include <QApplication>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

#include "TestSupport.h"

namespace {

std::vector<std::function<std::unique_ptr<QObject>()>>& Factories() {
    static std::vector<std::function<std::unique_ptr<QObject>()>> factories;
    return factories;
}

}  // namespace

void RegisterTestClass(std::function<std::unique_ptr<QObject>()> make) {
    Factories().push_back(std::move(make));
}

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pelko"));
    int failed = 0;
    for (const auto& make : Factories()) {
        const std::unique_ptr<QObject> test = make();
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
