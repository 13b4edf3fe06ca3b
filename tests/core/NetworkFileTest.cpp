// Tests of the network file: defaults, every refusal with its message, the written form, the
// save and load round trip and the whole-file replacement.
#include "network/NetworkFile.h"

#include "NetworkSample.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kalvor {
namespace {

namespace fs = std::filesystem;

constexpr const char* Root =
    R"({"id": "1", "parent": "", "shape": "rectangular", "size": "500*300", "length": 5})";

// A file of the root and one more section; top replaces the version field when given.
std::string File(const std::string& second, const std::string& top = R"("kalvor-network": 1)") {
    return "{" + top + ", \"sections\": [" + Root + (second.empty() ? "" : ", " + second) + "]}";
}

// The second section, "2" hanging from "1", a round steel duct of 400 mm, with fields replaced
// (an empty value leaves the field out) or added.
std::string Second(std::vector<std::pair<std::string, std::string>> changes) {
    std::vector<std::pair<std::string, std::string>> fields = {
        {"id", "\"2\""},   {"parent", "\"1\""}, {"shape", "\"round\""}, {"size", "\"400\""},
        {"material", "0"}, {"length", "3"},     {"kms", "1"},           {"flow", "500"}};
    for (const auto& change : changes) {
        const auto found = std::find_if(fields.begin(), fields.end(), [&](const auto& field) {
            return field.first == change.first;
        });
        if (found == fields.end()) {
            fields.push_back(change);
        } else {
            found->second = change.second;
        }
    }
    std::string text = "{";
    for (const auto& [name, value] : fields) {
        if (!value.empty()) {
            text += (text.size() > 1 ? ", \"" : "\"") + name + "\": " + value;
        }
    }
    return text + "}";
}

std::string Second(const std::string& field, const std::string& value) {
    return Second({{field, value}});
}

TEST(NetworkFile, DefaultsOfAbsentFields) {
    const Network network = ParseNetworkText(
        R"({"kalvor-network": 1, "sections": [{"id": "a", "shape": "round", "size": "400", "length": 3}]})");
    EXPECT_EQ(network.name, "");
    EXPECT_EQ(network.air.t, 20.0);
    EXPECT_EQ(network.air.PBar, 1013.0);
    EXPECT_EQ(network.Vmax, 6.0);
    EXPECT_EQ(network.tolerance, 10.0);
    EXPECT_EQ(network.reserve, 10.0);
    ASSERT_EQ(network.sections.size(), 1u);
    const NetworkSection& s = network.sections[0];
    EXPECT_EQ(s.parent, "");
    EXPECT_EQ(s.material, 0);
    EXPECT_EQ(s.kms, 0.0);
    EXPECT_EQ(s.flow, 0.0);
    EXPECT_FALSE(s.Vmax);
    EXPECT_EQ(ParseNetworkText(R"({"kalvor-network": 1, "air": {"t": -5}, "sections": []})").air,
              (AirState{-5.0, 1013.0}));
}

TEST(NetworkFile, RefusedWholeWithTheSectionAndTheField) {
    const std::string notANumber = "ожидается число, а не ";
    const std::string rectSize =
        "» — не размер; ожидается «ширина*высота» в мм, например «500*300», "
        "или «auto»";
    const std::string roundSize =
        "» — не размер; ожидается диаметр в мм, например «400», или «auto»";
    const std::string allMaterials = " (есть 0 — Стальной, 1 — Гибкий, 2 — Кирпичный, "
                                     "3 — Оштукатуренный, 4 — Шлакобетонный)";
    struct Case {
        std::string text, message, id, field;
    } const cases[] = {
        // The file as a whole.
        {"{\n  \"kalvor-network\": 1\n  \"name\": \"x\"\n}",
         "файл не в формате JSON (строка 3, позиция 8)", "", ""},
        {"", "файл не в формате JSON (строка 1, позиция 1)", "", ""},
        {File(Second("length", "1e999")), "файл не в формате JSON: в нём слишком большое число", "",
         ""},
        {"[1]", "файл не является файлом сети: ожидается объект JSON", "", ""},
        {R"({"sections": []})", "поле «kalvor-network»: нет поля; это не файл сети Kalvor", "",
         "kalvor-network"},
        {File("", R"("kalvor-network": 2)"),
         "поле «kalvor-network»: неизвестная версия 2 (известна версия 1)", "", "kalvor-network"},
        {File("", R"("kalvor-network": "1")"),
         "поле «kalvor-network»: неизвестная версия \"1\" (известна версия 1)", "",
         "kalvor-network"},
        {File("", R"("kalvor-network": 1, "colour": 1)"), "поле «colour»: неизвестное поле", "",
         "colour"},
        {R"({"kalvor-network": 1})", "поле «sections»: нет поля", "", "sections"},
        {R"({"kalvor-network": 1, "sections": {}})", "поле «sections»: ожидается список участков",
         "", "sections"},
        // The network's own fields.
        {File("", R"("kalvor-network": 1, "name": 5)"), "поле «name»: ожидается текст, а не 5", "",
         "name"},
        {File("", R"("kalvor-network": 1, "air": {"t": "20"})"),
         "поле «air.t»: " + notANumber + "\"20\"", "", "air.t"},
        {File("", R"("kalvor-network": 1, "air": {"PBar": 0})"),
         "поле «air.PBar»: барометрическое давление 0 гПа вне допустимого диапазона от 500 до 1200 "
         "гПа",
         "", "air.PBar"},
        {File("", R"("kalvor-network": 1, "air": {"t": -273})"),
         "поле «air.t»: температура воздуха -273 °C вне допустимого диапазона от −60 до +300 °C",
         "", "air.t"},
        {File("", R"("kalvor-network": 1, "air": {"h": 1})"), "поле «air.h»: неизвестное поле", "",
         "air.h"},
        {File("", R"("kalvor-network": 1, "Vmax": 0)"), "поле «Vmax»: ожидается число больше 0", "",
         "Vmax"},
        {File("", R"("kalvor-network": 1, "tolerance": -1)"),
         "поле «tolerance»: ожидается число не меньше 0", "", "tolerance"},
        // Ids and the tree.
        {File("5"),
         "участок № 2 по порядку в файле, поле «id»: ожидается объект участка {\"id\": ..., ...}, "
         "а не 5",
         "", "id"},
        {File(Second("id", "")), "участок № 2 по порядку в файле, поле «id»: нет поля", "", "id"},
        {File(Second("id", "\"\"")),
         "участок № 2 по порядку в файле, поле «id»: id не может быть пустым", "", "id"},
        {File(Second("id", "2")),
         "участок № 2 по порядку в файле, поле «id»: ожидается текст, а не 2", "", "id"},
        {File(Second("id", "\"1\"")),
         "участок «1», поле «id»: такой id уже есть у участка № 1 по порядку в файле", "1", "id"},
        {File(Second("parent", "\"9\"")), "участок «2», поле «parent»: нет участка «9»", "2",
         "parent"},
        {File(Second("parent", "1")),
         "участок «2», поле «parent»: ожидается текст (id участка или \"\" у корня), а не 1", "2",
         "parent"},
        {File(Second("parent", "\"3\"") + ", " + R"({"id": "3", "parent": "2", "shape": "round",
              "size": "400", "length": 1})"),
         "участок «2», поле «parent»: участки образуют кольцо «2» → «3» → «2» (каждый отходит от "
         "следующего) и не связаны с корнем",
         "2", "parent"},
        {File(Second("parent", "\"2\"")),
         "участок «2», поле «parent»: участки образуют кольцо «2» → «2» (каждый отходит от "
         "следующего) и не связаны с корнем",
         "2", "parent"},
        {R"({"kalvor-network": 1, "sections": [
             {"id": "a", "parent": "b", "shape": "round", "size": "400", "length": 1},
             {"id": "b", "parent": "a", "shape": "round", "size": "400", "length": 1}]})",
         "участок «a», поле «parent»: участки образуют кольцо «a» → «b» → «a» (каждый отходит от "
         "следующего) и не связаны с корнем",
         "a", "parent"},
        {File(Second("parent", "\"\"")),
         "участок «2», поле «parent»: второй корень сети (первый — «1»); пустой parent бывает "
         "только у участка у вентилятора",
         "2", "parent"},
        // Numbers.
        {File(Second("length", "-3")),
         "участок «2», поле «length»: не может быть отрицательным (-3)", "2", "length"},
        {File(Second("length", "\"12\"")), "участок «2», поле «length»: " + notANumber + "\"12\"",
         "2", "length"},
        {File(Second("length", "")), "участок «2», поле «length»: нет поля", "2", "length"},
        {File(Second("flow", "-100")),
         "участок «2», поле «flow»: не может быть отрицательным (-100)", "2", "flow"},
        {File(Second("flow", "null")), "участок «2», поле «flow»: " + notANumber + "null", "2",
         "flow"},
        {File(Second("kms", "true")), "участок «2», поле «kms»: " + notANumber + "true", "2",
         "kms"},
        {File(Second("kms", "-0.5")), "участок «2», поле «kms»: не может быть отрицательным (-0.5)",
         "2", "kms"},
        {File(Second("Vmax", "0")), "участок «2», поле «Vmax»: ожидается число больше 0", "2",
         "Vmax"},
        // Shapes, sizes, materials, unknown fields.
        {File(Second("shape", "\"square\"")),
         "участок «2», поле «shape»: «square» — не форма; ожидается «rectangular», «flat-oval» или "
         "«round»",
         "2", "shape"},
        {File(Second("shape", "")), "участок «2», поле «shape»: нет поля", "2", "shape"},
        {File(Second("size", "400")), "участок «2», поле «size»: ожидается текст, а не 400", "2",
         "size"},
        {File(Second("size", "\"500*300\"")), "участок «2», поле «size»: «500*300" + roundSize, "2",
         "size"},
        {File(Second("size", "\"-400\"")), "участок «2», поле «size»: «-400" + roundSize, "2",
         "size"},
        {File(Second("size", "\" 400\"")), "участок «2», поле «size»: « 400" + roundSize, "2",
         "size"},
        {File(Second("size", "\"Auto\"")), "участок «2», поле «size»: «Auto" + roundSize, "2",
         "size"},
        {File(Second({{"shape", "\"rectangular\""}, {"size", "\"500x300\""}})),
         "участок «2», поле «size»: «500x300" + rectSize, "2", "size"},
        {File(Second({{"shape", "\"rectangular\""}, {"size", "\"500*300*200\""}})),
         "участок «2», поле «size»: «500*300*200" + rectSize, "2", "size"},
        {File(Second({{"shape", "\"rectangular\""}, {"size", "\"0*300\""}})),
         "участок «2», поле «size»: «0*300" + rectSize, "2", "size"},
        {File(Second({{"shape", "\"rectangular\""}, {"size", "\"500\""}})),
         "участок «2», поле «size»: «500" + rectSize, "2", "size"},
        {File(Second({{"shape", "\"flat-oval\""}, {"size", "\"250*500\""}})),
         "участок «2», поле «size»: у плоскоовального сечения первое число — общая ширина, она не "
         "может быть меньше высоты («250*500»)",
         "2", "size"},
        {File(Second({{"shape", "\"flat-oval\""}, {"size", "\"500*250\""}, {"material", "2"}})),
         "участок «2», поле «material»: материал 2 не предлагается для формы «flat-oval» (есть "
         "0 — Стальной, 1 — Гибкий)",
         "2", "material"},
        {File(Second("material", "5")),
         "участок «2», поле «material»: материал 5 не предлагается для формы «round»" +
             allMaterials,
         "2", "material"},
        {File(Second("material", "-1")),
         "участок «2», поле «material»: материал -1 не предлагается для формы «round»" +
             allMaterials,
         "2", "material"},
        {File(Second("material", "1.5")),
         "участок «2», поле «material»: ожидается номер материала (целое число), а не 1.5", "2",
         "material"},
        {File(Second("lenght", "3")), "участок «2», поле «lenght»: неизвестное поле", "2",
         "lenght"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            ParseNetworkText(c.text);
            ADD_FAILURE() << "taken";
        } catch (const NetworkError& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
            EXPECT_EQ(error.sectionId, c.id);
            EXPECT_EQ(error.field, c.field);
        }
    }
    // The base the cases vary is itself a good file.
    EXPECT_EQ(ParseNetworkText(File(Second("kms", "1"))).sections.size(), 2u);
}

