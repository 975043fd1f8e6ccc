#pragma once

namespace ocable::gis {

// Maps the Chinese font names the map's styles use ("宋体", "SimSun",
// "黑体", "Microsoft YaHei"...) to the Noto CJK fonts installed here, so
// that labels are drawn in Simplified Chinese shapes instead of coming
// through fallback as Japanese glyphs. Safe to call many times; needs a
// QGuiApplication.
void installChineseFontSubstitutions();

} // namespace ocable::gis
