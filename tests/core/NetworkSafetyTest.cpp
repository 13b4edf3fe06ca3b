// Tests of the network under faults and bad input: files that must be refused with a short
// message (deep, huge, repeated keys, UTF-16, odd ids, values no duct has, figures that overflow),
// targets that must never be written, a file changed on disk, CSV cells and wide numbers.
#include "ChildProcess.h"
#include "TestFiles.h"

#include "common/OwnFiles.h"
#include "network/NetworkFile.h"
#include "network/NetworkTable.h"
#include "network/NetworkWarnings.h"
#include "network/NetworkXlsx.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kalvor {
namespace {

namespace fs = std::filesystem;

// A file of two sections whose second one's fields are `second` (after its id and parent).
std::string TwoSections(const std::string& second, const std::string& air = "") {
    return R"({"kalvor-network": 1, )" + air +
           R"("sections": [{"id": "1", "parent": "", "shape": "rectangular", "size": "500*300", )"
           R"("length": 5, "flow": 1000}, {"id": "2", "parent": "1", )" +
           second + "}]}";
}

std::string Round(const std::string& more, const std::string& size = "200") {
    return TwoSections(R"("shape": "round", "size": ")" + size + R"(", "length": 3, "flow": 400)" +
                       more);
}

std::string Nested(std::size_t depth) {
    return R"({"kalvor-network": 1, "name": )" + std::string(depth, '[') + std::string(depth, ']') +
           R"(, "sections": []})";
}

// The message a refused text gives, or "taken".
std::string Refusal(const std::string& text) {
    try {
        ParseNetworkText(text);
        return "taken";
    } catch (const NetworkError& error) {
        return error.what();
    }
}

TEST(NetworkRefusals, EachWithItsFieldAndAShortMessage) {
    struct Case {
        const char* what;
        std::string text;
        std::string expected; // a part of the message; "taken" for a file that is good
    };
    const std::string u16 = std::string("\xFF\xFE{\0\"\0", 6);
    const Case cases[] = {
        {"nesting a good file needs",
         Round(R"(, "fittings": [{"type": "elbow-round", "angle": 90, "r_d": 1}])"), "taken"},
        {"nesting beyond the limit", Nested(17), "слишком глубокая вложенность"},
        {"nesting at the limit, refused as a value", Nested(15), "поле «name»: ожидается текст"},
        {"a key repeated",
         TwoSections(R"("shape": "round", "size": "200", "length": 6000, )"
                     R"("length": 6)"),
         "поле «length» задано дважды"},
        {"a key repeated in the air",
         TwoSections(R"("shape": "round", "size": "200", "length": 6)",
                     R"("air": {"t": 20, "t": 30}, )"),
         "поле «t» задано дважды"},
        {"UTF-16 with its mark", u16, "должен быть в кодировке UTF-8"},
        {"UTF-16 without a mark", std::string("{\0\"\0", 4), "должен быть в кодировке UTF-8"},
        {"an id with DEL",
         R"({"kalvor-network": 1, "sections": [{"id": "a)"
         "\x7F"
         R"(", "parent": "", "shape": "round", "size": "200", "length": 1}]})",
         "управляющих символов"},
        {"an id turned right to left",
         R"({"kalvor-network": 1, "sections": [{"id": "a)"
         "\xE2\x80\xAE"
         R"(b", "parent": "", "shape": "round", "size": "200", "length": 1}]})",
         "знаков смены направления текста"},
        {"an id with an isolate",
         R"({"kalvor-network": 1, "sections": [{"id": ")"
         "\xE2\x81\xA6"
         R"(", "parent": "", "shape": "round", "size": "200", "length": 1}]})",
         "знаков смены направления текста"},
        {"metres in the millimetre file",
         TwoSections(R"("shape": "rectangular", "size": "0.8*0.5", "length": 3)"),
         "вне допустимого диапазона от 10 до 10000 мм"},
        {"a diameter of 1e-9", Round("", "1e-9"), "от 10 до 10000 мм"},
        {"a diameter of 1e9", Round("", "1e9"), "от 10 до 10000 мм"},
        {"a diameter of 9.99", Round("", "9.99"), "от 10 до 10000 мм"},
        {"the smallest and largest sizes",
         TwoSections(R"("shape": "rectangular", "size": "10000*10", "length": 3)"), "taken"},
        {"PBar 1e308",
         TwoSections(R"("shape": "round", "size": "200", "length": 3)",
                     R"("air": {"PBar": 1e308}, )"),
         "поле «air.PBar»: барометрическое давление 1E308 гПа вне допустимого диапазона от 500 до "
         "1200 гПа"},
        {"PBar below 500",
         TwoSections(R"("shape": "round", "size": "200", "length": 3)",
                     R"("air": {"PBar": 499.9}, )"),
         "от 500 до 1200 гПа"},
        {"t above 300",
         TwoSections(R"("shape": "round", "size": "200", "length": 3)", R"("air": {"t": 300.5}, )"),
         "поле «air.t»: температура воздуха 300.5 °C вне допустимого диапазона от −60 до +300 °C"},
        {"the air's ends",
         TwoSections(R"("shape": "round", "size": "200", "length": 3)",
                     R"("air": {"t": -60, "PBar": 1200}, )"),
         "taken"},
        {"a grille's ζ that overflows",
         Round(R"(, "fittings": [{"type": "grille", "f": 0.5, "f_sec": 1e160}])"),
         "не конечное число"},
        {"a count of 1e308",
         Round(R"(, "fittings": [{"type": "elbow-round", "angle": 90, "r_d": 1, "count": 1e308}])"),
         "count = 1e+308 больше 1000000"},
        {"a count of 1e12",
         Round(R"(, "fittings": [{"type": "elbow-round", "angle": 90, "r_d": 1, "count": 1e12}])"),
         "больше 1000000"},
        {"the largest count",
         Round(R"(, "fittings": [{"type": "elbow-round", "angle": 90, "r_d": 1, "count": 1e6}])"),
         "taken"},
        {"a long wrong value", Round(R"(, "Vmax": ")" + std::string(5000, 'x') + "\""),
         "ожидается число, а не текст \"xxxx"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string message = Refusal(c.text);
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
        EXPECT_LT(message.size(), 600u) << message;
    }
}

