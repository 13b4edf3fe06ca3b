// A benchmark's own user: a temporary folder that is the current directory and the settings home
// while it lives, and large catalogues to fill it with.
#pragma once

#include "catalogues/CatalogueFile.h"

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace kalvor::bench {

class BenchFolder {
public:
    BenchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kalvor-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        m_dir = pattern;
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_dir);
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) {
            m_oldConfig = old;
        }
        ::setenv("XDG_CONFIG_HOME", (m_dir / "config").c_str(), 1);
    }
    ~BenchFolder() {
        std::filesystem::current_path(m_previous);
        m_oldConfig ? ::setenv("XDG_CONFIG_HOME", m_oldConfig->c_str(), 1)
                    : ::unsetenv("XDG_CONFIG_HOME");
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    const std::filesystem::path& path() const { return m_dir; }

private:
    std::filesystem::path m_dir, m_previous;
    std::optional<std::string> m_oldConfig;
};

// A catalogue of the shape with rows rows in order of growing area.
inline SizeCatalogue LargeCatalogue(DuctShape shape, std::size_t rows) {
    SizeCatalogue catalogue;
    for (std::size_t i = 0; i < rows; ++i) {
        const double size = 0.1 + 0.001 * static_cast<double>(i);
        catalogue.A.push_back(size);
        if (shape == DuctShape::Rectangular) {
            catalogue.B.push_back(size / 2);
        } else if (shape == DuctShape::FlatOval) {
            catalogue.B.push_back(size / 4);
        }
    }
    return catalogue;
}

// Writes the three catalogues of rows rows each into the current directory.
inline void WriteLargeCatalogues(std::size_t rows) {
    for (DuctShape shape : {DuctShape::Rectangular, DuctShape::FlatOval, DuctShape::Round}) {
        WriteSizeCatalogue(shape, LargeCatalogue(shape, rows));
    }
}

} // namespace kalvor::bench