// A folder of its own for each test that writes files.
class NetworkSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kalvor-network-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path m_folder;
};

Network Unusual() {
    Network network = ParseNetworkText(test::SampleNetworkText);
    network.name = "Корпус \"Б\", этаж 2";
    network.air = {-12.5, 987.25};
    network.Vmax = 0.1 + 0.2;       // no short decimal form: the shortest exact one is written
    network.sections[1].id = "3,а"; // a terminal: nothing hangs from it by its old id
    network.sections[6].Vmax = 4.5;
    network.sections[7].kms = 1.0 / 3.0;
    return network;
}

TEST_F(NetworkSaveTest, SavedAndLoadedBackUnchanged) {
    for (const Network& network :
         {ParseNetworkText(test::SampleNetworkText), Unusual(), Network{}}) {
        SCOPED_TRACE(network.name);
        EXPECT_EQ(ParseNetworkText(NetworkFileText(network)), network);
        const std::string path = (m_folder / "net.kalvor.json").string();
        SaveNetworkFile(path, network);
        EXPECT_EQ(LoadNetworkFile(path), network);
        EXPECT_EQ(Names(), std::vector<std::string>{"net.kalvor.json"});
    }
}

TEST_F(NetworkSaveTest, WrittenForm) {
    const std::string text = NetworkFileText(ParseNetworkText(test::SampleNetworkText));
    const std::string lines[] = {
        "{\n  \"kalvor-network\": 1,\n  \"name\": \"П1\",\n  \"air\": {\"t\": 18, \"PBar\": "
        "1000},\n"
        "  \"Vmax\": 6,\n  \"tolerance\": 12,\n  \"reserve\": 15,\n  \"sections\": [\n",
        // No flow where it is 0; whole numbers without a fraction.
        "    {\"id\": \"1\", \"parent\": \"\", \"shape\": \"rectangular\", \"size\": \"800*500\", "
        "\"material\": 0, \"length\": 12.5, \"kms\": 1.2},\n",
        "    {\"id\": \"3\", \"parent\": \"1\", \"shape\": \"round\", \"size\": \"315\", "
        "\"material\": 1, \"length\": 20, \"kms\": 3.5, \"flow\": 1200},\n",
        "    {\"id\": \"8\", \"parent\": \"2\", \"shape\": \"rectangular\", \"size\": \"300*200\", "
        "\"material\": 0, \"length\": 2, \"kms\": 0.9, \"flow\": 600}\n  ]\n}\n",
    };
    for (const std::string& line : lines) {
        EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
    }
    EXPECT_EQ(NetworkFileText(Network{}).substr(NetworkFileText(Network{}).find("\"sections\"")),
              "\"sections\": []\n}\n");
    Network odd;
    odd.name = "\xff";
    EXPECT_THROW(NetworkFileText(odd), Error);
}

