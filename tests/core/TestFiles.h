// Whole files read and written byte for byte, and a temporary user, for the core tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kalvor::test {

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Creates the folders on the way.
inline void WriteFile(const std::filesystem::path& path, std::string_view text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// A test's own user: a fresh temporary folder that is the current directory, with the settings
// home (XDG_CONFIG_HOME) and the data home (XDG_DATA_HOME) below it; the directory and the
// variables are restored afterwards. Make a SettingsStore only once the fixture is set up.
class TempUserTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = std::filesystem::current_path();
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kalvor-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
        std::filesystem::current_path(m_folder);
        SetVariable("XDG_CONFIG_HOME", (m_folder / "config").string());
        SetVariable("XDG_DATA_HOME", (m_folder / "data").string());
    }
    void TearDown() override {
        std::filesystem::current_path(m_previous);
        for (const auto& [name, value] : m_saved) {
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        }
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    // Sets an environment variable for this test; its old value comes back at the end.
    void SetVariable(const std::string& name, const std::string& value) {
        const char* old = std::getenv(name.c_str());
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        ::setenv(name.c_str(), value.c_str(), 1);
    }
    const std::filesystem::path& Folder() const { return m_folder; }

private:
    std::filesystem::path m_previous, m_folder;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

} // namespace kalvor::test
