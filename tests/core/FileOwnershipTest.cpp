// Tests of who may redirect or change the program's files: private folders and hive modes under
// any umask, symbolic links followed only between the user's own files, and catalogues that the
// user may not write left unchanged.
#include "catalogues/CatalogueFile.h"
#include "settings/SettingsStore.h"
#include "setup/FirstStart.h"

#include "ChildProcess.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace kalvor {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

constexpr uid_t Nobody = 65534;

unsigned ModeOf(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 01000000;
}

std::vector<std::string> NamesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string CatalogueReport(const std::function<void()>& action) {
    try {
        action();
        return "done";
    } catch (const InOutError& error) {
        return std::to_string(error.code) + " " + error.what();
    }
}

// A root folder with a working folder (the current directory), a second folder for link targets
// and the settings folder's parent, restored afterwards.
class FileOwnershipTest : public test::TempUserTest {
protected:
    void SetUp() override {
        TempUserTest::SetUp();
        fs::create_directories(Root() / "store");
    }
    void TearDown() override {
        ::umask(022);
        TempUserTest::TearDown();
    }
    fs::path Hive() const { return HivePath(); }
};

TEST_F(FileOwnershipTest, FoldersAndHiveAreTheUsersAloneWhateverTheUmask) {
    for (const mode_t mask : {0000, 0022, 0077, 0277}) {
        SCOPED_TRACE("umask " + std::to_string(mask));
        fs::remove_all(Root() / "config");
        fs::remove_all(Root() / "data");
        ::umask(mask);
        SettingsStore store;
        store.OpenKey(SettingsKey, true);
        store.WriteString("t", "1");
        CopyStandardCatalogues(KALVOR_SOURCE_DIR "/catalogues/data", Root() / "data" / "kalvor");
        ::umask(022);
        EXPECT_EQ(ModeOf(Root() / "config"), 0700u);
        EXPECT_EQ(ModeOf(Root() / "config" / "kelmorta"), 0700u);
        EXPECT_EQ(ModeOf(Hive()), 0600u);
        EXPECT_EQ(ModeOf(Root() / "config" / "kelmorta" / "user.reg.lock"), 0600u);
        EXPECT_EQ(ModeOf(Root() / "data"), 0700u);
        EXPECT_EQ(ModeOf(Root() / "data" / "kalvor"), 0700u);
    }
    // Folders that are there already are left as they are.
    fs::remove_all(Root() / "config");
    fs::create_directories(Root() / "config");
    fs::permissions(Root() / "config", fs::perms(0755));
    ::umask(0);
    SettingsStore store;
    store.OpenKey(SettingsKey, true);
    ::umask(022);
    EXPECT_EQ(ModeOf(Root() / "config"), 0755u);
    EXPECT_EQ(ModeOf(Root() / "config" / "kelmorta"), 0700u);
}

// One way to put a link in a file's place. The link's own target file (if any) holds "old".
struct LinkCase {
    const char* what;
    // Makes the link at `at` and its targets; false when this user cannot make it.
    std::function<bool(const fs::path& root, const fs::path& at)> make;
    bool followed;
    const char* target; // the file a followed link leads to, below root
};

bool Own(const fs::path&) {
    return true;
}
bool Foreign(const fs::path& path) {
    return ::lchown(path.c_str(), Nobody, Nobody) == 0;
}

std::vector<LinkCase> LinkCases(const std::string& old) {
    return {
        {"own link to an own file elsewhere",
         [old](const fs::path& root, const fs::path& at) {
             WriteFile(root / "store" / "file", old);
             fs::create_symlink(root / "store" / "file", at);
             return Own(at);
         },
         true, "store/file"},
        {"own relative link",
         [old](const fs::path& root, const fs::path& at) {
             WriteFile(root / "store" / "file", old);
             fs::create_symlink(
                 fs::relative(root / "store" / "file", fs::absolute(at).parent_path()), at);
             return true;
         },
         true, "store/file"},
        {"own chain of two links",
         [old](const fs::path& root, const fs::path& at) {
             WriteFile(root / "store" / "file", old);
             fs::create_symlink("file", root / "store" / "middle");
             fs::create_symlink(root / "store" / "middle", at);
             return true;
         },
         true, "store/file"},
        {"another user's link",
         [old](const fs::path& root, const fs::path& at) {
             WriteFile(root / "store" / "file", old);
             fs::create_symlink(root / "store" / "file", at);
             return Foreign(at);
         },
         false, "store/file"},
        {"own link to another user's file",
         [old](const fs::path& root, const fs::path& at) {
             WriteFile(root / "store" / "file", old);
             fs::create_symlink(root / "store" / "file", at);
             return Foreign(root / "store" / "file");
         },
         false, "store/file"},
        {"chain through another user's link",
         [old](const fs::path& root, const fs::path& at) {
             WriteFile(root / "store" / "file", old);
             fs::create_symlink("file", root / "store" / "middle");
             fs::create_symlink(root / "store" / "middle", at);
             return Foreign(root / "store" / "middle");
         },
         false, "store/file"},
        {"own links in a loop",
         [](const fs::path& root, const fs::path& at) {
             fs::create_symlink(fs::absolute(at), root / "store" / "back");
             fs::create_symlink(root / "store" / "back", at);
             return true;
         },
         false, nullptr},
        {"own link that leads nowhere",
         [](const fs::path& root, const fs::path& at) {
             fs::create_symlink(root / "store" / "file", at);
             return true;
         },
         false, nullptr},
    };
}

