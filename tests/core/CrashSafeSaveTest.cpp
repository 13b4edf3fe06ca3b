// Saves of a catalogue and of the settings hive, killed at random moments in a child process, leave
// the complete old file or the complete new one: never a mix, never an empty file.
#include "TestFiles.h"
#include "catalogues/CatalogueFile.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace kalvor {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int Kills = 200;

std::string FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> NamesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// One kind of save under test: save(i) writes version i (0 or 1) of the file.
struct SaveUnderTest {
    fs::path file;
    std::function<void(int)> save;
    // Whether a name in the file's folder is one of the save's own temporary files.
    std::function<bool(const std::string&)> isTemporary;
    // A file the saves keep beside it for good (the writers' lock), if any.
    std::string companion = {};
};

struct KillCounts {
    int kills = 0;     // children killed
    int oldFound = 0;  // the kill came before the child completed a save
    int newFound = 0;  // after it
    int midSave = 0;   // a temporary file of the killed save was left: it died inside a save
    int leftovers = 0; // temporary files in the folder after one more save
};

// Starts a child that saves the two versions in turn, the other one first, until it is killed;
// kills it after a random delay and checks the file. Repeats Kills times.
KillCounts KillSavesAtRandom(const SaveUnderTest& test) {
    KillCounts counts;
    const fs::path folder = test.file.parent_path();

    // The two versions as the save writes them; the file holds version 1 when the loop starts.
    test.save(0);
    const std::string version0 = FileBytes(test.file);
    test.save(1);
    const std::array<std::string, 2> versions{version0, FileBytes(test.file)};
    EXPECT_FALSE(versions[0].empty());
    EXPECT_NE(versions[0], versions[1]);

    // One save's duration sets the range of the delays, so that kills fall before, inside and
    // after the first save of a child, and inside later ones.
    const auto started = Clock::now();
    test.save(0);
    test.save(1);
    const auto saveTime = (Clock::now() - started) / 2;
    const auto longest = std::chrono::duration_cast<std::chrono::microseconds>(saveTime * 2) +
                         std::chrono::microseconds(500);

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> delay(0, longest.count());

    int current = 1;
    for (int kill = 0; kill < Kills; ++kill) {
        const std::set<std::string> before = NamesIn(folder);
        const pid_t child = ::fork();
        if (child == 0) {
            try {
                for (int version = 1 - current;; version = 1 - version) {
                    test.save(version);
                }
            } catch (...) {
                ::_exit(3);
            }
        }
        EXPECT_GT(child, 0);
        if (child <= 0) {
            return counts;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the saving child ended by itself, status " << status;

        const std::string found = FileBytes(test.file);
        if (found == versions[current]) {
            ++counts.oldFound;
        } else if (found == versions[1 - current]) {
            ++counts.newFound;
            current = 1 - current;
        } else {
            ADD_FAILURE() << "kill " << kill << " after a delay in 0.." << longest.count()
                          << " us left " << found.size() << " bytes, neither version ("
                          << versions[0].size() << " or " << versions[1].size() << " bytes)";
            return counts;
        }

        bool leftBehind = false;
        for (const std::string& name : NamesIn(folder)) {
            if (name == test.file.filename().string() || name == test.companion) {
                continue;
            }
            EXPECT_TRUE(test.isTemporary(name)) << "unexpected file " << name;
            leftBehind = leftBehind || !before.contains(name);
        }
        counts.midSave += leftBehind ? 1 : 0;
        ++counts.kills;
    }
    // The next save sweeps away what the killed savers left behind.
    test.save(current);
    std::set<std::string> left = NamesIn(folder);
    left.erase(test.file.filename().string());
    left.erase(test.companion);
    counts.leftovers = static_cast<int>(left.size());
    return counts;
}

void Report(const char* what, const KillCounts& counts) {
    std::cout << "[   NOTE   ] " << what << ": " << counts.kills << " kills, old file "
              << counts.oldFound << ", new file " << counts.newFound << ", inside a save "
              << counts.midSave << ", temporary files left " << counts.leftovers << "\n";
    ::testing::Test::RecordProperty("leftovers", counts.leftovers);
}

// A working folder and a settings folder of the test's own.
class CrashSafeSaveTest : public test::TempUserTest {};

// Two rectangular catalogues of 5,000 rows (240 kB each) that differ in every row.
SizeCatalogue LargeCatalogue(int version) {
    SizeCatalogue catalogue;
    for (int row = 0; row < 5000; ++row) {
        catalogue.A.push_back(0.1 + 0.001 * row);
        catalogue.B.push_back(0.05 + 0.001 * (row + version + 1));
    }
    return catalogue;
}

TEST_F(CrashSafeSaveTest, KilledCatalogueSaveLeavesOldOrNewFile) {
    const std::array<SizeCatalogue, 2> catalogues{LargeCatalogue(0), LargeCatalogue(1)};
    const SaveUnderTest test{
        fs::current_path() / "Duct.txt",
        [&](int version) { WriteSizeCatalogue(DuctShape::Rectangular, catalogues[version]); },
        [](const std::string& name) {
            return name.starts_with(".Duct.txt.") && name.ends_with(".tmp");
        }};
    const KillCounts counts = KillSavesAtRandom(test);
    Report("catalogue", counts);
    EXPECT_EQ(counts.kills, Kills);
    EXPECT_GT(counts.oldFound, 0);
    EXPECT_GT(counts.newFound, 0);
    EXPECT_GT(counts.midSave, 0);
    EXPECT_EQ(counts.leftovers, 0);
    // Untouched by the kills, the file still reads as the entries last saved.
    EXPECT_EQ(ReadSizeCatalogue(DuctShape::Rectangular).A.size(), 5000U);
}

TEST_F(CrashSafeSaveTest, KilledHiveSaveLeavesOldOrNewFile) {
    SettingsStore store;
    store.OpenKey(SettingsKey, true);
    store.WriteInteger("Shag", 50);
    // Two long texts of 200 kB that differ in every byte, beside the other values.
    const std::array<std::string, 2> texts{std::string(200'000, 'a'), std::string(200'000, 'b')};
    const SaveUnderTest test{store.HivePath(),
                             [&](int version) { store.WriteString("t", texts[version]); },
                             [](const std::string& name) {
                                 return name.starts_with(".user.reg.") && name.ends_with(".tmp");
                             },
                             "user.reg.lock"};
    const KillCounts counts = KillSavesAtRandom(test);
    Report("hive", counts);
    EXPECT_EQ(counts.kills, Kills);
    EXPECT_GT(counts.oldFound, 0);
    EXPECT_GT(counts.newFound, 0);
    EXPECT_GT(counts.midSave, 0);
    EXPECT_EQ(counts.leftovers, 0);
    // The other value survived every kill.
    EXPECT_EQ(store.ReadInteger("Shag"), 50);
}

// A save removes only the temporaries of its own file whose process has ended.
TEST_F(CrashSafeSaveTest, SaveSweepsOnlyTemporariesOfEndedProcesses) {
    const pid_t ended = ::fork();
    if (ended == 0) {
        ::_exit(0);
    }
    ::waitpid(ended, nullptr, 0);
    const std::string dead = ".Duct.txt." + std::to_string(ended) + "-1.tmp";
    const std::string living = ".Duct.txt." + std::to_string(::getppid()) + "-1.tmp";
    const std::set<std::string> kept{living, ".Duct.txt.x-1.tmp",
                                     ".RoundDuct.txt." + std::to_string(ended) + "-1.tmp",
                                     "Duct.txt"};
    for (const std::string& name : {dead, living, std::string(".Duct.txt.x-1.tmp"),
                                    ".RoundDuct.txt." + std::to_string(ended) + "-1.tmp"}) {
        std::ofstream(name) << "partial";
    }
    WriteSizeCatalogue(DuctShape::Rectangular, {{0.5}, {0.3}});
    EXPECT_EQ(NamesIn(fs::current_path()), kept);
}

} // namespace
} // namespace kalvor
