// A fresh folder under the system's temporary folder, removed with all it
// holds when the test ends.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace kassio::test {

class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kassio-XXXXXX").string();
        char* made = ::mkdtemp(pattern.data());
        m_path = made ? made : pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

  private:
    std::string m_path;
};

}  // namespace kassio::test
