// One read and one write of a setting through the store, over a hive with the initial values.
#include "BenchFolder.h"

#include "settings/SettingsStore.h"
#include "setup/FirstStart.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kalvor;

// Every read opens and parses the hive file as it is now.
void BM_SettingsRead(benchmark::State& state) {
    const bench::BenchFolder folder;
    CreateInitialSettings();
    SettingsStore store;
    store.OpenKey(SettingsKey, false);
    for (auto _ : state) {
        if (store.ReadInteger("Shag") != 50) {
            state.SkipWithError("the step read is not the initial 50");
            break;
        }
    }
}
BENCHMARK(BM_SettingsRead)->Unit(benchmark::kMicrosecond);

// Every write reads the hive, changes one value and replaces the file through a synced
// temporary file.
void BM_SettingsWrite(benchmark::State& state) {
    const bench::BenchFolder folder;
    CreateInitialSettings();
    SettingsStore store;
    store.OpenKey(SettingsKey, true);
    bool warm = false;
    for (auto _ : state) {
        store.WriteString("t", warm ? "20" : "-5");
        warm = !warm;
    }
}
BENCHMARK(BM_SettingsWrite)->Unit(benchmark::kMicrosecond);

} // namespace
