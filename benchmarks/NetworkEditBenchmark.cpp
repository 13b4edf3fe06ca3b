// Edits on the live network window, offscreen, each measured until the event loop is idle (the
// network computed, the table, totals and panels laid out and painted): a cell of a network of
// 1,000 sections as its editor hands it on, and one key in the "t" box at 1,000 and 10,000.
#include "BenchFolder.h"
#include "EventLoop.h"
#include "TimeEachRun.h"

#include "common/NumberText.h"
#include "mainwindow/Startup.h"
#include "network/NetworkSheet.h"
#include "setup/FirstStart.h"
#include "widgets/Messages.h"

#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <vector>

#ifndef KALVOR_DATA_DIR
#error "KALVOR_DATA_DIR must name the folder of the standard catalogues"
#endif

namespace {

using namespace kalvor;

constexpr int EditedRow = 500;

// A tree of count sections, each hanging from the one a quarter of its number before it: the
// three shapes in turn, every tenth size from the standard catalogues, air at the terminals.
Network LargeNetwork(int count) {
    Network network;
    network.name = "Бенчмарк";
    const char* sizes[] = {"800*500", "600*300", "200"};
    for (int i = 1; i <= count; ++i) {
        NetworkSection section;
        section.id = FormatNumber(i, '.');
        section.parent = i == 1 ? std::string() : FormatNumber((i + 2) / 4, '.');
        section.shape = static_cast<DuctShape>(i % 3);
        section.size = i % 10 == 0 ? std::string(AutoSize) : sizes[i % 3];
        section.length = 1.0 + i % 7;
        section.kms = 0.1 * (i % 13);
        section.flow = 4 * i - 2 > count ? 100.0 + i % 50 : 0.0;
        network.sections.push_back(section);
    }
    return network;
}

class LiveNetwork {
public:
    explicit LiveNetwork(int count)
        : m_count(count) {
        CopyStandardCatalogues(KALVOR_DATA_DIR, m_folder.path());
        CreateInitialSettings();
        SetMessageHook([this](const ShownMessage& message) { m_messages.push_back(message); });
        m_forms = CreateForms();
        Network network = LargeNetwork(count);
        network.air.t = 2; // the "t" box shows "2"; a key makes it "20" and back
        form().edit(network, "network");
        form().resize(1240, 700);
        form().show();
        m_exposed = QTest::qWaitForWindowExposed(&form());
        view()->scrollTo(view()->model()->index(EditedRow, LengthColumn));
        m_idle = bench::ProcessUntilIdle();
    }
    ~LiveNetwork() {
        m_forms = {};
        SetMessageHook(nullptr);
    }

    TNetworkForm& form() { return *m_forms.NetworkForm; }
    QAbstractItemView* view() { return form().findChild<QAbstractItemView*>("SectionsTv"); }
    QLineEdit* temperature() { return form().findChild<QLineEdit*>("tLe"); }
    // Runs the event loop until idle, noting when it would not come to rest.
    void settle() { m_idle = bench::ProcessUntilIdle() && m_idle; }

    // Why the runs do not count: a message shown, a window not shown, an event loop that never
    // came to rest, a network not computed or not of its rows.
    const char* fault() {
        if (!m_messages.empty()) {
            return "the window showed a message";
        }
        if (!m_exposed) {
            return "the window was not shown";
        }
        if (!m_idle) {
            return "the event loop did not come to rest";
        }
        if (form().results() == nullptr) {
            return "the network was not computed";
        }
        return view()->model()->rowCount() == m_count ? nullptr : "the table lost rows";
    }

private:
    int m_count;
    bench::BenchFolder m_folder;
    Forms m_forms;
    std::vector<ShownMessage> m_messages;
    bool m_exposed = false;
    bool m_idle = true;
};

void BM_NetworkCellEdit(benchmark::State& state) {
    LiveNetwork live(1000);
    bool longer = false;
    bench::TimeEachRun(
        state,
        [&] {
            live.form().commitCell(EditedRow, LengthColumn,
                                   longer ? QStringLiteral("13") : QStringLiteral("12"));
            longer = !longer;
            live.settle();
        },
        [&] { return live.fault(); });
}
BENCHMARK(BM_NetworkCellEdit)->Unit(benchmark::kMillisecond);

// A key typed into the "t" box as the user types it: "0" after "2", then Backspace, in turn.
void BM_NetworkKeyInT(benchmark::State& state) {
    LiveNetwork live(static_cast<int>(state.range(0)));
    QLineEdit* box = live.temperature();
    box->setFocus();
    box->end(false);
    bool typed = false;
    bench::TimeEachRun(
        state,
        [&] {
            QTest::keyClick(box, typed ? Qt::Key_Backspace : Qt::Key_0);
            typed = !typed;
            live.settle();
        },
        [&]() -> const char* {
            const double t = live.form().network().air.t;
            if (t != (typed ? 20.0 : 2.0)) {
                return "the key did not reach the network's temperature";
            }
            return live.fault();
        });
}
BENCHMARK(BM_NetworkKeyInT)->Arg(1000)->Arg(10'000)->Unit(benchmark::kMillisecond);

} // namespace
