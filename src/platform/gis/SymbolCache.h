#pragma once

#include <QImage>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <tuple>

namespace ocable::gis {

// Bitmap symbols of one folder, loaded once and kept scaled. Names are
// matched in any letter case ("站.bmp" finds "站.BMP"): the symbol files
// come from systems whose file names do not distinguish case.
class SymbolCache {
public:
    void setFolder(const std::filesystem::path& folder);
    const std::filesystem::path& folder() const { return folder_; }

    // The file a symbol name stands for, or nothing when the folder lacks it.
    std::optional<std::filesystem::path> resolve(const std::string& name) const;

    // The symbol scaled to height pixels (keeping its aspect ratio); with
    // transparent, its white pixels are see-through. nullptr when the file
    // is missing or unreadable.
    const QImage* symbol(const std::string& name, int height, bool transparent);

    // Forgets loaded bitmaps and the folder listing (files changed on disk).
    void clear();

private:
    void scan() const;

    std::filesystem::path folder_;
    mutable bool scanned_ = false;
    mutable std::map<std::string, std::filesystem::path> files_;  // lower-case name -> file
    std::map<std::tuple<std::string, int, bool>, QImage> images_; // null image: could not load
};

} // namespace ocable::gis
