// Tests of the settings store over its hive file, and of the hive text reader and writer.
#include "settings/SettingsStore.h"
#include "common/Errors.h"
#include "settings/Hive.h"
#include "settings/TextEncoding.h"

#include "TestFiles.h"

#include <ctime>
#include <fcntl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kalvor {
namespace {

namespace fs = std::filesystem;

const std::string KelmortaKey = "[HKEY_CURRENT_USER\\software\\kelmorta]\r\n";

using test::ReadFile;
using test::WriteFile;

// Every file below the folder, by its path relative to the folder.
std::vector<std::string> FilesBelow(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_directory())
            names.push_back(fs::relative(entry.path(), folder).string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Each test gets its own temporary XDG_CONFIG_HOME.
class SettingsStoreTest : public test::TempUserTest {
protected:
    fs::path Folder() const { return Root() / "config" / "kelmorta"; }
    fs::path HiveFile() const { return Folder() / "user.reg"; }
    std::string HiveText() const { return ReadFile(HiveFile()); }

    // A store with the settings key open, created when missing.
    static SettingsStore Opened() {
        SettingsStore store;
        store.OpenKey(SettingsKey, true);
        return store;
    }
};

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RegistryError& error) {
        return error.what();
    }
    return "(no error)";
}

TEST_F(SettingsStoreTest, FirstStartWritesExactHive) {
    SettingsStore store = Opened();
    store.WriteInteger("Shag", 50);
    store.WriteString("t", "0");
    store.WriteString("PBar", "990");
    EXPECT_EQ(HiveText(), "REGEDIT4\r\n\r\n" + KelmortaKey +
                              "\"Shag\"=dword:00000032\r\n\"t\"=\"0\"\r\n\"PBar\"=\"990\"\r\n\r\n");
    EXPECT_EQ(store.HivePath(), HiveFile().string());
    // The writers' lock stays beside the hive; nothing else is left.
    EXPECT_EQ(FilesBelow(Folder()), (std::vector<std::string>{"user.reg", "user.reg.lock"}));
}

