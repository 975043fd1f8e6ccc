#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ocable::gis {

// Colours are 0x00BBGGRR, so 255 is red, 0xFF0000 blue and 0 black.
using Color = std::uint32_t;

constexpr Color rgb(int red, int green, int blue) {
    return static_cast<Color>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int redOf(Color c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int greenOf(Color c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int blueOf(Color c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

// The three kinds of feature, numbered as the map's callers expect.
enum class FeatureType : std::uint8_t { Region = 0, Line = 1, Symbol = 2 };

// How one feature is drawn. A symbol uses the Symbol* fields (a bitmap from
// the map's symbol folder when SymbolBitmapName is set, a filled circle of
// SymbolColor otherwise), a line the Line* fields, a region the Region*
// fields. Line pattern numbers are listed in LinePatterns.h; region
// patterns: 0 and 1 no fill, 2 solid, 3 horizontal, 4 vertical, 5 forward
// diagonal, 6 backward diagonal, 7 cross and 8 diagonal cross hatching.
struct Style {
    std::string SymbolBitmapName;
    int SymbolBitmapSize = 14;            // height in pixels; the bitmap keeps its aspect ratio
    bool SymbolBitmapTransparent = false; // white pixels of the bitmap are not drawn
    Color SymbolColor = rgb(255, 0, 0);

    Color LineColor = rgb(0, 0, 0);
    int LinePattern = 1;
    int LineWidth = 1; // pixels

    int RegionPattern = 2;
    Color RegionColor = rgb(255, 255, 255);
    Color RegionBorderColor = rgb(0, 0, 0);
    int RegionBorderWidth = 1;
    int RegionBorderPattern = 1;

    bool operator==(const Style&) const = default;
};

// Automatic labels of a layer. Column is the 1-based dataset column whose
// text labels each feature. Overlap lets labels cover one another (off:
// a label that would touch one already placed is left out); Duplicate
// labels every feature even when the same text is already shown (off: each
// text once per drawing). Position places the label against its feature:
// 0 automatic (right of a symbol, centred on a line or region), 1 above,
// 2 below, 3 left, 4 right, 5 centred.
struct LabelStyle {
    std::string FontName = "宋体";
    int FontSize = 9; // points
    bool Bold = false;
    Color TextColor = rgb(0, 0, 0);
    bool Halo = true; // a white outline keeps labels readable over lines
    bool Overlap = false;
    bool Duplicate = true;
    int Position = 0;
    int Column = 1;

    bool operator==(const LabelStyle&) const = default;
};

// Styles as one line of text, "key=value" pairs joined by ";" with only
// the fields that differ from a default Style, e.g.
// "SymbolBitmapName=站.BMP;SymbolBitmapTransparent=1". Colours are written
// "#RRGGBB". A ";" or "\" inside a value is escaped with "\". Used by the
// geoset file and the per-feature style column of saved layer data.
std::string styleToText(const Style& style);
Style styleFromText(std::string_view text); // throws GisError naming a bad key or value
std::string labelStyleToText(const LabelStyle& style);
LabelStyle labelStyleFromText(std::string_view text);

std::string colorToText(Color c);           // "#RRGGBB"
Color colorFromText(std::string_view text); // "#RRGGBB" or a decimal 0x00BBGGRR number

} // namespace ocable::gis
