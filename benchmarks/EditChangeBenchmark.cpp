// The recalculation on the live main window, offscreen: one run of editChange, and one change of
// the flow box as typing makes it (editChange writing the l/s box as well).
#include "BenchFolder.h"
#include "TimeEachRun.h"

#include "mainwindow/Startup.h"
#include "setup/FirstStart.h"
#include "widgets/Messages.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <vector>

#ifndef KALVOR_DATA_DIR
#error "KALVOR_DATA_DIR must name the folder of the standard catalogues"
#endif

namespace {

using namespace kalvor;

// The three windows as the program creates them, for a user with the initial settings and the
// standard catalogues, the example of the README typed in: 500*300, 500*250 and 400 mm, 10 m,
// local resistances 1.
class LiveWindow {
public:
    LiveWindow() {
        CopyStandardCatalogues(KALVOR_DATA_DIR, m_folder.path());
        CreateInitialSettings();
        SetMessageHook([this](const ShownMessage& message) { m_messages.push_back(message); });
        m_forms = CreateForms();
        control<QComboBox>("DuctCb")->setEditText(QStringLiteral("500*300"));
        control<QComboBox>("OvalDuctCb")->setEditText(QStringLiteral("500*250"));
        control<QComboBox>("DEdit")->setEditText(QStringLiteral("400"));
        control<QLineEdit>("LLe")->setText(QStringLiteral("10"));
        control<QLineEdit>("KMSLe")->setText(QStringLiteral("1"));
        control<QLineEdit>("Qedit")->setText(QStringLiteral("3600"));
    }
    ~LiveWindow() {
        m_forms = {};
        SetMessageHook(nullptr);
    }

    TmainForm& window() { return *m_forms.mainForm; }
    // A control of the main window by its name.
    template <class Control> Control* control(const char* name) {
        return m_forms.mainForm->findChild<Control*>(QString::fromLatin1(name));
    }

    // Why the last runs do not count: a message shown, or a velocity label without a value.
    const char* fault() {
        if (!m_messages.empty()) {
            return "the window showed a message";
        }
        for (const char* name : {"DuctVLabel", "OvalDuctVLabel", "DVLabel"}) {
            const QLabel* label = control<QLabel>(name);
            if (!label->text().endsWith(QStringLiteral("[m/s]"))) {
                return "a velocity label shows no value";
            }
        }
        return nullptr;
    }

private:
    bench::BenchFolder m_folder;
    Forms m_forms;
    std::vector<ShownMessage> m_messages;
};

// The main window's creation handler over three 100,000-row catalogues: what the start-up and
// every close of the catalogue editor do. The side order is read once per list.
void BM_FormCreateLargeCatalogues(benchmark::State& state) {
    LiveWindow live;
    bench::WriteLargeCatalogues(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        if (!live.window().FormCreate()) {
            state.SkipWithError("the creation handler stopped");
            break;
        }
    }
}
BENCHMARK(BM_FormCreateLargeCatalogues)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_editChange(benchmark::State& state) {
    LiveWindow live;
    bench::TimeEachRun(
        state, [&] { live.window().editChange(); }, [&] { return live.fault(); });
}
BENCHMARK(BM_editChange)->Unit(benchmark::kMicrosecond);

// The flow box changed by the program, as each typed key changes it; with the flow box focused,
// editChange writes the l/s box as well.
void BM_FlowBoxChange(benchmark::State& state) {
    LiveWindow live;
    live.window().activateWindow();
    if (!QTest::qWaitForWindowActive(&live.window())) {
        state.SkipWithError("the main window does not become active");
        return;
    }
    live.control<QLineEdit>("Qedit")->setFocus();
    QApplication::processEvents();
    if (!live.control<QLineEdit>("Qedit")->hasFocus()) {
        state.SkipWithError("the flow box does not take the focus");
        return;
    }
    bool more = false;
    bench::TimeEachRun(
        state,
        [&] {
            live.control<QLineEdit>("Qedit")->setText(more ? QStringLiteral("3610")
                                                           : QStringLiteral("3600"));
            more = !more;
        },
        [&] { return live.fault(); });
}
BENCHMARK(BM_FlowBoxChange)->Unit(benchmark::kMicrosecond);

} // namespace
