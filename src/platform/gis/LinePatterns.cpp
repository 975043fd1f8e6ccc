#include "platform/gis/LinePatterns.h"

#include <array>

namespace ocable::gis {

namespace {

constexpr std::array<double, 2> kDash{8, 4};
constexpr std::array<double, 4> kDashDot{10, 3, 2, 3};
constexpr std::array<double, 2> kShortDash{4, 3};
constexpr std::array<double, 2> kDot{1.5, 2.5};
constexpr std::array<double, 6> kDashDotDot{10, 3, 2, 3, 2, 3};
constexpr std::array<double, 4> kLongShort{14, 3, 5, 3};

const std::array<LinePattern, 7> kPatterns{{
    {1, "实线", {}},
    {64, "虚线", kDash},
    {51, "点划线", kDashDot},
    {39, "短虚线", kShortDash},
    {30, "点线", kDot},
    {13, "双点划线", kDashDotDot},
    {0, "长短线", kLongShort},
}};

} // namespace

const LinePattern& linePattern(int number) {
    for (const auto& p : kPatterns)
        if (p.number == number) return p;
    return kPatterns[0];
}

std::span<const LinePattern> linePatterns() {
    return kPatterns;
}

} // namespace ocable::gis
