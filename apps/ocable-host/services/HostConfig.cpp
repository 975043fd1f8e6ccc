#include "HostConfig.h"

#include "IniFileReader.h"

namespace ocable::hostapp {

void HostConfig::readFile(const std::filesystem::path& file) {
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
            userLevel = std::stoi(level);
        } catch (const std::exception&) {
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
