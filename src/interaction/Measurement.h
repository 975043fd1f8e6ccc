#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace ocable {

struct ViewContext;

// Measuring on the network map: the summed length of the selected cable
// segments and the straight-line distance between two selected stations.
// Each shows its result in a message box and puts the bare number on the
// clipboard.
class Measurement {
public:
    explicit Measurement(ViewContext& view) : view_(view) {}

    // Adds up column 1 of the selected segments of both cable layers. A
    // length the program cannot read as a whole number (a label with nothing
    // after its ":", a value beyond 32 bits) ends the command quietly, with
    // the clipboard untouched.
    void showCableLength();
    // The geodesic distance between the two selected stations, two decimals.
    void showPointDistance();

    // The kilometres one segment counts: a number rounded half to even, or
    // the number after the first ":" of a label holding "长度" (every "KM"
    // taken out), else 0. Throws std::range_error when a label has no number
    // there or the value does not fit 32 bits.
    static std::int32_t segmentLength(const std::string& column1);

private:
    ViewContext& view_;
};

} // namespace ocable
