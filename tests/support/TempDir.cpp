#include "support/TempDir.h"

#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace ocable::testsupport {

namespace fs = std::filesystem;

TempDir::TempDir(const std::string& name) {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() /
            ("ocable-" + name + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    // A test may have taken rights away to provoke an error; give them back.
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

fs::path TempDir::write(const std::string& name, const std::string& text) const {
    // path_ / "/x" would be "/x": a test must never write outside its folder.
    if (fs::path(name).is_absolute())
        throw std::invalid_argument("TempDir::write needs a relative name: " + name);
    const fs::path file = path_ / name;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace ocable::testsupport
