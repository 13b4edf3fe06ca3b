// Tests of the first-run set-up: initial settings only where missing, the working folder and its
// catalogues copied byte for byte only where missing.
#include "setup/FirstStart.h"

#include "common/Errors.h"
#include "settings/SettingsStore.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kalvor {
namespace {

namespace fs = std::filesystem;

using test::ReadFile;
using test::WriteFile;

// A temporary user with the standard catalogues of a made-up installation in Root/standard.
class FirstStartTest : public test::TempUserTest {
protected:
    void SetUp() override {
        TempUserTest::SetUp();
        WriteFile(Standard() / "Duct.txt", " 1.50000000000000E-0001 1.00000000000000E-0001\r\n");
        WriteFile(Standard() / "OvalDuct.txt", "0.3 0.1\r\n");
        WriteFile(Standard() / "RoundDuct.txt", std::string("0.1\r\n\x1a junk", 12));
    }
    fs::path Standard() const { return Root() / "standard"; }
};

TEST_F(FirstStartTest, CreatesTheKeyWithTheInitialValues) {
    const std::vector<std::string> written = CreateInitialSettings();
    EXPECT_EQ(written, (std::vector<std::string>{"Shag", "mm", "AB", "t", "PBar"}));
    SettingsStore store;
    ASSERT_TRUE(store.KeyExists(SettingsKey));
    store.OpenKey(SettingsKey, false);
    EXPECT_EQ(store.ReadInteger("Shag"), 50);
    EXPECT_EQ(store.ReadInteger("mm"), 1);
    EXPECT_EQ(store.ReadInteger("AB"), 0);
    EXPECT_EQ(store.ReadString("t"), "0");
    EXPECT_EQ(store.ReadString("PBar"), "990");
}

TEST_F(FirstStartTest, KeepsEveryExistingValue) {
    struct Case {
        const char* present;              // the one value that exists before
        std::vector<std::string> written; // what the set-up then writes
    };
    const std::vector<Case> cases = {
        {"Shag", {"mm", "AB", "t", "PBar"}}, {"mm", {"Shag", "AB", "t", "PBar"}},
        {"ab", {"Shag", "mm", "t", "PBar"}}, // names match without case
        {"t", {"Shag", "mm", "AB", "PBar"}}, {"PBar", {"Shag", "mm", "AB", "t"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.present);
        fs::remove_all(Root() / "config");
        {
            SettingsStore store;
            store.OpenKey(SettingsKey, true);
            store.WriteString(c.present, ""); // even an empty string, of any type, is kept
        }
        EXPECT_EQ(CreateInitialSettings(), c.written);
        SettingsStore store;
        store.OpenKey(SettingsKey, false);
        EXPECT_EQ(store.ReadString(c.present), "");
    }
}

TEST_F(FirstStartTest, SecondRunWritesNothing) {
    CreateInitialSettings();
    const std::string hive = ReadFile(UserHivePath());
    EXPECT_TRUE(CreateInitialSettings().empty());
    EXPECT_EQ(ReadFile(UserHivePath()), hive);
}

TEST_F(FirstStartTest, UnreadableHiveIsLeftAlone) {
    WriteFile(UserHivePath(), "not a hive\r\n");
    EXPECT_THROW(CreateInitialSettings(), Error);
    EXPECT_EQ(ReadFile(UserHivePath()), "not a hive\r\n");
}

TEST_F(FirstStartTest, WorkingFolderFollowsTheDataHome) {
    struct Case {
        const char* dataHome; // nullptr: unset
        fs::path expected;
    };
    const std::vector<Case> cases = {
        {"/srv/data", "/srv/data/kalvor"},
        {nullptr, "/home/someone/.local/share/kalvor"},
        {"relative/data", "/home/someone/.local/share/kalvor"},
        {"", "/home/someone/.local/share/kalvor"},
    };
    SetVariable("HOME", "/home/someone");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dataHome ? c.dataHome : "(unset)");
        const test::ScopedEnv dataHome("XDG_DATA_HOME", c.dataHome);
        EXPECT_EQ(WorkingFolder(), c.expected);
    }
}

TEST_F(FirstStartTest, CopiesTheCataloguesByteForByte) {
    const fs::path folder = Root() / "data" / "kalvor";
    const std::vector<std::string> copied = CopyStandardCatalogues(Standard(), folder);
    EXPECT_EQ(copied, (std::vector<std::string>{"Duct.txt", "OvalDuct.txt", "RoundDuct.txt"}));
    for (const char* name : {"Duct.txt", "OvalDuct.txt", "RoundDuct.txt"}) {
        EXPECT_EQ(ReadFile(folder / name), ReadFile(Standard() / name)) << name;
    }
}

TEST_F(FirstStartTest, NeverTouchesExistingCatalogues) {
    const fs::path folder = Root() / "data" / "kalvor";
    WriteFile(folder / "duct.TXT", "0.9 0.9\r\n"); // the same file to the program
    WriteFile(folder / "RoundDuct.txt", "");
    EXPECT_EQ(CopyStandardCatalogues(Standard(), folder),
              (std::vector<std::string>{"OvalDuct.txt"}));
    EXPECT_EQ(ReadFile(folder / "duct.TXT"), "0.9 0.9\r\n");
    EXPECT_EQ(ReadFile(folder / "RoundDuct.txt"), "");
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"OvalDuct.txt", "RoundDuct.txt", "duct.TXT"}));
}

TEST_F(FirstStartTest, MissingStandardCatalogueIsAnError) {
    fs::remove(Standard() / "OvalDuct.txt");
    EXPECT_THROW(CopyStandardCatalogues(Standard(), Root() / "data" / "kalvor"), Error);
}

} // namespace
} // namespace kalvor
