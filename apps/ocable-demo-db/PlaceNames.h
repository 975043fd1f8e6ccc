#pragma once

#include <string>

namespace ocable::demo {

// The short form of a district or county name as it appears in station and
// system names: "中原区" -> "中原", "长阳土家族自治县" -> "长阳",
// "郑州高新技术产业开发区" (in 郑州) -> "高新". Two-character names stay whole.
std::string districtShortName(const std::string& name, const std::string& cityShortName);

} // namespace ocable::demo
