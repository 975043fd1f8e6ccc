#include "HostConfig.h"

#include "IniFileReader.h"

#include <QString>
#include <stdexcept>
#include <system_error>

namespace ocable::hostapp {

int parseUserLevel(const std::string& text) {
    bool ok = false;
    const int level = QString::fromStdString(text).trimmed().toInt(&ok);
    if (!ok || level < 0) throw std::invalid_argument("用户级别必须是非负整数，而不是“" + text + "”");
    return level;
}

void HostConfig::readFile(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        throw std::runtime_error("找不到宿主配置文件：" + file.string());
    if (IniFileReader::readAsUtf8(file).empty() && std::filesystem::file_size(file, ec) > 0)
        throw std::runtime_error("无法读取宿主配置文件：" + file.string());
    IniFileReader ini;
    const auto base = file.parent_path();
    auto text = [&](const char* key, std::string& out) {
        const std::string v = ini.readIniValue(file, "Host", key);
        if (!v.empty()) out = v;
    };
    auto folder = [&](const char* key, std::filesystem::path& out) {
        const std::string v = ini.readIniValue(file, "Host", key);
        if (!v.empty()) out = std::filesystem::path(v).is_absolute() ? std::filesystem::path(v) : base / v;
    };
    folder("Database", database);
    text("UserName", userName);
    if (const std::string level = ini.readIniValue(file, "Host", "UserLevel"); !level.empty()) {
        try {
            userLevel = parseUserLevel(level);
        } catch (const std::invalid_argument& e) {
            throw std::runtime_error(file.string() + " 的 UserLevel：" + e.what());
        }
    }
    folder("SystemDir", systemDir);
    folder("AppDir", appDir);
    folder("MapDir", mapDir);
    folder("CommonFilesDir", commonFilesDir);
    text("TitleA", titleA);
    text("TitleB", titleB);
}

void HostConfig::useDemoLayout(const std::filesystem::path& root) {
    systemDir = root / "system";
    appDir = root / "app";
    mapDir = root / "map";
    commonFilesDir = root / "common";
}

} // namespace ocable::hostapp
