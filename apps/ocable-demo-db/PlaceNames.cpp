#include "PlaceNames.h"

#include <algorithm>

namespace ocable::demo {

namespace {

std::size_t charCount(const std::string& s) {
    return static_cast<std::size_t>(
        std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string firstChars(const std::string& s, std::size_t n) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < s.size(); ++i)
        if ((s[i] & 0xC0) != 0x80 && count++ == n) return s.substr(0, i);
    return s;
}

bool endsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

std::string districtShortName(const std::string& name, const std::string& cityShortName) {
    std::string n = name;
    if (!cityShortName.empty() && n.rfind(cityShortName, 0) == 0 && n.size() > cityShortName.size()) {
        n = n.substr(cityShortName.size());
        if (charCount(n) == 1) return cityShortName; // the city's own seat: "东莞市" in 东莞
    }
    if (n.find("自治") != std::string::npos) return firstChars(n, 2);
    if (charCount(n) > 2)
        for (const std::string suffix : {"林区", "区", "县", "市", "旗"})
            if (endsWith(n, suffix)) {
                n.resize(n.size() - suffix.size());
                break;
            }
    return charCount(n) > 4 ? firstChars(n, 2) : n;
}

} // namespace ocable::demo
