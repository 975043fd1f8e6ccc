#include "interaction/PopupCommands.h"

#include "core/Log.h"
#include "core/NetworkVocabulary.h"
#include "core/TextUtil.h"
#include "core/ViewContext.h"
#include "core/mPubVar.h"
#include "interaction/InteractionTexts.h"
#include "interaction/MapSelection.h"
#include "interaction/Measurement.h"
#include "map/NetworkDrawing.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/ui/MessageBoxService.h"
#include "resources/frmShowLineInfox.h"
#include "resources/frmViewProperty.h"
#include "resources/frmWaiting.h"

#include <QCoreApplication>

namespace ocable {

namespace {

void letEventsRun() {
    QCoreApplication::processEvents();
}

// A field of a cached record, empty when the record or field is missing.
std::string recordValue(clsResTree& store, const std::string& key, const std::string& field) {
    auto record = store.Item(key);
    if (!record) return {};
    auto f = record->Item(field);
    return f ? text::trim(f->Value) : std::string();
}

} // namespace

void PopupCommands::registerCommands() {
    auto& table = view_.menuCommands;
    table["mnuRefresh"] = [this] { redrawMap(); };
    table["mnuProperty"] = [this] { showSelectedProperty(); };
    table["mnuPrint"] = [] {};
    table["mnuShowRoom"] = [this] { showStationRoom(); };
    table["mnu_ShowGL"] = [this] { showCableNetworkView("GL"); };
    table["mnu_ShowGX"] = [this] { showCableNetworkView("GX"); };
    table["mnufault"] = [this] { showMainFrom(); };
    table["mnuPassTrans"] = [this] { showStationTransmission(); };
    table["mnuFiber"] = [this] { showFibers(); };
    table["mnuGetLength"] = [this] { Measurement(view_).showCableLength(); };
    table["mnuXY"] = [this] { Measurement(view_).showPointDistance(); };
    table["mnuLineinfo"] = [this] { frmShowLineInfox::showBackboneLineInfo(view_); };
}

void PopupCommands::redrawMap() {
    std::string rule = view_.ruleName, scope = view_.scope;
    drawing_.drawOcableNetMap(rule, scope);
}

void PopupCommands::showSelectedProperty() {
    guarded("显示属性", [&] {
        gis::Map& map = *view_.map;
        std::vector<std::string> texts;
        gis::Feature single;
        for (int i = 1; i <= map.Layers().Count(); ++i) {
            gis::Layer& layer = map.Layers().Item(i);
            if (layer.Name() == vocab::kLayerAlarm || layer.Name() == "China") continue;
            const gis::Selection& selection = layer.Selection();
            for (int j = 1; j <= selection.Count(); ++j) {
                const gis::Feature f = selection.Item(j);
                texts.push_back(mPubVar::gobjCommon->getField(layer.Name(), "_", 2) + ":" +
                                rowValue(map, f, 1) + "[" + rowValue(map, f, 2) + "]");
                single = f;
            }
        }
        frmViewProperty::instance().clearProperties();
        if (texts.size() != 1) return;
        const std::string prefix = frmViewProperty::getLayerKindPrefix(map, single.Layer()->Name());
        if (prefix.empty()) return;
        const std::string& t = texts.front();
        const auto open = t.find('[');
        const std::string code = t.substr(open + 1, t.size() - open - 2);
        frmViewProperty::showSingleProperty(view_, prefix + ":" + code);
    });
}

void PopupCommands::showStationRoom() {
    guarded("机房面板图", [&] {
        const gis::Feature station = singleSelectedStation(*view_.map);
        if (station.isNull()) return;
        ui::MessageBoxService::instance().show(
            texts::kStationRoomLater, "", ui::MessageBoxService::Buttons::OK,
            ui::MessageBoxService::Icon::None, ui::MessageBoxService::Answer::OK, view_.window);
    });
}

void PopupCommands::showCableNetworkView(const std::string& kind) {
    gis::Map& map = *view_.map;
    std::string code;
    for (int i = 1; i <= map.Layers().Count() && code.empty(); ++i) {
        gis::Layer& layer = map.Layers().Item(i);
        if (!layer.Visible() ||
            (layer.Name() != vocab::kLayerCable && layer.Name() != vocab::kLayerBackbone) ||
            layer.Selection().Count() == 0)
            continue;
        code = rowValue(map, layer.Selection().Item(1), 2);
    }
    // The host's other views want the logged-in user first.
    const std::string login = mPubVar::gobjSysEnv->getUserName();
    guarded("等待窗口", [] {
        frmWaiting::instance().showAndPaint();
        frmWaiting::instance().raise();
    });
    letEventsRun();
    const bool duct = text::equalsIgnoringAsciiCase(kind, "GX");
    const bool cable = text::equalsIgnoringAsciiCase(kind, "GL");
    if (duct || cable)
        guarded("打开网络视图", [&] {
            mPubVar::gobjViewBridge->callView(duct ? "showGdFromOcable" : "showOcableFromOcable", login,
                                              code);
        });
    frmWaiting::unload();
    letEventsRun();
}

std::vector<std::string> PopupCommands::showMainFrom() {
    std::vector<std::string> codes;
    guarded("光缆段编码", [&] {
        gis::Map& map = *view_.map;
        const gis::Selection& selection = map.Layers().Item(vocab::kLayerCable).Selection();
        for (int i = 1; i <= selection.Count(); ++i)
            codes.push_back(
                map.Datasets().Item(vocab::kLayerCable).Value(selection.Item(i), vocab::kCableCodeColumn));
    });
    return codes;
}

void PopupCommands::showStationTransmission() {
    gis::Map& map = *view_.map;
    const gis::Feature station = singleSelectedStation(map);
    if (station.isNull()) return;
    mPubVar::gobjResService->showStationTransmission("STATIONNAME,STATIONCODE;" + rowValue(map, station, 1) +
                                                     "," + rowValue(map, station, 2));
}

void PopupCommands::showFibers() {
    gis::Map& map = *view_.map;
    std::string codes, description;
    for (const char* name : {vocab::kLayerCable, vocab::kLayerBackbone}) {
        const gis::Selection& selection = map.Layers().Item(name).Selection();
        for (int i = 1; i <= selection.Count(); ++i) {
            const std::string key = vocab::cableKey(rowValue(map, selection.Item(i), 2));
            auto value = [&](const char* field) { return recordValue(*view_.resTree, key, field); };
            const std::string code = value("OCABLECODE");
            if (code.empty()) continue;
            if (!codes.empty()) {
                codes += "<>";
                description += "<>";
            }
            codes += code;
            // Name and the two ends, so the fibre view can say which segment it shows.
            description += value("OCABLENAME") + "," + value("LNG_A") + "," + value("LAT_A") + "," +
                           value("LNG_Z") + "," + value("LAT_Z");
        }
    }
    if (codes.empty()) return;
    mPubVar::gobjResService->showFibers(codes, description);
}

} // namespace ocable
