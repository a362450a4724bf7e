#pragma once

#include <QObject>
#include <functional>
#include <memory>

// Several test classes in one executable: each registers itself and the main
// runs them all, failing when any fails.
namespace testmain {
int registerTest(std::function<std::unique_ptr<QObject>()> make);
}

#define TELBORA_TEST(Class)                                                                                            \
    static const int Class##Registered = testmain::registerTest([] { return std::make_unique<Class>(); });
