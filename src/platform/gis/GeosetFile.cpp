#include "platform/gis/GeosetFile.h"

#include "platform/gis/GisError.h"
#include "platform/gis/TextUtil.h"

#include <charconv>
#include <sstream>

namespace ocable::gis {

namespace {

constexpr int kVersion = 1;

std::vector<std::string> splitList(std::string_view text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        auto comma = text.find(',', start);
        auto item = trimmed(text.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (!item.empty()) out.emplace_back(item);
        if (comma == std::string_view::npos) return out;
        start = comma + 1;
    }
}

double parseDouble(std::string_view text, int line) {
    auto t = trimmed(text);
    double v = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size() || t.empty())
        throw GisError("地图集第 " + std::to_string(line) + " 行：“" + std::string(text) + "”不是数值");
    return v;
}

bool parseBool(std::string_view text, int line) {
    auto t = trimmed(text);
    if (equalsNoCase(t, "true") || t == "1" || equalsNoCase(t, "yes")) return true;
    if (equalsNoCase(t, "false") || t == "0" || equalsNoCase(t, "no")) return false;
    throw GisError("地图集第 " + std::to_string(line) + " 行：“" + std::string(text) + "”不是 true 或 false");
}

std::string formatDouble(double v) {
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, ec == std::errc() ? end : buf);
}

} // namespace

std::string_view layerKindName(LayerKind kind) {
    switch (kind) {
    case LayerKind::Symbol:
        return "symbol";
    case LayerKind::Line:
        return "line";
    case LayerKind::Region:
        return "region";
    case LayerKind::Mixed:
        break;
    }
    return "mixed";
}

LayerKind layerKindFromName(std::string_view name) {
    for (auto kind : {LayerKind::Symbol, LayerKind::Line, LayerKind::Region, LayerKind::Mixed})
        if (equalsNoCase(trimmed(name), layerKindName(kind))) return kind;
    throw GisError("未知的图层类型“" + std::string(name) + "”");
}

Geoset parseGeoset(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    Geoset g;
    enum class Section { None, Header, Layer } section = Section::None;
    int lineNo = 0;
    bool versionSeen = false;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        auto nl = text.find('\n', pos);
        auto raw = text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
        pos = nl == std::string_view::npos ? text.size() + 1 : nl + 1;
        ++lineNo;
        auto line = trimmed(raw);
        if (line.empty() || line.front() == '#') continue;
        auto where = [lineNo] { return "地图集第 " + std::to_string(lineNo) + " 行："; };
        if (line.front() == '[') {
            if (equalsNoCase(line, "[geoset]")) {
                section = Section::Header;
            } else if (equalsNoCase(line, "[layer]")) {
                section = Section::Layer;
                g.layers.emplace_back();
            } else {
                throw GisError(where() + "未知的节“" + std::string(line) + "”");
            }
            continue;
        }
        auto eq = line.find('=');
        if (eq == std::string_view::npos) throw GisError(where() + "缺少“=”");
        const std::string key = lowerAscii(trimmed(line.substr(0, eq)));
        const auto value = trimmed(line.substr(eq + 1));
        try {
            if (section == Section::Header) {
                if (key == "version") {
                    if (parseDouble(value, lineNo) != kVersion)
                        throw GisError("不支持的地图集版本 " + std::string(value));
                    versionSeen = true;
                } else if (key == "title") {
                    g.title = value;
                } else if (key == "symbols") {
                    g.symbols = value;
                } else if (key == "center") {
                    auto xy = splitList(value);
                    if (xy.size() != 2) throw GisError("center 应为“经度, 纬度”");
                    const Point center(parseDouble(xy[0], lineNo), parseDouble(xy[1], lineNo));
                    if (!coordinateHoldable(center.x) || !coordinateHoldable(center.y))
                        throw GisError("center“" + std::string(value) + "”不是有效的经纬度");
                    g.center = center;
                } else if (key == "zoom") {
                    const double zoom = parseDouble(value, lineNo);
                    if (!(zoom > 0 && zoom <= 1e9))
                        throw GisError("zoom“" + std::string(value) + "”应为大于 0 的有限数值");
                    g.zoom = zoom;
                }
                // Unknown header keys are left for later versions of this format.
            } else if (section == Section::Layer) {
                auto& l = g.layers.back();
                if (key == "name")
                    l.name = value;
                else if (key == "kind")
                    l.kind = layerKindFromName(value);
                else if (key == "columns")
                    l.columns = splitList(value);
                else if (key == "visible")
                    l.visible = parseBool(value, lineNo);
                else if (key == "autolabel")
                    l.autoLabel = parseBool(value, lineNo);
                else if (key == "selectable")
                    l.selectable = parseBool(value, lineNo);
                else if (key == "label")
                    l.label = labelStyleFromText(value);
                else if (key == "style")
                    l.style = styleFromText(value);
                else if (key == "source")
                    l.source = value;
                else if (key == "source.layer")
                    l.sourceLayer = value;
            } else {
                throw GisError("“" + key + "”出现在 [geoset] 或 [layer] 之前");
            }
        } catch (const GisError& e) {
            const std::string message = e.what();
            if (message.rfind("地图集第 ", 0) == 0) throw;
            throw GisError(where() + message);
        }
    }
    if (!versionSeen) throw GisError("不是地图集文件：缺少 [geoset] 节的 version");
    for (std::size_t i = 0; i < g.layers.size(); ++i)
        if (g.layers[i].name.empty())
            throw GisError("地图集的第 " + std::to_string(i + 1) + " 个图层没有名称");
    return g;
}

std::string formatGeoset(const Geoset& g) {
    std::ostringstream out;
    out << "# 地图集（geoset）：图层自上而下排列，格式见 docs/geoset.md\n";
    out << "[geoset]\nversion = " << kVersion << "\n";
    if (!g.title.empty()) out << "title = " << g.title << "\n";
    if (!g.symbols.empty()) out << "symbols = " << g.symbols << "\n";
    if (g.center)
        out << "center = " << formatDouble(g.center->x) << ", " << formatDouble(g.center->y) << "\n";
    if (g.zoom) out << "zoom = " << formatDouble(*g.zoom) << "\n";
    for (const auto& l : g.layers) {
        out << "\n[layer]\nname = " << l.name << "\nkind = " << layerKindName(l.kind) << "\n";
        if (!l.columns.empty()) {
            out << "columns = ";
            for (std::size_t i = 0; i < l.columns.size(); ++i)
                out << (i ? ", " : "") << l.columns[i];
            out << "\n";
        }
        out << "visible = " << (l.visible ? "true" : "false") << "\n";
        out << "autolabel = " << (l.autoLabel ? "true" : "false") << "\n";
        out << "selectable = " << (l.selectable ? "true" : "false") << "\n";
        if (auto label = labelStyleToText(l.label); !label.empty()) out << "label = " << label << "\n";
        if (auto style = styleToText(l.style); !style.empty()) out << "style = " << style << "\n";
        if (!l.source.empty()) out << "source = " << l.source << "\n";
        if (!l.sourceLayer.empty()) out << "source.layer = " << l.sourceLayer << "\n";
    }
    return out.str();
}

} // namespace ocable::gis
