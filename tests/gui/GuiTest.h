// Registration of the window test classes that the one gui_tests executable runs.
#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace kalvor::test {

using TestFactory = std::function<std::unique_ptr<QObject>()>;
std::vector<TestFactory>& Registry();

struct Registrar {
    explicit Registrar(TestFactory factory) { Registry().push_back(std::move(factory)); }
};

} // namespace kalvor::test

// Registers a QObject test class; put it in the class's .cpp after the class.
#define KALVOR_GUI_TEST(Class)                                                                     \
    static const kalvor::test::Registrar Class##Registrar(                                         \
        [] { return std::unique_ptr<QObject>(new Class); })
