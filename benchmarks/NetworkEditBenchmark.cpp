// One cell edited on the live network window, offscreen, in a network of 1,000 sections: the
// edit as the cell's editor hands it on, the network computed, the table and totals repainted.
#include "BenchFolder.h"
#include "TimeEachRun.h"

#include "common/NumberText.h"
#include "mainwindow/Startup.h"
#include "network/NetworkSheet.h"
#include "setup/FirstStart.h"
#include "widgets/Messages.h"

#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QLabel>
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
    LiveNetwork() {
        CopyStandardCatalogues(KALVOR_DATA_DIR, m_folder.path());
        CreateInitialSettings();
        SetMessageHook([this](const ShownMessage& message) { m_messages.push_back(message); });
        m_forms = CreateForms();
        form().edit(LargeNetwork(1000), "1000");
        form().resize(1240, 700);
        form().show();
        m_exposed = QTest::qWaitForWindowExposed(&form());
        view()->scrollTo(view()->model()->index(EditedRow, LengthColumn));
        QCoreApplication::processEvents();
    }
    ~LiveNetwork() {
        m_forms = {};
        SetMessageHook(nullptr);
    }

    TNetworkForm& form() { return *m_forms.NetworkForm; }
    QAbstractItemView* view() { return form().findChild<QAbstractItemView*>("SectionsTv"); }
    QLabel* totals() { return form().findChild<QLabel*>("TotalsLbl"); }

    // Why the runs do not count: a message shown, a window not shown, a network not computed or
    // not of 1,000 rows.
    const char* fault() {
        if (!m_messages.empty()) {
            return "the window showed a message";
        }
        if (!m_exposed) {
            return "the window was not shown";
        }
        if (form().results() == nullptr) {
            return "the network was not computed";
        }
        return view()->model()->rowCount() == 1000 ? nullptr : "the table lost rows";
    }

private:
    bench::BenchFolder m_folder;
    Forms m_forms;
    std::vector<ShownMessage> m_messages;
    bool m_exposed = false;
};

void BM_NetworkCellEdit(benchmark::State& state) {
    LiveNetwork live;
    bool longer = false;
    bench::TimeEachRun(
        state,
        [&] {
            live.form().commitCell(EditedRow, LengthColumn,
                                   longer ? QStringLiteral("13") : QStringLiteral("12"));
            longer = !longer;
            live.view()->viewport()->repaint();
            live.totals()->repaint();
        },
        [&] { return live.fault(); });
}
BENCHMARK(BM_NetworkCellEdit)->Unit(benchmark::kMillisecond);

} // namespace
