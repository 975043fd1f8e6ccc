#include "AlarmSymbols.h"

#include "AlarmEvent.h"
#include "host/SharedNames.h"
#include "platform/gis/Map.h"
#include "services/HostLog.h"

#include <QImage>
#include <QPainter>
#include <filesystem>

namespace ocable::hostapp::AlarmSymbols {

namespace fs = std::filesystem;

namespace {

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// A disc in the severity's colour with the station's shape cut out of it in
// white, so that a station in alarm stands out whatever the colour of its
// normal symbol (a red terminal square would hide in critical red). The
// white is a shade off pure white, which the map leaves transparent.
QImage recolour(const QImage& normal, const QColor& color) {
    const QImage shape = normal.convertToFormat(QImage::Format_RGB32);
    QImage image(shape.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawEllipse(QRectF(0, 0, image.width() - 0.5, image.height() - 0.5));
    }
    for (int y = 0; y < image.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(shape.constScanLine(y));
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qGray(from[x]) < 240) line[x] = qRgb(255, 255, 254);
    }
    return image;
}

QImage ring(const QColor& color) {
    QImage image(kMarkerSize, kMarkerSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QPen(color, 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(2.5, 2.5, kMarkerSize - 5, kMarkerSize - 5));
    return image;
}

bool save(const QImage& image, const fs::path& file) {
    if (image.save(QString::fromStdString(file.string()), "BMP")) return true;
    qCWarning(lcHost, "无法写入告警图片：%s", file.string().c_str());
    return false;
}

} // namespace

QColor severityColor(int level) {
    switch (level) {
    case 5:
        return QColor(230, 0, 0);
    case 4:
        return QColor(255, 140, 0);
    case 3:
        return QColor(235, 200, 0);
    case 2:
        return QColor(30, 100, 230);
    default:
        return QColor(140, 140, 140);
    }
}

std::string stationBitmap(const std::string& normalBitmap, int level) {
    std::string stem = normalBitmap;
    if (lower(stem).ends_with(".bmp")) stem.resize(stem.size() - 4);
    return stem + "_" + severityText(level).toStdString() + "告警.BMP";
}

std::string markerBitmap(int level) {
    return "光缆网络_告警_" + severityText(level).toStdString() + ".BMP";
}

void install(gis::Map& map) {
    const fs::path folder = map.symbolFolder();
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(folder, ec)) return;
    // Names in any letter case, as the map matches them.
    std::map<std::string, fs::path> files;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        files[lower(it->path().filename().string())] = it->path();
    const auto has = [&](const std::string& name) { return files.contains(lower(name)); };
    bool wrote = false;
    for (const char* station : {vocab::kBitmapTerminal, vocab::kBitmapRelay, vocab::kBitmapOther}) {
        const auto found = files.find(lower(station));
        if (found == files.end()) continue;
        const fs::path path = found->second;
        const QImage normal(QString::fromStdString(path.string()));
        if (normal.isNull()) continue;
        for (int level = kIndeterminate; level <= kCritical; ++level) {
            const std::string alarm = stationBitmap(path.filename().string(), level);
            if (!has(alarm)) wrote = save(recolour(normal, severityColor(level)), folder / alarm) || wrote;
        }
    }
    for (int level = kIndeterminate; level <= kCritical; ++level)
        if (!has(markerBitmap(level)))
            wrote = save(ring(severityColor(level)), folder / markerBitmap(level)) || wrote;
    if (wrote) {
        // The map lists its folder once; it must see the new files.
        map.setSymbolFolder({});
        map.setSymbolFolder(folder);
    }
}

} // namespace ocable::hostapp::AlarmSymbols
