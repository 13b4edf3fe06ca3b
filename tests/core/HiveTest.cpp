// Tests of the hive text: what the reader accepts (registry editor exports and hand-typed files),
// as what, what it refuses, and the text the writer gives back.
#include "settings/Hive.h"
#include "settings/TextEncoding.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

namespace kalvor {
namespace {

using Values = std::vector<HiveValue>;
using Bytes = std::vector<std::uint8_t>;

// ASCII text as UTF-16LE code units, built here so that the test does not lean on the converter
// it checks.
std::string Units(std::string_view ascii) {
    std::string out;
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

// UTF-16LE with its mark, as the registry editor writes "Version 5.00" exports.
std::string Utf16File(std::string_view ascii) {
    return "\xFF\xFE" + Units(ascii);
}

const std::string Head = "REGEDIT4\n[HKEY_CURRENT_USER\\a]\n";

struct AcceptedCase {
    const char* what;
    std::string text;
    std::vector<HiveKey> keys;
    bool version5 = false;
    HiveEncoding encoding = HiveEncoding::Utf8;
};

TEST(HiveTest, ParsesAcceptedTexts) {
    const AcceptedCase cases[] = {
        {"header only", "REGEDIT4", {}},
        {"comments and blank lines", "\n; note\r\nREGEDIT4\r\n  \r\n\t; x\n", {}},
        {"plain values",
         Head + "\"Shag\"=dword:00000032\n\"t\"=\"0\"",
         {{"a", Values{{"Shag", 50}, {"t", "0"}}}}},
        {"dword edges, empty name",
         "REGEDIT4\r\n[hkey_current_user\\A\\B]\r\n\"n\"=dword:FFFFFFFF\r\n\"m\"=dword:80000000\r\n"
         "\"p\"=dword:7fffffff\r\n\"\"=\"\"\r\n",
         {{"A\\B", Values{{"n", -1}, {"m", INT_MIN}, {"p", INT_MAX}, {"", ""}}}}},
        {"escapes",
         "REGEDIT4\n[HKEY_CURRENT_USER\\a]\n\"q\\\"\\\\\"=\"C:\\\\d \\\"x\\\" Подбор ;=\"\n",
         {{"a", Values{{"q\"\\", "C:\\d \"x\" Подбор ;="}}}}},
        {"key listed twice",
         "REGEDIT4\n[HKEY_CURRENT_USER\\a]\n\"X\"=\"1\"\n[HKEY_CURRENT_USER\\b]\n"
         "[HKEY_CURRENT_USER\\A]\n\"x\"=dword:00000002\n\"y\"=\"3\"\n",
         {{"a", Values{{"X", 2}, {"y", "3"}}}, {"b", Values{}}}},
        {"UTF-8 mark",
         "\xEF\xBB\xBFREGEDIT4\n[HKEY_CURRENT_USER\\a]\n\"x\"=\"Подбор\"\n",
         {{"a", Values{{"x", "Подбор"}}}},
         false,
         HiveEncoding::Utf8WithMark},
        {"version 5 header",
         "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\a]\r\n\"x\"=\"1\"\r\n",
         {{"a", Values{{"x", "1"}}}},
         true},
        {"UTF-16 export",
         Utf16File("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\software\\"
                   "kelmorta]\r\n\"Shag\"=dword:00000032\r\n\"t\"=\"-5,5\"\r\n\r\n"),
         {{"software\\kelmorta", Values{{"Shag", 50}, {"t", "-5,5"}}}},
         true,
         HiveEncoding::Utf16WithMark},
        {"UTF-16 beyond ASCII",
         Utf16File("REGEDIT4\n[HKEY_CURRENT_USER\\") + "\x1F\x04" + Units("]\n\"x\"=\"") +
             std::string("\x3D\xD8\x00\xDE", 4) + Units("\""),
         {{"\xD0\x9F", Values{{"x", "\xF0\x9F\x98\x80"}}}},
         false,
         HiveEncoding::Utf16WithMark},
        {"CR line ends",
         "REGEDIT4\r[HKEY_CURRENT_USER\\a]\r\"x\"=dword:1\r\r\"y\"=\"2\"\r",
         {{"a", Values{{"x", 1}, {"y", "2"}}}}},
        {"blanks around everything",
         "  REGEDIT4 \t\n\t[HKEY_CURRENT_USER\\a]  \n  \"x\" = \"1\"  \n\"y\"\t=\tdword:2\t\n"
         "\"z\"= \" padded \"\n",
         {{"a", Values{{"x", "1"}, {"y", 2}, {"z", " padded "}}}}},
        {"dword digits and case",
         Head + "\"a\"=DWORD:A\n\"b\"=Dword:0000032\n\"c\"=dword:0\n\"d\"=dWoRd:FfFfFfFe\n",
         {{"a", Values{{"a", 10}, {"b", 50}, {"c", 0}, {"d", -2}}}}},
        {"hex values",
         Head + "\"b\"=hex:01,02,ff\n\"e\"=hex:\n\"D\"=HEX(4):32,00,00,00\n"
                "\"m\"=hex(7):41,00,00,\\\n  42,00,\\\r\n\t00,00\n\"q\"=hex(b): 01 , "
                "00,00,00,00,00,00,00\n",
         {{"a", Values{{"b", HiveBinary{3, Bytes{1, 2, 255}}},
                       {"e", HiveBinary{3, Bytes{}}},
                       {"D", HiveBinary{4, Bytes{0x32, 0, 0, 0}}},
                       {"m", HiveBinary{7, Bytes{0x41, 0, 0, 0x42, 0, 0, 0}}},
                       {"q", HiveBinary{0xb, Bytes{1, 0, 0, 0, 0, 0, 0, 0}}}}}}},
        {"hex(3) is binary",
         Head + "\"b\"=hex(3):0a\n",
         {{"a", Values{{"b", HiveBinary{3, {10}}}}}}},
        {"default value",
         Head + "@=\"main\"\n\"x\"=\"1\"\n@ = \"again\"\n",
         {{"a", Values{{"", "again"}, {"x", "1"}}}}},
        {"value deleted, then added again at the end",
         Head + "\"x\"=\"1\"\n\"y\"=\"2\"\n\"X\"=-\n\"z\"=-\n\"x\" = \"3\"\n",
         {{"a", Values{{"y", "2"}, {"x", "3"}}}}},
        {"key deleted with the keys below it",
         "REGEDIT4\n[HKEY_CURRENT_USER\\a]\n\"x\"=\"1\"\n[HKEY_CURRENT_USER\\a\\b]\n"
         "[HKEY_CURRENT_USER\\a\\b\\c]\n[HKEY_CURRENT_USER\\a0]\n[HKEY_CURRENT_USER\\ab]\n"
         "[HKEY_CURRENT_USER\\a]]\n[-HKEY_CURRENT_USER\\A]\n\"z\"=\"not set\"\n\"w\"=-\n"
         "[HKEY_CURRENT_USER\\c]\n[-HKEY_CURRENT_USER\\never]\n",
         {{"a0", Values{}}, {"ab", Values{}}, {"a]", Values{}}, {"c", Values{}}}},
        {"key deleted, then listed again",
         Head + "\"x\"=\"1\"\n[-HKEY_CURRENT_USER\\a]\n[HKEY_CURRENT_USER\\a]\n\"y\"=\"2\"\n",
         {{"a", Values{{"y", "2"}}}}},
        {"trailing Ctrl-Z", Head + "\"x\"=\"1\"\r\n\x1A", {{"a", Values{{"x", "1"}}}}},
        {"Ctrl-Z and blank lines",
         Head + "\"x\"=\"1\"\r\n\r\n\x1A\r\n\x1A",
         {{"a", Values{{"x", "1"}}}}},
        {"Ctrl-Z inside a string", Head + "\"x\"=\"1\x1A\"\n", {{"a", Values{{"x", "1\x1A"}}}}},
        {"continuation at the end",
         Head + "\"b\"=hex:01,\\",
         {{"a", Values{{"b", HiveBinary{3, {1}}}}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto hive = ParseHive(c.text);
        ASSERT_TRUE(hive.has_value());
        EXPECT_EQ(hive->keys, c.keys);
        EXPECT_EQ(hive->version5, c.version5);
        EXPECT_EQ(hive->encoding, c.encoding);
        // Written back in its own form, it reads as the same hive.
        const std::string written = SerialiseHive(*hive);
        EXPECT_EQ(ParseHive(written), hive);
        EXPECT_EQ(SerialiseHive(*ParseHive(written)), written);
    }
}

TEST(HiveTest, RefusesOtherTexts) {
    const std::string refused[] = {
        "",
        "\n; only a comment\n",
        "REGEDIT5\n",
        "Windows Registry Editor Version 5.0\n",
        "\xFE\xFFREGEDIT4\n",                       // UTF-16 big-endian
        Utf16File("REGEDIT4\n").substr(0, 9),       // odd length
        "\xFF\xFE" + std::string("\x00\xDC", 2),    // lone low surrogate
        "\xFF\xFE" + std::string("\x00\xD8X\0", 4), // high surrogate without its low one
        "REGEDIT4\n\"t\"=\"0\"\n",
        "REGEDIT4\n[HKEY_LOCAL_MACHINE\\a]\n",
        "REGEDIT4\n[HKEY_CURRENT_USER]\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\]\n",
        "REGEDIT4\n[-HKEY_CURRENT_USER\\]\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\a\\]\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\a\\\\b]\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\a\tb]\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\a",
        "REGEDIT4\n[ HKEY_CURRENT_USER\\a]\n",
        "REGEDIT4\n\x1A\n[HKEY_CURRENT_USER\\a]\n", // a Ctrl-Z that is not at the end
        Head + "\"x\"=dword:000000032\n",
        Head + "\"x\"=dword:0000003g\n",
        Head + "\"x\"=dword:\n",
        Head + "\"x\"=dword:-1\n",
        Head + "\"x\"=dword: 1\n",
        Head + "\"x\"=hex:1,,2\n",
        Head + "\"x\"=hex:123\n",
        Head + "\"x\"=hex:01 02\n",
        Head + "\"x\"=hex(g):01\n",
        Head + "\"x\"=hex(1:01\n",
        Head + "\"x\"=hex():01\n",
        Head + "\"x\"=hex(123456789):01\n",
        Head + "\"x\"=hex:01,\\\n  zz\n",
        Head + "\"x\"=hexa\n",
        Head + "@x=\"1\"\n",
        Head + "x=\"1\"\n",
        Head + "\"x\"==\"1\"\n",
        Head + "\"x\"=-1\n",
        Head + "\"x\"=\"1\n",
        Head + "\"x\"=\"a\"b\"\n",
        Head + "\"x\"=\"a\\nb\"\n",
        Head + "\"x\"=\"a\\\"\n",
        Head + "\"x\"=\"a\rb\"\n",
        Head + std::string("\"x\"=\"a\0b\"\n", 10),
        Head + "\"x\"=\n",
        Head + "\"x\" \"y\"=\"1\"\n",
        Head + "text\n",
        "REGEDIT4\n[-HKEY_CURRENT_USER\\a]\n\"x\"=bad\n", // value lines under a deletion still
                                                          // parse
    };
    for (const std::string& text : refused)
        EXPECT_FALSE(ParseHive(text).has_value()) << text;
}

// The written form: header and encoding kept, @ for the default value, binary data broken into
// lines as the registry editor breaks it.
TEST(HiveTest, WritesEachForm) {
    Bytes thirty;
    for (std::uint8_t i = 0; i < 30; ++i)
        thirty.push_back(i);
    std::vector<HiveKey> keys = {{"a", Values{{"", "main"},
                                              {"n", 10},
                                              {"b", HiveBinary{3, {0xab}}},
                                              {"m", HiveBinary{0x7, {}}},
                                              {"w", HiveBinary{0x1000a, thirty}}}}};
    const std::string body =
        "[HKEY_CURRENT_USER\\a]\r\n@=\"main\"\r\n\"n\"=dword:0000000a\r\n\"b\"=hex:ab\r\n"
        "\"m\"=hex(7):\r\n\"w\"=hex(1000a):00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,"
        "12,13,14,15,16,17,18,\\\r\n  19,1a,1b,1c,1d\r\n\r\n";
    const struct {
        bool version5;
        HiveEncoding encoding;
        std::string expected;
    } cases[] = {
        {false, HiveEncoding::Utf8, "REGEDIT4\r\n\r\n" + body},
        {true, HiveEncoding::Utf8WithMark,
         "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n" + body},
        {true, HiveEncoding::Utf16WithMark,
         Utf16File("Windows Registry Editor Version 5.00\r\n\r\n" + body)},
    };
    for (const auto& c : cases) {
        const Hive hive{keys, c.version5, c.encoding};
        EXPECT_EQ(SerialiseHive(hive), c.expected);
        EXPECT_EQ(ParseHive(c.expected), hive);
    }
    // A UTF-16 hive given text that is not UTF-8 keeps it, written as UTF-8.
    const Hive odd{{{"a", Values{{"x", "\xff"}}}}, true, HiveEncoding::Utf16WithMark};
    EXPECT_EQ(SerialiseHive(odd),
              "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\a]\r\n"
              "\"x\"=\"\xff\"\r\n\r\n");
}

TEST(HiveTest, IntegerOfEachKindOfData) {
    const struct {
        HiveData data;
        std::optional<std::int32_t> integer;
    } cases[] = {
        {std::int32_t{-7}, -7},
        {HiveBinary{4, {0x32, 0, 0, 0}}, 50},
        {HiveBinary{4, {0xff, 0xff, 0xff, 0x7f}}, INT_MAX},
        {HiveBinary{4, {0, 0, 0, 0x80}}, INT_MIN},
        {HiveBinary{4, {0x32, 0, 0}}, std::nullopt},
        {HiveBinary{3, {0x32, 0, 0, 0}}, std::nullopt},
        {std::string("50"), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ((HiveValue{"x", c.data}.Integer()), c.integer);
}

TEST(HiveTest, NormalisesKeyPaths) {
    const struct {
        std::string_view path;
        std::optional<std::string> expected;
    } cases[] = {
        {"\\software\\kelmorta\\", "software\\kelmorta"},
        {"\\\\a\\\\", "a"},
        {"a", "a"},
        {"", std::nullopt},
        {"\\\\", std::nullopt},
        {"a\\\\b", std::nullopt},
        {"a\nb", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormaliseKeyPath(c.path), c.expected) << c.path;
}

TEST(TextEncodingTest, ConvertsBothWays) {
    const struct {
        std::string utf8, utf16;
    } cases[] = {
        {"", ""},
        {"A", std::string("A\0", 2)},
        {"\xD0\x9F", std::string("\x1F\x04", 2)},                 // П
        {"\xE2\x82\xAC", std::string("\xAC\x20", 2)},             // €
        {"\xF0\x9F\x98\x80", std::string("\x3D\xD8\x00\xDE", 4)}, // U+1F600
        {"\xF4\x8F\xBF\xBF", std::string("\xFF\xDB\xFF\xDF", 4)}, // U+10FFFF
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToUtf16Le(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(Utf16LeToUtf8(c.utf16), c.utf8) << c.utf8;
    }
    const std::string badUtf8[] = {
        "\xff", "\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xD0", "\xD0x"};
    for (const std::string& text : badUtf8)
        EXPECT_FALSE(Utf8ToUtf16Le(text).has_value()) << text;
}

} // namespace
} // namespace kalvor
