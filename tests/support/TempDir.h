#pragma once

#include <filesystem>
#include <string>

namespace ocable::testsupport {

// A fresh folder under the system's temporary folder, named after the test
// and the process, removed with everything in it when the object goes.
class TempDir {
public:
    explicit TempDir(const std::string& name = "t");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    // Writes text into a file of the folder and returns its path.
    std::filesystem::path write(const std::string& name, const std::string& text) const;

private:
    std::filesystem::path path_;
};

// The whole content of a file, or "" when it cannot be read.
std::string readText(const std::filesystem::path& file);

} // namespace ocable::testsupport