TEST_F(NetworkSaveTest, FailedSaveKeepsTheOldFile) {
    const std::string path = (m_folder / "net.kalvor.json").string();
    const Network small = ParseNetworkText(test::SampleNetworkText);
    SaveNetworkFile(path, small);
    const std::string old = test::ReadFile(path);
    Network large = small;
    for (int i = 0; i < 200; ++i) {
        large.sections.push_back(large.sections.back());
        large.sections.back().id = "x" + std::to_string(i);
        large.sections.back().parent = "1";
    }
    // The child may write no more than 1000 bytes into any file.
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            SaveNetworkFile(path, large);
        } catch (const Error& error) {
            ::_exit(std::string(error.what()) ==
                            "файл «" + path + "» не записан: ошибка ввода-вывода 27"
                        ? 3
                        : 4);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << status;
    EXPECT_EQ(test::ReadFile(path), old);
    EXPECT_EQ(Names(), std::vector<std::string>{"net.kalvor.json"});
}

TEST_F(NetworkSaveTest, FilesThatCannotBeUsed) {
    const std::string missing = (m_folder / "no" / "net.kalvor.json").string();
    try {
        SaveNetworkFile(missing, Network{});
        ADD_FAILURE() << "saved";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "файл «" + missing + "» не записан: папка «" +
                                                 (m_folder / "no").string() + "» не найдена");
    }
    const std::pair<std::string, std::string> unreadable[] = {
        {missing, "файл не найден"},
        {m_folder.string(), "это папка, а не файл"},
    };
    for (const auto& [path, reason] : unreadable) {
        try {
            LoadNetworkFile(path);
            ADD_FAILURE() << "loaded " << path;
        } catch (const NetworkError& error) {
            EXPECT_EQ(std::string(error.what()), "файл «" + path + "» не прочитан: " + reason);
        }
    }
}

} // namespace
} // namespace kalvor
