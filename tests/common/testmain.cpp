#include "common/testmain.h"

#include "render/fonts.h"

#include <QApplication>
#include <QTest>
#include <vector>

namespace testmain {
namespace {
std::vector<std::function<std::unique_ptr<QObject>()>> &registry() {
    static std::vector<std::function<std::unique_ptr<QObject>()>> tests;
    return tests;
}
} // namespace

int registerTest(std::function<std::unique_ptr<QObject>()> make) {
    registry().push_back(std::move(make));
    return static_cast<int>(registry().size());
}
} // namespace testmain

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    fonts::installFontMap();
    int failures = 0;
    for (const auto &make : testmain::registry()) {
        std::unique_ptr<QObject> test = make();
        failures += QTest::qExec(test.get(), argc, argv) != 0;
    }
    return failures == 0 ? 0 : 1;
}
