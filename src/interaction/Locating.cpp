#include "interaction/Locating.h"

#include "core/NetworkVocabulary.h"
#include "core/ViewContext.h"
#include "interaction/InteractionTexts.h"
#include "interaction/MapSelection.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/gis/SearchExpression.h"
#include "platform/ui/MessageBoxService.h"

namespace ocable {

namespace {

// The layer's one feature with the code; null when none or several.
gis::Feature findOne(gis::Map& map, const char* layer, const char* column, const std::string& code) {
    const gis::FeatureSet found = map.Layers().Item(layer).Search(gis::searchTerm(column, code));
    return found.Count() == 1 ? found.Item(1) : gis::Feature{};
}

void selectAndFit(gis::Map& map, const gis::Feature& f) {
    map.Layers().Item(f.Layer()->Name()).Selection().Add(f);
    fitViewToSelection(map);
}

void inform(const char* text, QWidget* parent) {
    using Box = ui::MessageBoxService;
    Box::instance().show(text, texts::kInfoTitle, Box::Buttons::OK, Box::Icon::Information, Box::Answer::OK,
                         parent);
}

} // namespace

void fitViewToSelection(gis::Map& map) {
    double xmax = 0, ymax = 0, xmin = 0, ymin = 0;
    bool first = true;
    auto widen = [&](double x, double y) {
        if (x > xmax) xmax = x;
        if (x < xmin) xmin = x;
        if (y > ymax) ymax = y;
        if (y < ymin) ymin = y;
    };
    for (int i = 1; i <= map.Layers().Count(); ++i) {
        const gis::Selection& selection = map.Layers().Item(i).Selection();
        for (int j = 1; j <= selection.Count(); ++j) {
            const gis::Feature f = selection.Item(j);
            const bool symbol = f.Type() == gis::FeatureType::Symbol;
            const bool shape = f.Type() == gis::FeatureType::Line || f.Type() == gis::FeatureType::Region;
            const bool hasPart = shape && f.Parts().Count() > 0 && f.Parts().Item(1).Count() > 0;
            if (first) {
                first = false;
                if (symbol) {
                    xmax = xmin = f.CenterX();
                    ymax = ymin = f.CenterY();
                } else if (hasPart) {
                    const gis::Point& p = f.Parts().Item(1).Item(1);
                    xmax = xmin = p.x;
                    ymax = ymin = p.y;
                }
            }
            if (symbol)
                widen(f.CenterX(), f.CenterY());
            else if (hasPart)
                for (const gis::Point& p : f.Parts().Item(1))
                    widen(p.x, p.y);
        }
    }
    if (!first) map.setBounds(gis::Rectangle(xmax, ymax, xmin, ymin));
}

bool Locating::selectStation(const std::string& stationCode) {
    gis::Map& map = *view_.map;
    clearAllSelections(map);
    gis::Feature f = findOne(map, vocab::kLayerTerminal, vocab::kStationCodeColumn, stationCode);
    if (f.isNull()) f = findOne(map, vocab::kLayerOtherStation, vocab::kStationCodeColumn, stationCode);
    if (f.isNull()) return false;
    selectAndFit(map, f);
    return true;
}

bool Locating::locateStation(const std::string& stationCode) {
    if (selectStation(stationCode)) return true;
    inform(texts::kStationNotFound, view_.window);
    return false;
}

bool Locating::pointStationByAlarm(const std::string& stationCode) {
    return selectStation(stationCode);
}

bool Locating::locateOcable(const std::string& ocableCode) {
    gis::Map& map = *view_.map;
    clearAllSelections(map);
    gis::Feature f = findOne(map, vocab::kLayerCable, vocab::kCableCodeColumn, ocableCode);
    if (f.isNull()) f = findOne(map, vocab::kLayerBackbone, vocab::kCableCodeColumn, ocableCode);
    if (f.isNull()) {
        inform(texts::kCableNotFound, view_.window);
        return false;
    }
    selectAndFit(map, f);
    return true;
}

} // namespace ocable
