#include "interaction/StationMover.h"

#include "core/Log.h"
#include "core/NetworkVocabulary.h"
#include "core/ViewContext.h"
#include "core/mPubVar.h"
#include "interaction/InteractionTexts.h"
#include "interaction/MapSelection.h"
#include "platform/db/SqlQuote.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/ui/MessageBoxService.h"

#include <cmath>

namespace ocable {

namespace {
// A vertex closer than this (in degrees, each axis) lies on the old position.
constexpr double kSamePoint = 0.00001;
// The search radius around the old position, in pixels at the current view.
constexpr double kSearchPixels = 5.0;
} // namespace

void placeAt(gis::Feature& station, double lng, double lat) {
    // A symbol takes the point itself, so that it lands exactly there; an
    // offset by the difference could miss by a rounding.
    if (station.Type() == gis::FeatureType::Symbol)
        station.setPoint(gis::Point(lng, lat));
    else
        station.Offset(lng - station.CenterX(), lat - station.CenterY());
    station.Update();
}

std::string stationPositionSql(const std::string& stationCode, double lng, double lat) {
    return "UPDATE STATION SET LNG=" + db::sqlNumber(lng) + ",LAT=" + db::sqlNumber(lat) +
           " WHERE STATIONCODE = " + db::sqlQuote(stationCode);
}

void moveLineEnds(const gis::Feature& station, gis::Map& map, const std::string& layerName, double& oldLng,
                  double& oldLat) {
    gis::Layer& layer = map.Layers().Item(layerName);
    const gis::FeatureSet near =
        layer.SearchWithinDistance(gis::Point(oldLng, oldLat), kSearchPixels, gis::DistanceUnit::Pixel,
                                   gis::SearchType::PartiallyWithin);
    const gis::Point now(station.CenterX(), station.CenterY());
    layer.BeginAccess(gis::AccessMode::ReadWrite);
    for (gis::Feature line : near) {
        if (line.Parts().Count() == 0) continue;
        gis::Points moved;
        bool replaced = false;
        for (const gis::Point& p : line.Parts().Item(1)) {
            if (!replaced && std::abs(p.x - oldLng) < kSamePoint && std::abs(p.y - oldLat) < kSamePoint) {
                moved.Add(now);
                replaced = true;
            } else {
                moved.Add(p);
            }
        }
        line.Parts().RemoveAll();
        line.Parts().Add(moved);
        line.Update();
    }
    layer.EndAccess();
}

void StationMover::saveStationPosition(const gis::Feature& station) {
    gis::Map& map = *view_.map;
    const std::string code = rowValue(map, station, 2);
    mPubVar::gobjDataAccess->executeSql(vocab::kConnection,
                                        stationPositionSql(code, station.CenterX(), station.CenterY()));
}

bool StationMover::confirmMove(gis::Feature& station, double startLng, double startLat) {
    if (station.CenterX() == startLng && station.CenterY() == startLat) return false;
    using Box = ui::MessageBoxService;
    const std::string question =
        std::string(texts::kSaveQuestionHead) + station.Name() + texts::kSaveQuestionTail;
    const auto answer = Box::instance().show(question, texts::kSaveTitle, Box::Buttons::YesNo,
                                             Box::Icon::Question, Box::Answer::Yes, view_.window);
    if (answer != Box::Answer::Yes) {
        placeAt(station, startLng, startLat);
        return false;
    }
    // Each step goes on without the one before it: the map keeps the new
    // position even when the database refuses it.
    guarded("保存局站位置", [&] { saveStationPosition(station); });
    for (const char* layer : {vocab::kLayerCable, vocab::kLayerBackbone, vocab::kLayerMicrowave})
        guarded("移动线路端点", [&] { moveLineEnds(station, *view_.map, layer, startLng, startLat); });
    guarded("更新局站记录", [&] { keepRecordsInStep(station); });
    return true;
}

// The resource tree puts a hidden station back from its saved copy, which
// must be where the station now stands.
void StationMover::keepRecordsInStep(const gis::Feature& station) {
    const std::string code = rowValue(*view_.map, station, 2);
    if (auto* record = view_.stationFeatures.find(code)) (*record)->ftr.setPoint(station.Point());
}

} // namespace ocable