TEST_F(SettingsStoreTest, FailuresCarryTheirMessages) {
    WriteFile(HiveFile(),
              "REGEDIT4\r\n" + KelmortaKey + "\"Shag\"=dword:00000032\r\n\"t\"=\"0\"\r\n");
    SettingsStore closed;
    SettingsStore open = Opened();
    const struct {
        std::function<void()> action;
        std::string message;
    } cases[] = {
        {[&] { closed.ReadInteger("Shag"); }, "Failed to get data for 'Shag'"},
        {[&] { open.ReadInteger("mm"); }, "Failed to get data for 'mm'"},
        {[&] { open.ReadInteger("t"); }, "Invalid data type for 't'"},
        {[&] { open.ReadString("Shag"); }, "Invalid data type for 'Shag'"},
        {[&] { closed.WriteInteger("AB", 1); }, "Failed to set data for 'AB'"},
        {[&] { closed.WriteString("PBar", "990"); }, "Failed to set data for 'PBar'"},
        {[&] { open.WriteString("v", "line\nbreak"); }, "Failed to set data for 'v'"},
        {[&] { open.WriteInteger("bad\rname", 1); }, "Failed to set data for 'bad\rname'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MessageOf(c.action), c.message);
    EXPECT_EQ(closed.ReadString("t"), "");
    EXPECT_EQ(open.ReadString("PBar"), "");
    EXPECT_EQ(open.ReadString("t"), "0");
}

TEST_F(SettingsStoreTest, NamesMatchWithoutCaseAndKeepTheirSpelling) {
    WriteFile(HiveFile(), "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Kelmorta]\n"
                          "\"AB\"=dword:00000001\n\"Shag\"=dword:00000032\n");
    SettingsStore store;
    store.OpenKey("\\SOFTWARE\\kelmorta\\", false);
    for (const char* name : {"ab", "Ab", "AB"})
        EXPECT_EQ(store.ReadInteger(name), 1) << name;
    store.WriteInteger("SHAG", 60);
    EXPECT_EQ(HiveText(), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Kelmorta]\r\n"
                          "\"AB\"=dword:00000001\r\n\"Shag\"=dword:0000003c\r\n\r\n");
}

TEST_F(SettingsStoreTest, OpenKeyWritesOnlyWhenItCreates) {
    const std::string handWritten = "; kept by hand\nREGEDIT4\n\n[HKEY_CURRENT_USER\\software\\"
                                    "kelmorta\\sub]\n\"x\"=\"1\"\n";
    SettingsStore store;
    store.OpenKey("\\software\\other\\", false);
    EXPECT_EQ(store.ReadString("x"), "");
    EXPECT_FALSE(fs::exists(HiveFile())) << "a refused open wrote the hive";

    WriteFile(HiveFile(), handWritten);
    for (const char* path : {"\\software\\kelmorta\\sub\\", "software\\KELMORTA", "\\software"}) {
        EXPECT_TRUE(store.KeyExists(path)) << path;
        store.OpenKey(path, true);
        EXPECT_NO_THROW(store.WriteString("probe", "")) << path << " did not become current";
        WriteFile(HiveFile(), handWritten);
        store.OpenKey(path, true);
        EXPECT_EQ(HiveText(), handWritten)
            << "opening the existing " << path << " rewrote the hive";
    }
    for (const char* path : {"", "\\\\", "\\a\\\\b\\", "\\software\\kelm"})
        EXPECT_FALSE(store.KeyExists(path)) << path;

    store.OpenKey("\\software\\other\\", true);
    EXPECT_TRUE(SettingsStore().KeyExists("\\software\\other\\"));
    EXPECT_TRUE(SettingsStore().KeyExists("\\software\\kelmorta\\sub\\"));
}

TEST_F(SettingsStoreTest, SecondStoreSeesWritesAtItsNextRead) {
    SettingsStore first = Opened();
    SettingsStore second = Opened();
    first.WriteInteger("mm", 1);
    EXPECT_EQ(second.ReadInteger("mm"), 1);
    second.WriteInteger("mm", 0);
    second.WriteString("t", "-5,5");
    EXPECT_EQ(first.ReadInteger("mm"), 0);
    EXPECT_EQ(first.ReadString("t"), "-5,5");
}

TEST_F(SettingsStoreTest, WriteKeepsEveryOtherValueAndKey) {
    const std::string other = "[HKEY_CURRENT_USER\\software\\other]\r\n"
                              "\"path\"=\"C:\\\\temp\\\\\"\r\n\"n\"=dword:ffffffff\r\n\r\n";
    WriteFile(HiveFile(), "REGEDIT4\r\n\r\n" + other + KelmortaKey +
                              "\"Shag\"=dword:00000032\r\n\"t\"=\"0\"\r\n\"PBar\"=\"990\"\r\n\r\n");
    SettingsStore store = Opened();
    store.WriteString("t", "20");
    store.WriteInteger("AB", 1);
    EXPECT_EQ(HiveText(), "REGEDIT4\r\n\r\n" + other + KelmortaKey +
                              "\"Shag\"=dword:00000032\r\n\"t\"=\"20\"\r\n\"PBar\"=\"990\"\r\n"
                              "\"AB\"=dword:00000001\r\n\r\n");
}

// Several strings go in one write: all of them, in the order given, or none when one of them
// cannot be stored.
TEST_F(SettingsStoreTest, WriteStringsTakesAllOrNone) {
    WriteFile(HiveFile(), "REGEDIT4\r\n\r\n" + KelmortaKey + "\"File1\"=\"a\"\r\n\r\n");
    const struct {
        std::vector<std::pair<std::string, std::string>> values;
        bool refused;
        std::string file1, file2;
    } cases[] = {
        {{{"File1", "b"}, {"File2", "a"}}, false, "b", "a"},
        {{{"file2", "c"}, {"FILE1", ""}}, false, "", "c"},
        {{{"File1", "d"}, {"File2", "line\nbreak"}}, true, "", "c"},
        {{{"File1", "d"}, {std::string("Fi\0le", 5), "e"}}, true, "", "c"},
        {{}, false, "", "c"},
    };
    for (const auto& c : cases) {
        SettingsStore store = Opened();
        if (c.refused) {
            EXPECT_THROW(store.WriteStrings(c.values), RegistryError);
        } else {
            store.WriteStrings(c.values);
        }
        EXPECT_EQ(Opened().ReadString("File1"), c.file1);
        EXPECT_EQ(Opened().ReadString("File2"), c.file2);
    }
    SettingsStore closed;
    EXPECT_THROW(closed.WriteStrings({{"File1", "x"}}), RegistryError);
}

TEST_F(SettingsStoreTest, ValuesRoundTrip) {
    const std::string texts[] = {"", "C:\\temp\\", "say \"hi\"", "\\\"\\\\", "Подбор", "0,5\t ;x"};
    SettingsStore store = Opened();
    for (const std::string& text : texts) {
        store.WriteString("v", text);
        EXPECT_EQ(Opened().ReadString("V"), text);
    }
    for (int number : {0, 50, -1, INT_MIN, INT_MAX}) {
        store.WriteInteger("Shag", number);
        EXPECT_EQ(Opened().ReadInteger("shag"), number);
    }
}

// A hive that is there but cannot be used reads as empty and is never written over; set aside on
// request, it is kept whole under a dated name and writes work again.
TEST_F(SettingsStoreTest, UnusableHiveIsNeverWrittenOverAndIsSetAsideOnRequest) {
    EXPECT_EQ(SetAsideUnusableHive(), std::nullopt) << "no hive yet";
    SettingsStore store = Opened();
    store.WriteInteger("Shag", 50);
    const std::string good = HiveText();
    EXPECT_EQ(SetAsideUnusableHive(), std::nullopt) << "a good hive";
    EXPECT_EQ(HiveText(), good);

    const fs::path other = Root() / "other.reg";
    WriteFile(other, good);
    const struct {
        const char* what;
        std::function<bool()> make; // false: cannot be made here
        HiveTrouble trouble;
    } cases[] = {
        {"not a hive",
         [&] {
             WriteFile(HiveFile(), "REGEDIT5\r\n");
             return true;
         },
         HiveTrouble::NotAHive},
        {"value outside a key",
         [&] {
             WriteFile(HiveFile(), std::string("REGEDIT4\r\n\"t\"=\"0\"\r\n") + '\0' + '\xff');
             return true;
         },
         HiveTrouble::NotAHive},
        {"over 4 MiB",
         [&] {
             WriteFile(HiveFile(), good + "; " + std::string(4 * 1024 * 1024, 'x') + "\r\n");
             return true;
         },
         HiveTrouble::TooLarge},
        {"a FIFO", [&] { return ::mkfifo(HiveFile().c_str(), 0600) == 0; },
         HiveTrouble::NotRegular},
        {"a link that leads nowhere",
         [&] {
             fs::create_symlink(Root() / "nowhere.reg", HiveFile());
             return true;
         },
         HiveTrouble::LinkRefused},
        {"another user's link to this user's file",
         [&] {
             fs::create_symlink(other, HiveFile());
             return ::lchown(HiveFile().c_str(), 65534, 65534) == 0;
         },
         HiveTrouble::LinkRefused},
        {"a folder", [&] { return fs::create_directory(HiveFile()); }, HiveTrouble::ReadError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(HiveFile());
        if (!c.make()) {
            std::cout << "[   SKIP   ] " << c.what << ": cannot be made by this user\n";
            continue;
        }
        const auto kind = fs::symlink_status(HiveFile()).type();
        const std::string before = fs::is_regular_file(HiveFile()) ? HiveText() : "";
        EXPECT_EQ(store.Trouble(), c.trouble);
        EXPECT_FALSE(store.KeyExists(SettingsKey));
        EXPECT_FALSE(store.ValueExists("Shag"));
        EXPECT_EQ(MessageOf([&] { store.ReadInteger("Shag"); }), "Failed to get data for 'Shag'");
        EXPECT_EQ(store.ReadString("Shag"), "");
        EXPECT_EQ(MessageOf([&] { store.WriteInteger("mm", 1); }), "Failed to set data for 'mm'");
        EXPECT_EQ(fs::symlink_status(HiveFile()).type(), kind) << "written over";
        if (kind == fs::file_type::regular) {
            EXPECT_EQ(HiveText(), before) << "written over";
        }
        EXPECT_EQ(ReadFile(other), good) << "written through a refused link";

        const std::optional<SetAsideHive> aside = SetAsideUnusableHive();
        ASSERT_TRUE(aside.has_value());
        EXPECT_EQ(aside->hivePath, HiveFile().string());
        EXPECT_EQ(aside->trouble, c.trouble);
        EXPECT_EQ(fs::path(aside->keptAs).parent_path(), Folder());
        EXPECT_EQ(fs::path(aside->keptAs).filename().string().rfind("user.reg.unreadable-", 0), 0u);
        EXPECT_EQ(fs::symlink_status(aside->keptAs).type(), kind);
        if (kind == fs::file_type::regular) {
            EXPECT_EQ(ReadFile(aside->keptAs), before);
        }
        EXPECT_FALSE(fs::exists(fs::symlink_status(HiveFile())));

        // The next start begins anew; the kept file is never touched again.
        store.OpenKey(SettingsKey, true);
        store.WriteInteger("mm", 1);
        EXPECT_EQ(HiveText(), "REGEDIT4\r\n\r\n" + KelmortaKey + "\"mm\"=dword:00000001\r\n\r\n");
        EXPECT_EQ(SetAsideUnusableHive(), std::nullopt);
        fs::remove_all(aside->keptAs);
    }
}

// Values are told apart from absent ones whatever their type; the current key must be open.
TEST_F(SettingsStoreTest, ValueExistsForEveryType) {
    WriteFile(HiveFile(),
              "REGEDIT4\n" + KelmortaKey + "\"mm\"=dword:1\n\"t\"=\"\"\n\"b\"=hex:01\n@=\"d\"\n");
    SettingsStore closed;
    EXPECT_FALSE(closed.ValueExists("mm"));
    SettingsStore store = Opened();
    for (const char* name : {"mm", "MM", "t", "b", ""})
        EXPECT_TRUE(store.ValueExists(name)) << name;
    for (const char* name : {"AB", "m", "tt"})
        EXPECT_FALSE(store.ValueExists(name)) << name;
    EXPECT_EQ(store.Trouble(), HiveTrouble::None);
}

// A hive that the registry editor or a person wrote keeps its form and every value and key the
// program does not use through a write; a DWORD written as hex(4) reads as an integer.
TEST_F(SettingsStoreTest, ForeignHivesSurviveWrites) {
    const std::string kelmorta = "[HKEY_CURRENT_USER\\software\\kelmorta]";
    const std::string body = "\r\n" + kelmorta +
                             "\r\n@=\"default\"\r\n\"Shag\"=hex(4):32,00,00,00\r\n"
                             "\"list\"=hex(7):41,00,00,\\\r\n  00\r\n\"t\"=\"5\"\r\n\r\n"
                             "[HKEY_CURRENT_USER\\software\\other]\r\n\"bin\"=hex:de,ad\r\n";
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"REGEDIT4 typed by hand", "; mine\nREGEDIT4\n  " + body + "\x1A"},
        {"version 5, UTF-8 with its mark",
         "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n" + body},
        {"version 5, UTF-16",
         "\xFF\xFE" + *Utf8ToUtf16Le("Windows Registry Editor Version 5.00\r" + body)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(HiveFile(), c.text);
        std::optional<Hive> expected = ParseHive(c.text);
        ASSERT_TRUE(expected.has_value());
        SettingsStore store = Opened();
        EXPECT_EQ(store.ReadInteger("shag"), 50);
        EXPECT_EQ(store.ReadString(""), "default");
        store.WriteString("t", "20");
        store.WriteInteger("AB", 1);
        HiveKey& key = *expected->FindKey("software\\kelmorta");
        key.SetValue("t", "20");
        key.SetValue("AB", 1);
        EXPECT_EQ(ParseHive(HiveText()), expected);
    }
}

TEST_F(SettingsStoreTest, HivePathFollowsXdgConfigHomeOrHome) {
    const std::string home = (Root() / "home").string();
    test::ScopedEnv homeEnv("HOME", home.c_str());
    const std::string xdg = (Root() / "xdg").string();
    const struct {
        const char* xdgValue;
        std::string expected;
    } cases[] = {
        {xdg.c_str(), xdg + "/kelmorta/user.reg"},
        {nullptr, home + "/.config/kelmorta/user.reg"},
        {"", home + "/.config/kelmorta/user.reg"},
        {"relative", home + "/.config/kelmorta/user.reg"},
    };
    for (const auto& c : cases) {
        test::ScopedEnv xdgEnv("XDG_CONFIG_HOME", c.xdgValue);
        ASSERT_EQ(UserHivePath(), c.expected); // never write into the working folder
        SettingsStore store = Opened();
        store.WriteString("t", "1");
        EXPECT_TRUE(fs::exists(c.expected)) << c.expected;
        fs::remove_all(Root() / "home");
        fs::remove_all(Root() / "xdg");
    }
}

TEST_F(SettingsStoreTest, UnwritableHiveFailsWithoutLeavingFiles) {
    SettingsStore store = Opened();
    store.WriteInteger("Shag", 50);
    const std::string before = HiveText();

    // A file size limit makes the temporary file's write fail, even for root.
    const auto sizeLimited = [&](const std::function<void()>& action) {
        rlimit old{};
        ::getrlimit(RLIMIT_FSIZE, &old);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tiny = old;
        tiny.rlim_cur = 8;
        ::setrlimit(RLIMIT_FSIZE, &tiny);
        action();
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    };
    std::string message;
    sizeLimited([&] { message = MessageOf([&] { store.WriteString("t", "0"); }); });
    EXPECT_EQ(message, "Failed to set data for 't'");
    EXPECT_EQ(HiveText(), before);
    EXPECT_EQ(FilesBelow(Root()), (std::vector<std::string>{"config/kelmorta/user.reg",
                                                            "config/kelmorta/user.reg.lock"}));

    // A folder in the hive's place: reads see no values, writes fail and leave it alone.
    fs::remove(HiveFile());
    fs::create_directory(HiveFile());
    EXPECT_EQ(MessageOf([&] { store.ReadInteger("Shag"); }), "Failed to get data for 'Shag'");
    EXPECT_EQ(MessageOf([&] { store.WriteInteger("Shag", 1); }), "Failed to set data for 'Shag'");
    EXPECT_TRUE(fs::is_directory(HiveFile()));
    EXPECT_EQ(FilesBelow(Root()), std::vector<std::string>{"config/kelmorta/user.reg.lock"});

    // The config folder replaced by a regular file: the hive's folder cannot be made, and the
    // message names it.
    fs::remove_all(Root() / "config");
    WriteFile(Root() / "config", "not a folder");
    const std::string noFolder =
        ": не удалось создать папку настроек " + (Root() / "config" / "kelmorta").string();
    EXPECT_EQ(MessageOf([&] { store.WriteInteger("Shag", 1); }),
              "Failed to set data for 'Shag'" + noFolder);
    EXPECT_EQ(FilesBelow(Root()), std::vector<std::string>{"config"});

    SettingsStore fresh;
    fresh.OpenKey(SettingsKey, true);
    EXPECT_FALSE(fresh.KeyExists(SettingsKey));
    EXPECT_EQ(MessageOf([&] { fresh.ReadInteger("mm"); }), "Failed to get data for 'mm'");
    EXPECT_EQ(MessageOf([&] { fresh.WriteString("t", "0"); }),
              "Failed to set data for 't'" + noFolder);
}

// Reads keep a parsed copy while the file stays the same, and see every change at once: an edit
// in place of the same length, a replacement by another store, a file that went away.
TEST_F(SettingsStoreTest, ParsedCopyNeverHidesAChange) {
    SettingsStore store = Opened();
    store.WriteString("t", "11");
    EXPECT_EQ(store.ReadString("t"), "11");
    EXPECT_EQ(store.ReadString("t"), "11"); // from the copy

    std::string text = HiveText();
    const std::size_t at = text.find("\"t\"=\"11\"");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 8, "\"t\"=\"22\"");
    { std::fstream(HiveFile(), std::ios::in | std::ios::out | std::ios::binary) << text; }
    const timespec later[2] = {{0, UTIME_OMIT}, {std::time(nullptr) + 5, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, HiveFile().c_str(), later, 0), 0);
    EXPECT_EQ(store.ReadString("t"), "22");

    SettingsStore other = Opened();
    other.WriteString("t", "33");
    EXPECT_EQ(store.ReadString("t"), "33");

    fs::remove(HiveFile());
    EXPECT_EQ(store.ReadString("t"), "");
}

} // namespace
} // namespace kalvor
