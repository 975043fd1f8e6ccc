#pragma once

#include "platform/ui/KeyedTree.h"

#include <memory>
#include <string>

class QWidget;

namespace ocable {

struct ViewContext;
namespace db {
class Recordset;
}
namespace ui {
class ActiveBar;
}

namespace systemtree {

// The transmission systems' routes on the network map: which cable segments
// stay drawn while systems are ticked and unticked, which are selected for a
// clicked group of systems, and the summary of those systems.
class SystemRoutes {
public:
    explicit SystemRoutes(ViewContext& view) : view_(view) {}

    // Applies a new check state to the route display of every system leaf
    // below the node whose state changes (or that is the origin itself).
    void showSystemsOfNode(const ui::KeyedTree& tree, ui::KeyedTree::NodeId node, bool state,
                           ui::KeyedTree::NodeId origin);
    // Counts the system on or off each of its segments; a segment leaves the
    // ordinary cable layer when no shown system runs over it any more.
    // Throws when a segment of the system has no drawn record.
    void showSystemRoute(const std::string& systemCode, bool show);

    // "'code'," for every system leaf below the node.
    static std::string collectSystemCodes(const ui::KeyedTree& tree, ui::KeyedTree::NodeId node);

    void clearSelections();
    // Selects the segments the listed systems run over ("('a','b')"),
    // directly, through their DWDM channels and at each route end, and
    // frames them.
    void selectSystemCables(const std::string& list);
    // The fibre segments that continue the route beyond each of its ends, as
    // " OR OcableCode = ..." entries.
    std::string getotherocablecode(db::Recordset& dwdm, std::string& list, db::Recordset& cables);

    bool propertyBandVisible();
    void showSystemSummary(const std::string& list, const std::string& nodeText);

private:
    ViewContext& view_;
};

// The condition of one cable for a layer search.
std::string cableCondition(const std::string& code);

// Docks a system's form (null: none) in band "frmProperty" as the host's
// property forms are docked: the band shows and its view tool is pressed.
// The host makes a new form for every request, so a host form it replaces
// goes.
void dockPropertyForm(ui::ActiveBar& bar, QWidget* form);

} // namespace systemtree
} // namespace ocable
