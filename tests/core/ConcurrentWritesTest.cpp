// Tests of settings writes from several processes at once: each read-change-replace cycle holds
// the writers' lock, so no process loses another's values.
#include "common/OwnFiles.h"
#include "settings/Hive.h"
#include "settings/SettingsStore.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace kalvor {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int WritesPerProcess = 1000;

class ConcurrentWritesTest : public test::TempUserTest {};

// Starts a child that waits for a byte on the pipe, then runs body; the child's exit status is 0
// when body returned true. A child that hangs is ended by SIGALRM after a minute.
template <class Body> pid_t StartWriter(int startPipe, Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(60);
        char go = 0;
        const bool started = ::read(startPipe, &go, 1) == 1;
        bool ok = false;
        try {
            ok = started && body();
        } catch (...) {
            ok = false;
        }
        ::_exit(ok ? 0 : 1);
    }
    return pid;
}

TEST_F(ConcurrentWritesTest, TwoProcessesWritingAThousandValuesEachLoseNone) {
    {
        SettingsStore store;
        store.OpenKey(SettingsKey, true);
    }
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::vector<pid_t> writers;
    for (const char* prefix : {"a", "b"}) {
        writers.push_back(StartWriter(start[0], [prefix] {
            SettingsStore store;
            store.OpenKey(SettingsKey, false);
            for (int i = 0; i < WritesPerProcess; ++i) {
                // Strings and integers in turn, each under a name of its own.
                if (i % 2 == 0) {
                    store.WriteString(prefix + std::to_string(i), std::to_string(i));
                } else {
                    store.WriteInteger(prefix + std::to_string(i), i);
                }
            }
            return true;
        }));
    }
    ASSERT_EQ(::write(start[1], "gg", 2), 2); // both go at once
    ::close(start[0]);
    ::close(start[1]);
    for (const pid_t writer : writers) {
        int status = -1;
        ASSERT_EQ(::waitpid(writer, &status, 0), writer);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    }

    const std::optional<Hive> hive = ParseHive(test::ReadFile(UserHivePath()));
    ASSERT_TRUE(hive.has_value());
    const HiveKey* key = hive->FindKey("software\\kelmorta");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->values.size(), 2u * WritesPerProcess);
    int lost = 0;
    for (const char* prefix : {"a", "b"}) {
        for (int i = 0; i < WritesPerProcess; ++i) {
            const HiveValue* value = key->FindValue(prefix + std::to_string(i));
            const HiveData expected =
                i % 2 == 0 ? HiveData(std::to_string(i)) : HiveData(std::int32_t{i});
            lost += value == nullptr || value->data != expected ? 1 : 0;
        }
    }
    EXPECT_EQ(lost, 0);
}

// A write waits while another process holds the lock, and goes on as soon as it is released.
TEST_F(ConcurrentWritesTest, WriteWaitsForTheLock) {
    SettingsStore store;
    store.OpenKey(SettingsKey, true);
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    const pid_t writer = StartWriter(start[0], [] {
        SettingsStore other;
        other.OpenKey(SettingsKey, false);
        other.WriteString("t", "5");
        return true;
    });
    // Taken after the fork: a child given a copy of the locked descriptor would hold it too.
    std::optional<FileLock> held(std::in_place, UserHivePath() + ".lock");
    ASSERT_TRUE(held->held());
    ASSERT_EQ(::write(start[1], "g", 1), 1);
    std::this_thread::sleep_for(300ms);
    int status = -1;
    EXPECT_EQ(::waitpid(writer, &status, WNOHANG), 0) << "the write did not wait";
    EXPECT_EQ(store.ReadString("t"), "");
    held.reset();
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(store.ReadString("t"), "5");
    ::close(start[0]);
    ::close(start[1]);
}

} // namespace
} // namespace kalvor
