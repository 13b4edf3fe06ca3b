// Runs every registered window test class; fails when any of them fails.
#include "GuiTest.h"

#include <QApplication>
#include <QTest>

namespace kalvor::test {
std::vector<TestFactory>& Registry() {
    static std::vector<TestFactory> registry;
    return registry;
}
} // namespace kalvor::test

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // KALVOR_GUI_TEST=ClassName runs that class alone.
    const QByteArray only = qgetenv("KALVOR_GUI_TEST");
    int failures = 0;
    int run = 0;
    for (const auto& factory : kalvor::test::Registry()) {
        std::unique_ptr<QObject> test = factory();
        if (!only.isEmpty() && only != test->metaObject()->className()) {
            continue;
        }
        ++run;
        failures += QTest::qExec(test.get(), argc, argv);
    }
    if (run == 0) {
        qCritical("no window test class is named %s", only.constData());
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
