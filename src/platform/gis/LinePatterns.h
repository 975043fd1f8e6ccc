#pragma once

#include <span>
#include <string_view>

namespace ocable::gis {

// Line pattern numbers and how each is drawn. The dash lists alternate
// drawn and blank lengths in pixels for a line of width 1; wider lines
// scale them by their width, as a pen does. docs/line-patterns.md shows
// them side by side.
//
//   1   solid
//   64  dashes            8 on, 4 off
//   51  dash and dot      10 on, 3 off, 2 on, 3 off
//   39  short dashes      4 on, 3 off
//   30  dots              1.5 on, 2.5 off
//   13  dash, dot, dot    10 on, 3 off, 2 on, 3 off, 2 on, 3 off
//   0   long and short    14 on, 3 off, 5 on, 3 off
//
// Any other number draws solid.
struct LinePattern {
    int number;
    std::string_view name;
    std::span<const double> dashes; // empty: solid
};

// The pattern drawn for a number; unknown numbers give the solid pattern.
const LinePattern& linePattern(int number);

// Every distinct pattern, solid first, in the order of the table above.
std::span<const LinePattern> linePatterns();

} // namespace ocable::gis
