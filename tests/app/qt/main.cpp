// Runs the window test class named by the first argument in one
// application, or every registered class when none is named; the other
// arguments go to Qt Test.
#include <QApplication>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "QtTestSupport.h"

namespace {

struct TestClass {
    const char* name;
    std::function<std::unique_ptr<QObject>()> make;
};

std::vector<TestClass>& Classes() {
    static std::vector<TestClass> classes;
    return classes;
}

}  // namespace

void RegisterTestClass(const char* name, std::function<std::unique_ptr<QObject>()> make) {
    Classes().push_back({name, std::move(make)});
}

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pelko"));
    const char* only = argc > 1 && argv[1][0] != '-' ? argv[1] : nullptr;
    std::vector<char*> qtestArguments{argv[0]};
    qtestArguments.insert(qtestArguments.end(), argv + (only ? 2 : 1), argv + argc);
    int failed = 0;
    int run = 0;
    for (const TestClass& test : Classes()) {
        if (only && std::strcmp(only, test.name) != 0) continue;
        ++run;
        const std::unique_ptr<QObject> object = test.make();
        failed += QTest::qExec(object.get(), static_cast<int>(qtestArguments.size()), qtestArguments.data());
    }
    if (run == 0) {
        std::fprintf(stderr, "no test class %s\n", only ? only : "registered");
        return 1;
    }
    return failed == 0 ? 0 : 1;
}
