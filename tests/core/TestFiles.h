// Whole files read and written byte for byte, and a temporary user, for the core tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
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

// Sets an environment variable (or unsets it, for nullptr) for a scope and puts the old value
// back at its end.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value)
        : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnv() {
        m_old ? ::setenv(m_name.c_str(), m_old->c_str(), 1) : ::unsetenv(m_name.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

// A test's own user: a fresh temporary folder (Root) with the settings home (XDG_CONFIG_HOME,
// Root/config) and the data home (XDG_DATA_HOME, Root/data) below it, and Root/work as the
// current directory; the directory and the variables are restored afterwards. Make a
// SettingsStore only once the fixture is set up. Fixtures that need more call SetUp and
// TearDown of this one from their own.
class TempUserTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = std::filesystem::current_path();
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kalvor-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
        std::filesystem::create_directories(Work());
        std::filesystem::current_path(Work());
        SetVariable("XDG_CONFIG_HOME", (m_root / "config").string());
        SetVariable("XDG_DATA_HOME", (m_root / "data").string());
    }
    void TearDown() override {
        std::filesystem::current_path(m_previous);
        while (!m_variables.empty()) {
            m_variables.pop_back(); // the last set first, so each old value comes back
        }
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    // Sets an environment variable for this test; its old value comes back at the end.
    void SetVariable(const std::string& name, const std::string& value) {
        m_variables.push_back(std::make_unique<ScopedEnv>(name.c_str(), value.c_str()));
    }
    const std::filesystem::path& Root() const { return m_root; }
    std::filesystem::path Work() const { return m_root / "work"; }
    std::filesystem::path HivePath() const { return m_root / "config" / "kelmorta" / "user.reg"; }

private:
    std::filesystem::path m_previous, m_root;
    std::vector<std::unique_ptr<ScopedEnv>> m_variables;
};

} // namespace kalvor::test