// A value nested 50,000 deep (a 100 KB file) is refused within a small stack: nothing that reads
// or describes it recurses into it.
TEST(NetworkRefusals, DeepFileInASmallStack) {
    const std::string where[] = {
        Nested(50'000),
        R"({"kalvor-network": 1, "sections": [)" + std::string(50'000, '[') +
            std::string(50'000, ']') + "]}",
        std::string(50'000, '[') + std::string(50'000, ']'),
    };
    for (const std::string& text : where) {
        const test::ChildOutcome child = test::RunInChild([&text] { return Refusal(text); },
                                                          {.seconds = 30, .stack = 512 << 10});
        EXPECT_TRUE(child.finished) << "the child ended by a signal";
        EXPECT_NE(child.report.find("слишком глубокая вложенность"), std::string::npos)
            << child.report;
    }
}

// A refused 63 MiB value is named in a message of a few hundred characters, within a memory and
// time bound.
TEST(NetworkRefusals, HugeValueInBoundedMemoryAndTime) {
    const std::string huge(63u << 20, 'x');
    const std::string texts[] = {
        Round(R"(, "Vmax": [")" + huge + "\"]"),
        Round(R"(, "kms": ")" + huge + "\""),
        TwoSections(R"("shape": ")" + huge + R"(", "size": "200", "length": 3)"),
        TwoSections(R"("shape": "round", "size": ")" + huge + R"(", "length": 3)"),
    };
    for (const std::string& text : texts) {
        const test::ChildOutcome child =
            test::RunInChild([&text] { return Refusal(text); },
                             {.seconds = 60, .extraMemory = std::size_t{1} << 30});
        EXPECT_TRUE(child.finished);
        EXPECT_NE(child.report.find("участок «2»"), std::string::npos)
            << child.report.substr(0, 300);
        EXPECT_LT(child.report.size(), 400u) << child.report.substr(0, 300);
    }
}

// A folder of its own, removed afterwards.
class NetworkTargetTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kalvor-target-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
        fs::permissions(m_folder, fs::perms::all); // another user's child writes here too
        test::WriteFile(m_folder / "in.kalvor.json", Round(""));
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    std::string At(const std::string& name) const { return (m_folder / name).string(); }

    // Runs kalvor-network in the folder: its exit status and standard error.
    std::pair<int, std::string> Run(const std::vector<std::string>& arguments) const {
        const std::string err = At(".err");
        const pid_t child = ::fork();
        if (child == 0) {
            if (::chdir(m_folder.c_str()) != 0) {
                ::_exit(126);
            }
            ::dup2(::open("/dev/null", O_WRONLY), 1);
            ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
            std::vector<char*> argv{const_cast<char*>(KALVOR_NETWORK_PROGRAM)};
            for (const std::string& argument : arguments) {
                argv.push_back(const_cast<char*>(argument.c_str()));
            }
            argv.push_back(nullptr);
            ::execv(KALVOR_NETWORK_PROGRAM, argv.data());
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadFile(err)};
    }

    fs::path m_folder;
};

TEST_F(NetworkTargetTest, TargetsASaveOrExportRefuses) {
    const std::string input = At("in.kalvor.json");
    fs::create_directory(At("folder"));
    fs::create_symlink("in.kalvor.json", At("link-to-input"));
    ASSERT_EQ(::mkfifo(At("fifo").c_str(), 0600), 0);
    test::WriteFile(At("old.xlsx"), "old");
    struct Case {
        const char* name;
        std::string expected; // a part of the message; "" for a target that is written
    };
    const Case cases[] = {
        {"in.kalvor.json", "это файл, из которого он получается"},
        {"link-to-input", "это файл, из которого он получается"},
        {"folder", "это папка, а не файл"},
        {"fifo", "это не обычный файл"},
        {"old.xlsx", ""},
        {"new.xlsx", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string message;
        try {
            OutputPath(At(c.name), input);
        } catch (const Error& error) {
            message = error.what();
        }
        EXPECT_EQ(message.empty(), c.expected.empty()) << message;
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
        const auto [status, err] = Run({"in.kalvor.json", "--xlsx", c.name});
        EXPECT_EQ(status, c.expected.empty() ? 0 : 2) << err;
        EXPECT_NE(err.find(c.expected), std::string::npos) << err;
    }
    EXPECT_EQ(test::ReadFile(input), Round("")) << "the network is never replaced";
    EXPECT_TRUE(fs::is_symlink(At("link-to-input")));
    EXPECT_TRUE(fs::is_fifo(At("fifo")));
}

// A copy of /dev/null's device node: neither the program nor the window's save turns it into a
// regular file.
TEST_F(NetworkTargetTest, DeviceNodeStaysADevice) {
    const std::string device = At("null");
    if (::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0) {
        GTEST_SKIP() << "no device node can be made here";
    }
    const auto [status, err] = Run({"in.kalvor.json", "--xlsx", "null"});
    EXPECT_EQ(status, 2);
    EXPECT_NE(err.find("это не обычный файл"), std::string::npos) << err;
    EXPECT_THROW(SaveNetworkFile(device, ParseNetworkText(Round(""))), Error);
    EXPECT_TRUE(fs::is_character_file(device));
}

// A link of the user's own is kept and its file replaced; a read-only file is refused and kept.
TEST_F(NetworkTargetTest, OwnLinkFollowedAndReadOnlyRefused) {
    const Network network = ParseNetworkText(Round(R"(, "kms": 2)"));
    fs::create_directory(At("real"));
    test::WriteFile(At("real/net.kalvor.json"), Round(""));
    fs::create_symlink("real/net.kalvor.json", At("net.kalvor.json"));
    SaveNetworkFile(At("net.kalvor.json"), network);
    EXPECT_TRUE(fs::is_symlink(At("net.kalvor.json")));
    EXPECT_EQ(LoadNetworkFile(At("real/net.kalvor.json")), network);

    // As root every file may be written: the save is then made by another user.
    const bool root = ::geteuid() == 0;
    const uid_t saver = root ? 65534 : ::geteuid();
    test::WriteFile(At("ro.kalvor.json"), Round(""));
    ASSERT_EQ(::chown(At("ro.kalvor.json").c_str(), saver, static_cast<gid_t>(-1)), 0);
    fs::permissions(At("ro.kalvor.json"), fs::perms::owner_read | fs::perms::group_read);
    const std::string target = At("ro.kalvor.json");
    const test::ChildOutcome child = test::RunInChild(
        [&] {
            try {
                SaveNetworkFile(target, network);
                return std::string("saved");
            } catch (const Error& error) {
                return std::string(error.what());
            }
        },
        {.seconds = 30, .user = saver});
    EXPECT_NE(child.report.find("доступ запрещён"), std::string::npos) << child.report;
    EXPECT_EQ(test::ReadFile(target), Round(""));
}

TEST_F(NetworkTargetTest, ChangedFileHasAnotherStamp) {
    const std::string path = At("in.kalvor.json");
    const std::optional<FileStamp> before = StampOf(path);
    ASSERT_TRUE(before);
    EXPECT_EQ(StampOf(path), before) << "unchanged";
    struct Change {
        const char* what;
        void (*make)(const std::string&);
    };
    const Change changes[] = {
        {"a byte appended",
         [](const std::string& p) { test::WriteFile(p, test::ReadFile(p) + " "); }},
        {"the same size, another time",
         [](const std::string& p) {
             const timespec times[2] = {{0, UTIME_OMIT}, {1'000'000'000, 0}};
             ::utimensat(AT_FDCWD, p.c_str(), times, 0);
         }},
        {"replaced by another file",
         [](const std::string& p) {
             test::WriteFile(p + ".new", test::ReadFile(p));
             fs::rename(p + ".new", p);
         }},
    };
    std::optional<FileStamp> last = before;
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        change.make(path);
        const std::optional<FileStamp> now = StampOf(path);
        EXPECT_NE(now, last);
        last = now;
    }
    EXPECT_EQ(StampOf(At("missing")), std::nullopt);
}

// A text over 32,767 characters is refused in Russian, the library silent on standard error and
// no file left behind.
TEST_F(NetworkTargetTest, XlsxTextTooLongIsSaid) {
    test::WriteFile(At("long.kalvor.json"),
                    R"({"kalvor-network": 1, "name": ")" + std::string(40'000, 'n') +
                        R"(", "sections": [{"id": "1", "parent": "", "shape": "round", )"
                        R"("size": "200", "length": 1, "flow": 100}]})");
    const auto [status, err] = Run({"long.kalvor.json", "--xlsx", "long.xlsx"});
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err, "kalvor-network: long.kalvor.json: файл «long.xlsx» не записан: ячейка A1: "
                   "текст длиннее 32 767 знаков, больше ячейка книги не вмещает\n");
    EXPECT_FALSE(fs::exists(At("long.xlsx")));
}

TEST(NetworkCsvCells, FormulaLikeTextsGetAnApostrophe) {
    const std::pair<const char*, const char*> cases[] = {
        {"=HYPERLINK(\"x\")", "'=HYPERLINK(\"x\")"},
        {"+7", "+7"},
        {"-3.5", "-3.5"},
        {"-1e5", "-1e5"},
        {"-", "'-"},
        {"+A1", "'+A1"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"12", "12"},
        {"П-1", "П-1"},
        {"", ""},
    };
    for (const auto& [text, written] : cases) {
        EXPECT_EQ(SpreadsheetText(text), written) << text;
    }
    const Network network = ParseNetworkText(
        R"({"kalvor-network": 1, "sections": [{"id": "=1+2", "parent": "", "shape": "round", )"
        R"("size": "200", "length": 1, "flow": 100}, {"id": "-2", "parent": "=1+2", )"
        R"("shape": "round", "size": "200", "length": 1, "flow": 100}]})");
    const std::string csv = NetworkCsv(network, ComputeNetwork(network));
    EXPECT_NE(csv.find("\n'=1+2,,round,"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\n-2,'=1+2,round,"), std::string::npos) << csv;
}

TEST(NetworkFixedNumbers, NeverWiderThanAColumn) {
    const std::tuple<double, int, const char*> cases[] = {
        {123.456, 2, "123.46"},           {-0.001, 2, "0.00"},
        {999999999.0, 2, "999999999.00"}, {1e18, 2, "1.000E18"},
        {-3.14159e17, 1, "-3.142E17"},    {1e308, 4, "1.000E308"},
        {12345678901.0, 1, "1.235E10"},
    };
    for (const auto& [value, decimals, text] : cases) {
        EXPECT_EQ(FixedNumber(value, decimals), text);
        EXPECT_LE(FixedNumber(value, decimals).size(), MaxFixedWidth);
    }
    EXPECT_EQ(FixedNumber(1e18, 2, ','), "1,000E18");
}

// Warnings about figures that compute but no duct has.
TEST(NetworkWarningsTest, ImplausibleSumsAndTeeShares) {
    const auto network = [](const std::string& fittings, const std::string& kms = "0") {
        return ParseNetworkText(
            R"({"kalvor-network": 1, "sections": [{"id": "1", "parent": "", "shape": "round", )"
            R"("size": "400", "length": 1}, {"id": "2", "parent": "1", "shape": "round", )"
            R"("size": "200", "length": 1, "flow": 250, "kms": )" +
            kms + R"(, "fittings": [)" + fittings +
            R"(]}, {"id": "3", "parent": "1", "shape": "round", "size": "300", "length": 1, )"
            R"("flow": 750}]})");
    };
    struct Case {
        const char* what;
        Network network;
        std::vector<std::string> expected; // parts of each line, in order
    };
    const Case cases[] = {
        {"a tee whose q is the network's",
         network(R"({"type": "tee-supply-branch", "angle": 90, "f_b": 0.5, "q": 0.25})"),
         {}},
        {"within 10 %",
         network(R"({"type": "tee-supply-branch", "angle": 90, "f_b": 0.5, "q": 0.27})"),
         {}},
        {"a straight passage",
         network(R"({"type": "tee-supply-straight", "f_b": 0.5, "q": 0.75})"),
         {}},
        {"q far from the network's",
         network(R"({"type": "tee-supply-branch", "angle": 90, "f_b": 0.5, "q": 0.5})"),
         {"уч. 2, местное сопротивление № 1, параметр «q»: q = 0.5, а по расходам сети 0.25"}},
        {"a straight passage taking the branch's share",
         network(R"({"type": "tee-exhaust-straight", "angle": 90, "f_b": 0.5, "q": 0.25})"),
         {"q = 0.25, а по расходам сети 0.75"}},
        {"Σζ above 100",
         network(R"({"type": "elbow-round", "angle": 90, "r_d": 1})", "150"),
         {"уч. 2: Σζ = 150", "больше 100"}},
        {"Σζ below 0 and q too small",
         network(R"({"type": "tee-exhaust-branch", "angle": 90, "q": 0.0001, "f_b": 0.1})"),
         {"уч. 2: Σζ = -", "меньше 0",
          "q = 0.0001, а по расходам сети 0.25 (расход участка 250 из 1000 м³/ч)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<std::string> lines =
            NetworkWarnings(c.network, ComputeNetwork(c.network));
        std::string all;
        for (const std::string& line : lines) {
            all += line + "\n";
        }
        std::size_t at = 0;
        for (const std::string& part : c.expected) {
            at = all.find(part, at);
            ASSERT_NE(at, std::string::npos) << part << " in\n" << all;
        }
        if (c.expected.empty()) {
            EXPECT_TRUE(lines.empty()) << all;
        }
        EXPECT_EQ(NetworkReport(c.network, ComputeNetwork(c.network)).find("Внимание: ") !=
                      std::string::npos,
                  !c.expected.empty());
    }
}

} // namespace
} // namespace kalvor
