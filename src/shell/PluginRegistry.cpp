#include "shell/PluginRegistry.h"

#include <QSaveFile>
#include <QString>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <stdexcept>
#include <sys/file.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace ocable {

namespace {

// A registry holds a line per plug-in; anything near this size is not one,
// and reading it whole (a path at /dev/zero) would never end.
constexpr std::size_t kMaxRegistryBytes = 1 << 20;

std::runtime_error registryError(const fs::path& file, const std::string& reason) {
    return std::runtime_error("插件注册文件 " + file.string() + " " + reason);
}

std::string systemReason(int error) {
    return std::strerror(error);
}

// Held while the registry is read, changed and written, so that hosts
// starting together do not each write their own line over the other's.
// The lock is on a file beside the registry: the registry itself is
// replaced by every write.
class RegistryLock {
public:
    explicit RegistryLock(const fs::path& file) {
        fs::path lockFile = file;
        lockFile += ".lock";
        fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd_ < 0)
            throw registryError(file, "无法加锁（" + lockFile.string() + "）：" + systemReason(errno));
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd_);
            throw registryError(file, "无法加锁：" + systemReason(error));
        }
    }
    ~RegistryLock() { ::close(fd_); } // closing releases the lock
    RegistryLock(const RegistryLock&) = delete;
    RegistryLock& operator=(const RegistryLock&) = delete;

private:
    int fd_ = -1;
};

// The registry's lines; none when it does not exist. A registry that exists
// but cannot be read is an error: writing ours alone would drop every other
// plug-in's line.
std::vector<std::string> readLines(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return {};
        throw registryError(file, "无法读取：" + systemReason(errno));
    }
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            throw registryError(file, "无法读取：" + systemReason(error));
        }
        if (n == 0) break;
        content.append(buffer, static_cast<std::size_t>(n));
        if (content.size() > kMaxRegistryBytes) {
            ::close(fd);
            throw registryError(file, "过大（超过 1 MiB），不是插件注册文件");
        }
    }
    ::close(fd);

    std::vector<std::string> lines;
    std::istringstream in(content);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool parseEntry(const std::string& line, PluginEntry& out) {
    if (line.empty() || line[0] == '#') return false;
    std::vector<std::string> parts;
    std::stringstream ss(line);
    for (std::string part; std::getline(ss, part, '\t');)
        parts.push_back(part);
    if (parts.size() < 4) return false;
    out = {parts[0], parts[1], parts[2], fs::path(parts[3])};
    return true;
}

// Written aside in the registry's own folder under a name no one can plant
// beforehand, then renamed over it: never half-written, never through a link.
void writeLines(const fs::path& file, const std::vector<std::string>& lines) {
    std::string content;
    for (const auto& line : lines)
        content += line + '\n';
    QSaveFile out(QString::fromStdString(file.string()));
    if (!out.open(QIODevice::WriteOnly))
        throw registryError(file, "无法写入：" + out.errorString().toStdString());
    if (out.write(content.data(), static_cast<qint64>(content.size())) !=
            static_cast<qint64>(content.size()) ||
        !out.commit())
        throw registryError(file, "无法写入：" + out.errorString().toStdString());
}

void createFolder(const fs::path& file) {
    if (!file.has_parent_path()) return;
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    if (ec) throw registryError(file, "的目录无法创建：" + ec.message());
}

std::vector<std::string> linesWithout(const std::vector<std::string>& lines, const std::string& library) {
    std::vector<std::string> kept;
    for (const auto& line : lines) {
        PluginEntry e;
        if (parseEntry(line, e) && e.library == library) continue;
        kept.push_back(line);
    }
    return kept;
}

} // namespace

fs::path pluginRegistryPath() {
    if (const char* env = std::getenv("QZTRANS_PLUGIN_REGISTRY"); env && *env) return fs::path(env);
    fs::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = fs::path(home) / ".config";
    else
        // A shared folder such as /tmp would let any user put a registry there first.
        throw std::runtime_error(
            "未设置 HOME、XDG_CONFIG_HOME 与 QZTRANS_PLUGIN_REGISTRY，无法确定插件注册文件的位置");
    return base / "qztrans" / "plugins.reg";
}

std::vector<PluginEntry> readPluginRegistry(const fs::path& file) {
    std::vector<PluginEntry> entries;
    for (const auto& line : readLines(file)) {
        PluginEntry e;
        if (parseEntry(line, e)) entries.push_back(std::move(e));
    }
    return entries;
}

void registerPlugin(const fs::path& file, const PluginEntry& entry) {
    createFolder(file);
    RegistryLock lock(file);
    auto lines = linesWithout(readLines(file), entry.library);
    lines.push_back(entry.library + '\t' + entry.className + '\t' + entry.version + '\t' +
                    entry.path.string());
    writeLines(file, lines);
}

void unregisterPlugin(const fs::path& file, const std::string& library) {
    std::error_code ec;
    if (!fs::exists(file, ec) && !ec) return;
    RegistryLock lock(file);
    writeLines(file, linesWithout(readLines(file), library));
}

} // namespace ocable
