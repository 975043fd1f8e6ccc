#include "shell/PluginRegistry.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace ocable {

namespace {

std::vector<std::string> readLines(const fs::path& file) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool parseEntry(const std::string& line, PluginEntry& out) {
    if (line.empty() || line[0] == '#') return false;
    std::vector<std::string> parts;
    std::stringstream ss(line);
    for (std::string part; std::getline(ss, part, '\t');) parts.push_back(part);
    if (parts.size() < 4) return false;
    out = {parts[0], parts[1], parts[2], fs::path(parts[3])};
    return true;
}

void writeLines(const fs::path& file, const std::vector<std::string>& lines) {
    if (file.has_parent_path()) fs::create_directories(file.parent_path());
    fs::path aside = file;
    aside += ".tmp";
    {
        std::ofstream out(aside, std::ios::trunc);
        for (const auto& line : lines) out << line << '\n';
        out.flush();
        if (!out) throw std::runtime_error("无法写入插件注册文件：" + aside.string());
    }
    fs::rename(aside, file);
}

std::vector<std::string> linesWithout(const fs::path& file, const std::string& library) {
    std::vector<std::string> kept;
    for (const auto& line : readLines(file)) {
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
        base = fs::temp_directory_path();
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
    auto lines = linesWithout(file, entry.library);
    lines.push_back(entry.library + '\t' + entry.className + '\t' + entry.version + '\t' + entry.path.string());
    writeLines(file, lines);
}

void unregisterPlugin(const fs::path& file, const std::string& library) {
    if (!fs::exists(file)) return;
    writeLines(file, linesWithout(file, library));
}

} // namespace ocable
