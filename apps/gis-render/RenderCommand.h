#pragma once

#include "platform/gis/Geometry.h"

#include <QSize>

#include <optional>
#include <string>
#include <utility>
#include <vector>

// gis-render: draws a geoset to a PNG, as the map widget would show it.
struct RenderCommand {
    std::string geoset;
    std::string output;
    QSize size{1600, 1000};
    std::optional<ocable::gis::Rectangle> bounds;
    std::vector<std::pair<std::string, std::string>> selections; // layer, expression
    std::string symbols;
    bool antialias = true;
};

extern const char* const kRenderUsage;

// Throws std::invalid_argument with a message for the user.
RenderCommand parseRenderCommand(const std::vector<std::string>& args);

// Loads, selects, draws and writes; returns the line to print.
std::string runRenderCommand(const RenderCommand& command);