TEST_F(FileOwnershipTest, CatalogueLinksAreFollowedOnlyBetweenOwnFiles) {
    const std::string old = "0.5 0.25\r\n";
    for (const LinkCase& c : LinkCases(old)) {
        SCOPED_TRACE(c.what);
        fs::remove_all(Root() / "store");
        fs::create_directories(Root() / "store");
        fs::remove("Duct.txt");
        if (!c.make(Root(), "Duct.txt")) {
            std::cout << "[   SKIP   ] " << c.what << ": cannot be made by this user\n";
            continue;
        }
        const fs::path link = fs::read_symlink("Duct.txt");
        const std::vector<std::string> storeNames = NamesIn(Root() / "store");
        const std::string read = CatalogueReport(
            [] { EXPECT_EQ(ReadSizeCatalogue(DuctShape::Rectangular).B.size(), 1u); });
        const std::string saved = CatalogueReport([] {
            WriteSizeCatalogue(DuctShape::Rectangular, {{0.6}, {0.3}});
        });
        EXPECT_EQ(read, c.followed ? "done" : "5 File access denied");
        EXPECT_EQ(saved, c.followed ? "done" : "5 File access denied");
        // The link stays a link to the same place, and no other file appears.
        EXPECT_TRUE(fs::is_symlink("Duct.txt"));
        EXPECT_EQ(fs::read_symlink("Duct.txt"), link);
        EXPECT_EQ(NamesIn("."), std::vector<std::string>{"Duct.txt"});
        EXPECT_EQ(NamesIn(Root() / "store"), storeNames);
        if (c.target != nullptr) {
            EXPECT_EQ(ReadFile(Root() / c.target),
                      c.followed ? " 6.00000000000000E-0001 3.00000000000000E-0001\r\n" : old);
        }
    }
}

TEST_F(FileOwnershipTest, HiveLinksAreFollowedOnlyBetweenOwnFiles) {
    const std::string old =
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\software\\kelmorta]\r\n\"t\"=\"old\"\r\n\r\n";
    for (const LinkCase& c : LinkCases(old)) {
        SCOPED_TRACE(c.what);
        fs::remove_all(Root() / "store");
        fs::create_directories(Root() / "store");
        fs::remove_all(Root() / "config");
        fs::create_directories(Hive().parent_path());
        if (!c.make(Root(), Hive())) {
            std::cout << "[   SKIP   ] " << c.what << ": cannot be made by this user\n";
            continue;
        }
        const fs::path link = fs::read_symlink(Hive());
        SettingsStore store;
        store.OpenKey(SettingsKey, false);
        EXPECT_EQ(store.Trouble(), c.followed ? HiveTrouble::None : HiveTrouble::LinkRefused);
        EXPECT_EQ(store.ReadString("t"), c.followed ? "old" : "");
        bool written = true;
        try {
            store.OpenKey(SettingsKey, true);
            store.WriteString("t", "new");
        } catch (const RegistryError&) {
            written = false;
        }
        EXPECT_EQ(written, c.followed);
        EXPECT_TRUE(fs::is_symlink(Hive()));
        EXPECT_EQ(fs::read_symlink(Hive()), link);
        if (c.target != nullptr) {
            EXPECT_EQ(ReadFile(Root() / c.target),
                      c.followed ? "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\software\\kelmorta]\r\n"
                                   "\"t\"=\"new\"\r\n\r\n"
                                 : old);
        }
        if (c.followed) {
            EXPECT_EQ(ModeOf(Root() / c.target), 0600u);
        }
    }
}

// The folder lets the user rename files in it, so only the file's own permissions stand between
// a save and the file: a save must respect them. Root may write any file, so the saves run as
// another user where the test is root.
TEST_F(FileOwnershipTest, CatalogueTheUserMayNotWriteIsLeftUnchanged) {
    const bool root = ::geteuid() == 0;
    const uid_t saver = root ? Nobody : ::geteuid();
    fs::permissions(Root(), fs::perms(0755));
    ASSERT_EQ(::chown((Root() / "work").c_str(), saver, saver), 0);
    const std::string old = "0.5 0.25\r\n";
    const struct {
        const char* what;
        unsigned mode;
        bool saversFile; // owned by the saving user (else by root)
        std::string report;
    } cases[] = {
        {"the user's own read-only file", 0444, true, "5 File access denied"},
        {"the user's file without any permission", 0000, true, "5 File access denied"},
        {"root's file the user may only read", 0644, false, "5 File access denied"},
        {"the user's writable file", 0644, true, "done"},
        {"root's file anyone may write", 0666, false, "done"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.saversFile && !root) {
            std::cout << "[   SKIP   ] " << c.what << ": needs root to set up\n";
            continue;
        }
        fs::remove("Duct.txt");
        WriteFile(fs::current_path() / "Duct.txt", old);
        ASSERT_EQ(::chown("Duct.txt", c.saversFile ? saver : 0, c.saversFile ? saver : 0), 0);
        ASSERT_EQ(::chmod("Duct.txt", c.mode), 0);
        const test::ChildOutcome outcome = test::RunInChild(
            [] {
                return CatalogueReport([] {
                    WriteSizeCatalogue(DuctShape::Rectangular, {{0.6}, {0.3}});
                });
            },
            {0, 0, root ? saver : static_cast<uid_t>(-1)});
        EXPECT_TRUE(outcome.finished);
        EXPECT_EQ(outcome.report, c.report);
        EXPECT_EQ(NamesIn("."), std::vector<std::string>{"Duct.txt"});
        ::chmod("Duct.txt", 0644);
        EXPECT_EQ(ReadFile("Duct.txt"),
                  c.report == "done" ? " 6.00000000000000E-0001 3.00000000000000E-0001\r\n" : old);
    }
}

} // namespace
} // namespace kalvor
