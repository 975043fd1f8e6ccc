#include "platform/gis/SymbolCache.h"

#include "platform/gis/GisLog.h"

#include "platform/gis/TextUtil.h"

#include <QString>

namespace ocable::gis {

void SymbolCache::setFolder(const std::filesystem::path& folder) {
    if (folder == folder_) return;
    folder_ = folder;
    clear();
}

void SymbolCache::clear() {
    scanned_ = false;
    files_.clear();
    images_.clear();
}

void SymbolCache::scan() const {
    scanned_ = true;
    files_.clear();
    std::error_code ec;
    if (folder_.empty()) return;
    if (!std::filesystem::is_directory(folder_, ec)) {
        qCWarning(lcGis) << "符号目录不可用，符号画作圆点:" << QString::fromStdString(folder_.string())
                         << QString::fromStdString(ec ? ec.message() : "not a folder");
        return;
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder_, ec))
        if (entry.is_regular_file(ec))
            files_.emplace(lowerAscii(entry.path().filename().string()), entry.path());
    if (ec)
        qCWarning(lcGis) << "符号目录未能读完:" << QString::fromStdString(folder_.string())
                         << QString::fromStdString(ec.message());
}

std::optional<std::filesystem::path> SymbolCache::resolve(const std::string& name) const {
    if (!scanned_) scan();
    auto it = files_.find(lowerAscii(name));
    if (it == files_.end()) return std::nullopt;
    return it->second;
}

const QImage* SymbolCache::symbol(const std::string& name, int height, bool transparent) {
    const auto key = std::make_tuple(lowerAscii(name), height, transparent);
    auto it = images_.find(key);
    if (it == images_.end()) {
        QImage image;
        if (auto file = resolve(name)) {
            image.load(QString::fromStdString(file->string()));
            if (!image.isNull()) {
                image = image.convertToFormat(QImage::Format_ARGB32);
                if (transparent)
                    for (int y = 0; y < image.height(); ++y) {
                        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                        for (int x = 0; x < image.width(); ++x)
                            if ((line[x] & 0xFFFFFF) == 0xFFFFFF) line[x] = 0;
                    }
                if (height > 0 && image.height() != height)
                    image = image.scaledToHeight(height, Qt::SmoothTransformation);
                image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
            }
        }
        // Once per name and size: the cache remembers the failure too.
        if (image.isNull())
            qCWarning(lcGis) << "位图符号缺失或无法读取，画作圆点:" << QString::fromStdString(name);
        it = images_.emplace(key, std::move(image)).first;
    }
    return it->second.isNull() ? nullptr : &it->second;
}

} // namespace ocable::gis
