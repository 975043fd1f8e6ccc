#pragma once

#include <string>
#include <string_view>

namespace ocable::gis {

// Text helpers shared by the expression parser, the geoset reader and the
// layer look-ups. Letter case is folded for ASCII letters only: Chinese
// names compare exactly.
std::string_view trimmed(std::string_view s);
bool equalsNoCase(std::string_view a, std::string_view b);
std::string lowerAscii(std::string_view s);

} // namespace ocable::gis
