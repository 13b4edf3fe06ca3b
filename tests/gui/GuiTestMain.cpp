// Runs every registered window test class; fails when any of them fails.
#include "GuiTest.h"

#include <QApplication>
#include <QTest>

#include <clocale>
#include <cstring>

namespace kalvor::test {
std::vector<TestFactory>& Registry() {
    static std::vector<TestFactory> registry;
    return registry;
}
} // namespace kalvor::test

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The application took its locale from the environment, as on a user's desktop. A locale that
    // is not installed leaves the C library in "C" without a word, and a test meant for a decimal
    // comma would then pass under a point: refuse to run instead.
    const QByteArray wanted = qgetenv("KALVOR_GUI_LOCALE");
    if (!wanted.isEmpty()) {
        const char* taken = std::setlocale(LC_ALL, nullptr);
        const QByteArray separator = qgetenv("KALVOR_GUI_DECIMAL");
        if (taken == nullptr || wanted != taken ||
            (!separator.isEmpty() && separator != std::localeconv()->decimal_point)) {
            qCritical("the locale %s is not in force (the C library has %s, decimal point \"%s\"); "
                      "install it: scripts/install-deps",
                      wanted.constData(), taken != nullptr ? taken : "none",
                      std::localeconv()->decimal_point);
            return 1;
        }
    }
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
