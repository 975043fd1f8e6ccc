#pragma once

#include "platform/gis/Layer.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ocable::gis {

class Map;

// The ordered layers of a map. Position 1 is drawn on top; Item takes a
// 1-based position or a name (any letter case). Names are unique in a map.
class Layers {
public:
    explicit Layers(Map* map) : map_(map) {}
    Layers(const Layers&) = delete;
    Layers& operator=(const Layers&) = delete;
    ~Layers();

    int Count() const { return static_cast<int>(layers_.size()); }
    // Throws GisError naming the position or the missing layer.
    Layer& Item(int position) const;
    Layer& Item(std::string_view name) const;
    Layer& Item(const char* name) const { return Item(std::string_view(name)); }
    Layer& Item(const std::string& name) const { return Item(std::string_view(name)); }
    bool contains(std::string_view name) const { return find(name) != nullptr; }
    Layer* find(std::string_view name) const;
    // 1-based position of the layer, 0 when it is not in this map.
    int positionOf(const Layer& layer) const;

    // A new empty layer at position (clamped to 1..Count+1). Columns default
    // to "Label" and "Code". Throws GisError when the name is taken or empty.
    Layer& CreateLayer(const std::string& name, int position = 1, std::vector<std::string> columns = {},
                       LayerKind kind = LayerKind::Mixed);
    void Remove(int position);
    void Remove(std::string_view name);
    void RemoveAll();
    // Moves the layer at position from to position to.
    void Move(int from, int to);

    std::shared_ptr<Layer> shared(int position) const;

    std::vector<std::shared_ptr<Layer>>::const_iterator begin() const { return layers_.begin(); }
    std::vector<std::shared_ptr<Layer>>::const_iterator end() const { return layers_.end(); }

private:
    std::size_t indexOf(int position) const;

    Map* map_;
    std::vector<std::shared_ptr<Layer>> layers_;
};

} // namespace ocable::gis
