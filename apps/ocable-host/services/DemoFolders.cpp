#include "DemoFolders.h"

#include "host/SharedNames.h"
#include "platform/gis/GeosetFile.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace ocable::hostapp {

namespace {

// Raise when the pictures, geosets or folder layout change.
constexpr const char* kLayoutVersion = "ocable-demo-layout 1";

// Station classes each have their own shape and colour, on white, which the
// map draws transparent.
enum class StationShape { Terminal, Relay, Other };

const QColor kTerminalColor(200, 30, 30);
const QColor kRelayColor(230, 120, 0);
const QColor kOtherColor(20, 120, 60);
const QColor kBackboneColor(0, 0, 255);

void drawStation(QPainter& p, StationShape shape, const QRectF& box) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QPointF c = box.center();
    const double r = box.width() / 2.0 - 1;
    switch (shape) {
    case StationShape::Terminal: // a square with a white core: the end of a trunk
        p.setPen(Qt::NoPen);
        p.setBrush(kTerminalColor);
        p.drawRect(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r));
        p.setBrush(QColor(255, 255, 254)); // not pure white, so it stays visible
        p.drawRect(QRectF(c.x() - r / 2.5, c.y() - r / 2.5, 2 * r / 2.5, 2 * r / 2.5));
        break;
    case StationShape::Relay: { // a diamond: a relay on the second trunk
        QPainterPath path;
        path.moveTo(c.x(), c.y() - r);
        path.lineTo(c.x() + r, c.y());
        path.lineTo(c.x(), c.y() + r);
        path.lineTo(c.x() - r, c.y());
        path.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(kRelayColor);
        p.drawPath(path);
        break;
    }
    case StationShape::Other: // a triangle: any other station
        QPainterPath path;
        path.moveTo(c.x(), c.y() - r);
        path.lineTo(c.x() + r, c.y() + r * 0.8);
        path.lineTo(c.x() - r, c.y() + r * 0.8);
        path.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(kOtherColor);
        p.drawPath(path);
        break;
    }
    p.restore();
}

void saveImage(const QImage& image, const fs::path& file) {
    fs::create_directories(file.parent_path());
    if (!image.save(QString::fromStdString(file.string()), "BMP"))
        throw std::runtime_error("无法写入图片：" + file.string());
}

