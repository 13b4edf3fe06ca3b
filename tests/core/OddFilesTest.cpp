// Tests of the readers on files that are no catalogue and no hive: FIFOs, devices, sockets and
// oversized files fail at once, in a child with a time and memory limit, whatever the file holds.
#include "catalogues/CatalogueFile.h"
#include "settings/SettingsStore.h"

#include "ChildProcess.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <string>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace kalvor {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t MiB = 1024 * 1024;

// The limits every odd-file read runs under: a reader that waited or read without end would be
// stopped by them, and the test would see the child end without a report.
constexpr test::ChildLimits Limits{2, 48 * MiB};

// A sparse file of that many bytes: large on paper, costing nothing on disk.
bool MakeSparse(const fs::path& path, std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const bool made = fd >= 0 && ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return made;
}

// A listening Unix socket bound at path; -1 when that is impossible here.
int MakeSocket(const fs::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (fd < 0 || path.string().size() >= sizeof address.sun_path) {
        return -1;
    }
    path.string().copy(address.sun_path, sizeof address.sun_path - 1);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 1) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// One odd thing under a file name; make returns false where this user cannot make it.
struct OddFile {
    const char* what;
    std::function<bool(const fs::path&)> make;
};

const OddFile OddKinds[] = {
    {"FIFO without a writer", [](const fs::path& p) { return ::mkfifo(p.c_str(), 0600) == 0; }},
    {"link to /dev/zero",
     [](const fs::path& p) {
         fs::create_symlink("/dev/zero", p);
         return true;
     }},
    {"character device",
     [](const fs::path& p) { return ::mknod(p.c_str(), S_IFCHR | 0600, makedev(1, 5)) == 0; }},
    {"socket", [](const fs::path& p) { return MakeSocket(p) >= 0; }},
};

class OddFilesTest : public test::TempUserTest {
protected:
    void SetUp() override {
        TempUserTest::SetUp();
        fs::create_directories(HivePath().parent_path());
    }
    fs::path Hive() const { return HivePath(); }
};

std::string ReadCatalogueReport() {
    try {
        ReadSizeCatalogue(DuctShape::Rectangular);
        return "read";
    } catch (const InOutError& error) {
        return std::to_string(error.code) + " " + error.what();
    }
}

void ExpectQuickReport(const test::ChildOutcome& outcome, const std::string& report) {
    EXPECT_TRUE(outcome.finished) << "the reader was stopped by its limits";
    EXPECT_EQ(outcome.report, report);
    EXPECT_LT(outcome.seconds, 1.0);
}

TEST_F(OddFilesTest, CatalogueReaderRefusesWhatIsNoRegularFile) {
    for (const OddFile& odd : OddKinds) {
        SCOPED_TRACE(odd.what);
        fs::remove("Duct.txt");
        if (!odd.make("Duct.txt")) {
            std::cout << "[   SKIP   ] " << odd.what << ": cannot be made by this user\n";
            continue;
        }
        ExpectQuickReport(test::RunInChild(ReadCatalogueReport, Limits), "5 File access denied");
        // The editor's save does not replace it either.
        const auto kind = fs::symlink_status("Duct.txt").type();
        const test::ChildOutcome save = test::RunInChild(
            [] {
                try {
                    WriteSizeCatalogue(DuctShape::Rectangular, {{0.1}, {0.1}});
                    return std::string("saved");
                } catch (const InOutError& error) {
                    return std::to_string(error.code) + " " + error.what();
                }
            },
            Limits);
        ExpectQuickReport(save, "5 File access denied");
        EXPECT_EQ(fs::symlink_status("Duct.txt").type(), kind);
    }
}

TEST_F(OddFilesTest, CatalogueOver64MiBIsRefusedUnread) {
    const struct {
        std::size_t size;
        std::string report;
    } cases[] = {
        {64 * MiB + 1, "27 I/O error 27: файл больше 64 МиБ, это не каталог размеров"},
        {1024 * MiB, "27 I/O error 27: файл больше 64 МиБ, это не каталог размеров"},
        {0, "read"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        ASSERT_TRUE(MakeSparse("Duct.txt", c.size));
        ExpectQuickReport(test::RunInChild(ReadCatalogueReport, Limits), c.report);
    }
}

// The hive's reader under the same files: the store reports the file unusable and reads nothing.
TEST_F(OddFilesTest, HiveReaderReportsOddFilesUnusable) {
    const bool root = ::geteuid() == 0;
    for (const OddFile& odd : OddKinds) {
        SCOPED_TRACE(odd.what);
        fs::remove(Hive());
        if (!odd.make(Hive())) {
            std::cout << "[   SKIP   ] " << odd.what << ": cannot be made by this user\n";
            continue;
        }
        // A link to root's device is refused outright unless the test runs as root.
        const bool refusedLink = std::string(odd.what).starts_with("link") && !root;
        const HiveTrouble expected =
            refusedLink ? HiveTrouble::LinkRefused : HiveTrouble::NotRegular;
        const test::ChildOutcome outcome = test::RunInChild(
            [] {
                SettingsStore store;
                store.OpenKey(SettingsKey, true);
                return std::to_string(static_cast<int>(store.Trouble())) + " " +
                       (store.KeyExists(SettingsKey) ? "key" : "no key") + " " +
                       store.ReadString("t");
            },
            Limits);
        ExpectQuickReport(outcome, std::to_string(static_cast<int>(expected)) + " no key ");
    }
}

TEST_F(OddFilesTest, HiveOver4MiBIsRefusedUnread) {
    const std::string head =
        "REGEDIT4\r\n[HKEY_CURRENT_USER\\software\\kelmorta]\r\n\"t\"=\"7\"\r\n";
    const struct {
        const char* what;
        std::function<void()> make;
        HiveTrouble trouble;
        std::string t;
    } cases[] = {
        {"exactly 4 MiB",
         [&] { test::WriteFile(Hive(), head + ";" + std::string(4 * MiB - head.size() - 1, 'x')); },
         HiveTrouble::None, "7"},
        {"one byte more",
         [&] { test::WriteFile(Hive(), head + ";" + std::string(4 * MiB - head.size(), 'x')); },
         HiveTrouble::TooLarge, ""},
        {"a sparse gigabyte", [&] { MakeSparse(Hive(), 1024 * MiB); }, HiveTrouble::TooLarge, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.make();
        const test::ChildOutcome outcome = test::RunInChild(
            [] {
                SettingsStore store;
                store.OpenKey(SettingsKey, false);
                return std::to_string(static_cast<int>(store.Trouble())) + " " +
                       store.ReadString("t");
            },
            Limits);
        ExpectQuickReport(outcome, std::to_string(static_cast<int>(c.trouble)) + " " + c.t);
    }
}

} // namespace
} // namespace kalvor
