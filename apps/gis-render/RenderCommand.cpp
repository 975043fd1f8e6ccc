#include "RenderCommand.h"

#include "platform/gis/Coordinate.h"
#include "platform/gis/Map.h"
#include "platform/gis/MapRenderer.h"

#include <QImage>
#include <QString>

#include <stdexcept>

using namespace ocable::gis;

const char* const kRenderUsage =
    "用法：gis-render 地图集.gst 输出.png [--size 宽x高] [--bounds xmin,ymin,xmax,ymax]\n"
    "                 [--select 图层:条件]... [--symbols 符号目录] [--no-antialias]\n"
    "  --size      图片大小（像素），默认 1600x1000\n"
    "  --bounds    显示范围（经纬度），默认为全部要素的范围\n"
    "  --select    在图层中按条件选择要素，如 --select '站点:StationCode = \"S01\"'\n"
    "  --symbols   位图符号目录，默认取地图集中的设置\n";

namespace {

double number(std::string_view text, const std::string& option) {
    const auto v = parseCoordinate(text);
    if (!v) throw std::invalid_argument(option + " 的值“" + std::string(text) + "”不是有限的数值");
    return *v;
}

int pixels(std::string_view text, const std::string& option) {
    const double v = number(text, option);
    // Checked as a double: casting 1e10 to int would be undefined.
    if (v < 1 || v > 20000) throw std::invalid_argument(option + " 超出范围");
    return static_cast<int>(v);
}

std::vector<std::string_view> split(std::string_view text, char sep) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        auto at = text.find(sep, start);
        parts.push_back(text.substr(start, at == std::string_view::npos ? at : at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

} // namespace

RenderCommand parseRenderCommand(const std::vector<std::string>& args) {
    RenderCommand c;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw std::invalid_argument(a + " 缺少取值");
            return args[++i];
        };
        if (a == "--size") {
            auto wh = split(value(), 'x');
            if (wh.size() != 2) throw std::invalid_argument("--size 应为“宽x高”");
            c.size = QSize(pixels(wh[0], a), pixels(wh[1], a));
        } else if (a == "--bounds") {
            auto v = split(value(), ',');
            if (v.size() != 4) throw std::invalid_argument("--bounds 应为“xmin,ymin,xmax,ymax”");
            c.bounds = Rectangle(number(v[0], a), number(v[1], a), number(v[2], a), number(v[3], a));
        } else if (a == "--select") {
            const std::string& v = value();
            auto colon = v.find(':');
            if (colon == std::string::npos || colon == 0)
                throw std::invalid_argument("--select 应为“图层:条件”");
            c.selections.emplace_back(v.substr(0, colon), v.substr(colon + 1));
        } else if (a == "--symbols") {
            c.symbols = value();
        } else if (a == "--no-antialias") {
            c.antialias = false;
        } else if (a.rfind("--", 0) == 0) {
            throw std::invalid_argument("未知的选项 " + a);
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2) throw std::invalid_argument("需要地图集文件和输出文件");
    c.geoset = positional[0];
    c.output = positional[1];
    return c;
}

std::string runRenderCommand(const RenderCommand& c) {
    Map map;
    map.loadGeoset(c.geoset);
    if (!c.symbols.empty()) map.setSymbolFolder(c.symbols);
    map.setViewSize(c.size);
    if (c.bounds) {
        map.setBounds(*c.bounds);
    } else {
        // The whole map with a small margin, so that edge symbols and labels show.
        const Rectangle all = map.fullExtent();
        map.setBounds(all.expanded(all.Width() * 0.04, all.Height() * 0.04));
    }
    int selected = 0;
    for (const auto& [layer, expression] : c.selections) {
        auto found = map.Layers().Item(layer).Search(expression);
        map.Layers().Item(layer).Selection().Add(found);
        selected += found.Count();
    }
    MapRenderer renderer;
    RenderOptions options;
    options.antialias = c.antialias;
    const QImage image = renderer.renderImage(map, options);
    if (!image.save(QString::fromStdString(c.output), "PNG"))
        throw std::runtime_error("无法写入图片 " + c.output);
    return "已写入 " + c.output + "（" + std::to_string(c.size.width()) + "x" +
           std::to_string(c.size.height()) + "，" + std::to_string(renderer.stats().features) + " 个要素，" +
           std::to_string(renderer.stats().labels) + " 个标注，选中 " + std::to_string(selected) + " 个）";
}