QImage stationBitmap(StationShape shape) {
    QImage image(14, 14, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    drawStation(p, shape, QRectF(0, 0, 14, 14));
    return image;
}

void copyFile(const fs::path& from, const fs::path& to) {
    fs::create_directories(to.parent_path());
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

QFont uiFont(int pixelSize, bool bold = false) {
    QFont f(QStringLiteral("Noto Sans CJK SC"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

} // namespace

void DemoFolders::writeStationSymbols(const fs::path& symbolDir) {
    saveImage(stationBitmap(StationShape::Terminal), symbolDir / vocab::kBitmapTerminal);
    saveImage(stationBitmap(StationShape::Relay), symbolDir / vocab::kBitmapRelay);
    saveImage(stationBitmap(StationShape::Other), symbolDir / vocab::kBitmapOther);
}

void DemoFolders::writeLegend(const fs::path& file) {
    QImage image(190, 214, QImage::Format_RGB32);
    image.fill(QColor(255, 255, 250));
    QPainter p(&image);
    p.setPen(QColor(120, 120, 120));
    p.drawRect(0, 0, image.width() - 1, image.height() - 1);
    p.setPen(Qt::black);
    p.setFont(uiFont(15, true));
    p.drawText(QRect(0, 6, image.width(), 22), Qt::AlignCenter, QStringLiteral("图  例"));
    p.setFont(uiFont(13));
    int y = 38;
    auto label = [&](const QString& text) {
        p.setPen(Qt::black);
        p.drawText(QRect(62, y - 10, 120, 20), Qt::AlignVCenter | Qt::AlignLeft, text);
        y += 24;
    };
    const std::pair<StationShape, QString> stations[] = {{StationShape::Terminal, QStringLiteral("终端站")},
                                                         {StationShape::Relay, QStringLiteral("二干中继站")},
                                                         {StationShape::Other, QStringLiteral("其它局站")}};
    for (const auto& [shape, name] : stations) {
        drawStation(p, shape, QRectF(24, y - 7, 14, 14));
        label(name);
    }
    auto line = [&](QColor color, int width, Qt::PenStyle style, const QString& name) {
        p.setRenderHint(QPainter::Antialiasing, false);
        QPen pen(color, width, style, Qt::FlatCap);
        p.setPen(pen);
        p.drawLine(12, y, 52, y);
        label(name);
    };
    line(Qt::black, 1, Qt::SolidLine, QStringLiteral("光缆段"));
    line(kBackboneColor, 3, Qt::SolidLine, QStringLiteral("骨干光缆段"));
    line(kBackboneColor, 3, Qt::DashLine, QStringLiteral("骨干(管道外敷设)"));
    line(Qt::black, 1, Qt::DotLine, QStringLiteral("微波段"));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 0, 0));
    p.drawEllipse(QPointF(31, y), 5, 5);
    label(QStringLiteral("告警"));
    p.end();
    saveImage(image, file);
}

void DemoFolders::writeWaitingPicture(const fs::path& file) {
    QImage image(300, 90, QImage::Format_RGB32);
    image.fill(QColor(250, 250, 245));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(90, 110, 140), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(1, 1, image.width() - 3, image.height() - 3);
    // A ring of dots that fade, the usual sign of work under way.
    for (int i = 0; i < 8; ++i) {
        const double a = i * 3.14159265 / 4;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 90, 170, 60 + i * 24));
        p.drawEllipse(QPointF(45 + 18 * std::cos(a), 45 + 18 * std::sin(a)), 4, 4);
    }
    p.setPen(QColor(30, 30, 30));
    p.setFont(uiFont(16, true));
    p.drawText(QRect(80, 18, 210, 26), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("正在绘制光缆网络分布图"));
    p.setFont(uiFont(14));
    p.drawText(QRect(80, 48, 210, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("请稍候..."));
    p.end();
    saveImage(image, file);
}

void DemoFolders::writeGeosets(const fs::path& mapDir) {
    using namespace gis;
    auto networkLayer = [](const char* name, LayerKind kind, std::vector<std::string> columns, bool labels) {
        GeosetLayer l;
        l.name = name;
        l.kind = kind;
        l.columns = std::move(columns);
        l.autoLabel = labels;
        l.label.FontName = "宋体";
        l.label.FontSize = 9;
        return l;
    };
    auto china = [] {
        GeosetLayer l;
        l.name = "China";
        l.kind = LayerKind::Region;
        l.source = "provinces.geojson";
        l.selectable = false;
        l.autoLabel = true;
        l.label.FontName = "黑体";
        l.label.FontSize = 10;
        l.label.TextColor = rgb(140, 140, 140);
        l.label.Halo = false;
        l.label.Duplicate = false;
        l.style.RegionPattern = 2;
        l.style.RegionColor = rgb(246, 243, 232);
        l.style.RegionBorderColor = rgb(180, 170, 150);
        l.style.RegionBorderWidth = 1;
        return l;
    };

    Geoset network;
    network.title = vocab::kMapTitle;
    network.center = Point{106.0, 36.0};
    network.zoom = 48.0;
    network.layers = {
        networkLayer(vocab::kLayerAlarm, LayerKind::Symbol, {"Label", vocab::kAlarmCodeColumn}, false),
        networkLayer(vocab::kLayerBackboneAlarm, LayerKind::Symbol, {"Label", vocab::kAlarmCodeColumn},
                     false),
        networkLayer(vocab::kLayerTerminal, LayerKind::Symbol, {"StationName", vocab::kStationCodeColumn},
                     true),
        networkLayer(vocab::kLayerOtherStation, LayerKind::Symbol, {"StationName", vocab::kStationCodeColumn},
                     false),
        networkLayer(vocab::kLayerBackbone, LayerKind::Line, {"Label", vocab::kCableCodeColumn}, true),
        networkLayer(vocab::kLayerCable, LayerKind::Line, {"Length", vocab::kCableCodeColumn}, false),
        networkLayer(vocab::kLayerMicrowave, LayerKind::Line, {"seg_name", vocab::kCableCodeColumn}, false),
        china(),
    };
    Geoset overview;
    overview.title = "鹰眼图";
    overview.layers = {china()};
    overview.layers[0].autoLabel = false;

    fs::create_directories(mapDir);
    std::ofstream(mapDir / vocab::kNetworkGeoset, std::ios::binary) << formatGeoset(network);
    std::ofstream(mapDir / vocab::kOverviewGeoset, std::ios::binary) << formatGeoset(overview);
}

void DemoFolders::prepare(const HostConfig& config, const fs::path& dataDir) {
    // guiConfig.ini is the site's to edit: it is written only when missing.
    fs::path ini = config.systemDir;
    for (const char* part : vocab::kConfigPath)
        ini /= part;
    if (!fs::exists(ini)) copyFile(dataDir / "config" / "guiConfig.ini", ini);

    // The rest is ours; it is written again only when this build lays the
    // folders out differently from the one that wrote them.
    const fs::path stamp = config.appDir / "demo-layout.txt";
    {
        std::ifstream in(stamp);
        std::string version;
        if (in && std::getline(in, version) && version == kLayoutVersion) return;
    }
    const fs::path appMap = config.appDir / vocab::kAppMapFolder;
    writeGeosets(appMap);
    copyFile(dataDir / "basemap" / "provinces.geojson", appMap / "provinces.geojson");

    writeLegend(config.appDir / vocab::kAppIconFolder / vocab::kLegendFolder / vocab::kLegendPicture);
    writeWaitingPicture(config.appDir / vocab::kAppIconFolder / "waiting.bmp");

    fs::path symbols = config.commonFilesDir;
    for (const char* part : vocab::kCustomSymbolSubdirs)
        symbols /= part;
    writeStationSymbols(symbols);

    // Masters of the layer files, which the view copies into the map folder.
    copyFile(dataDir / "basemap" / "provinces.geojson",
             config.mapDir / vocab::kLayerFilesFolder / "provinces.geojson");
    std::ofstream(stamp) << kLayoutVersion << "\n";
}

} // namespace ocable::hostapp
