#include "map/NetworkDrawing.h"

#include "map/ClassCriteria.h"

#include "core/GuiConfig.h"
#include "core/Log.h"
#include "core/NetworkVocabulary.h"
#include "core/TextUtil.h"
#include "core/mPubFun.h"
#include "core/mPubVar.h"
#include "platform/db/SqlQuote.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/ui/KeyedTree.h"
#include "resources/AreaScope.h"

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <vector>

namespace ocable {

namespace {

constexpr const char* kRuleOrScopeError = "划分规则或划分范围有错！";
constexpr const char* kDrawingError = "绘制光缆网络分布图时出错！";

// A failed query is a query without rows: the layers it would fill stay
// empty and the rest of the network is still drawn.
std::shared_ptr<db::Recordset> open(const std::string& sql) {
    return mPubFun::openRecordset(sql);
}

bool hasRows(const std::shared_ptr<db::Recordset>& rs) {
    return rs && rs->RecordCount() > 0;
}

// Filters rs to the rows of one province, "A = 'p'" or "A = 'p' OR B = 'p'":
// found from the columns' indexes, since the drawing asks this of every
// province in turn, and by the filter itself where an index cannot answer.
void showProvinceRows(db::Recordset& rs, std::initializer_list<const char*> columns,
                      const std::string& province) {
    const std::string literal = db::sqlQuote(province);
    std::string criteria;
    std::vector<std::uint32_t> rows;
    bool indexed = true;
    for (const char* column : columns) {
        criteria += (criteria.empty() ? "" : " OR ") + std::string(column) + " = " + literal;
        if (auto found = indexed ? rs.rowsWithText(column, province) : std::nullopt)
            rows.insert(rows.end(), found->begin(), found->end());
        else
            indexed = false;
    }
    if (!indexed) {
        rs.setFilter(criteria);
        return;
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rs.setFilteredRows(criteria, std::move(rows));
}

} // namespace

bool NetworkDrawing::drawOcableNetMap(std::string& ruleName, std::string& scope) {
    // The flag goes up before any event runs: a close waiting in the queue
    // would otherwise unload the window under the drawing.
    state_.drawing = true;
    call(hooks_.letEventsRun);
    if (scope == vocab::kScopeAll && ruleName.empty()) {
        guarded("提示划分错误", [] { mPubVar::gobjMessage->showNotice(kRuleOrScopeError); });
        state_.drawing = false;
        return false;
    }
    try {
        run(ruleName, scope);
    } catch (const std::exception& e) {
        // The user reads the short message; what failed goes to the log.
        qCWarning(lcComponent, "%s 原因：%s", kDrawingError, e.what());
        guarded("报告绘制错误", [] { mPubVar::gobjMessage->reportError(kDrawingError); });
        call(hooks_.unloadWaiting);
        state_.drawing = false;
        return false;
    }
    call(hooks_.letEventsRun);
    state_.drawing = false;
    call(hooks_.unloadWaiting);
    call(hooks_.letEventsRun);
    return true;
}

void NetworkDrawing::run(const std::string& ruleName, const std::string& scope) {
    state_.ruleName = ruleName;
    state_.scope = scope;
    gis::Map& map = *state_.map;
    for (const auto& name : state_.LayerDictionary) {
        map.Layers().Item(name).Selection().ClearSelection();
        mdlViewMap::clearMapLayers(name, map);
    }
    backboneGroups_.clear();

    state_.resTree = std::make_unique<clsResTree>();
    call(hooks_.showWaiting);
    call(hooks_.letEventsRun);
    phase("clear");

    loadMapRecordsets();
    phase("load");
    {
        // Views of the tree follow once, when it is complete.
        ui::KeyedTree::BulkUpdate bulk(*state_.TreeRes);
        buildAreaNodes();
        call(hooks_.letEventsRun);
        phase("areas");
        if (hasRows(state_.stationRecordset)) drawStations();
        phase("stations");
        if (hasRows(state_.cableRecordset)) drawCables();
        phase("cables");
        drawMicrowave();
        phase("microwave");
        mPubVar::gobjCommon->setNodeChecked(*state_.TreeRes, vocab::kTreeRootKey, true);
    }
    call(hooks_.mirrorResourceTree);
    phase("tree");
}

void NetworkDrawing::loadMapRecordsets() {
    std::string stationSql, cableSql;
    if (state_.scope != vocab::kScopeAll) {
        std::string stationCondition, cableCondition;
        AreaScope::getDomainFilters(state_.ruleName, state_.scope, stationCondition, cableCondition);
        stationSql = "SELECT * FROM STATION WHERE " + stationCondition;
        cableSql = "SELECT * FROM MAP_V_EN_OCABLE WHERE " + cableCondition;
    } else {
        const int level = mPubVar::gobjSysEnv->getUserLevel();
        if (level == 0 || level == 1) {
            stationSql = std::string("SELECT * FROM STATION") +
                         " WHERE (x_stationtype = 'ZY010301' OR x_stationtype = 'ZY010312'" +
                         " Or stationtype_ii='ZY010301' OR stationtype_ii='ZY010312'" +
                         " Or stationtype_iii='ZY010301' OR stationtype_iii='ZY010312') ";
            cableSql = std::string("SELECT * FROM MAP_V_EN_OCABLE") +
                       " WHERE reslevel = 'ZY132003' OR x_syslevel='ZY110502' ";
        } else {
            stationSql = "SELECT * FROM STATION";
            cableSql = "SELECT * FROM MAP_V_EN_OCABLE";
        }
    }
    state_.stationRecordset = open(stationSql);
    state_.cableRecordset = open(cableSql);
}

void NetworkDrawing::buildAreaNodes() {
    ui::KeyedTree& tree = *state_.TreeRes;
    auto& common = *mPubVar::gobjCommon;
    tree.Clear();
    common.addTreeNode(tree, "", vocab::kTreeRootKey, vocab::kTreeRootText);
    tree.node(vocab::kTreeRootKey).expanded = true;

    const std::string caption = GuiConfig::areaNodeCaption();
    std::vector<std::string> areas;
    if (state_.scope != vocab::kScopeAll) {
        areas = text::split(state_.scope, ",");
    } else if (const std::string all = AreaScope::getAdminDomains(); !all.empty()) {
        areas = text::split(all, ",");
    }

    state_.provinces.clear();
    for (const std::string& area : areas) {
        // An empty scope, or an empty name between two commas, names no
        // area: a node under the empty key could be neither found nor told
        // apart from the root's parent.
        if (area.empty()) continue;
        common.addTreeNode(tree, vocab::kTreeRootKey, area, caption);
        tree.node(area).expanded = true;
        auto rs =
            open("SELECT XTXX , PROVINCE FROM EN_PROVINCE,XTBM WHERE PROVINCE = XTBM AND DOMAINNAME = " +
                 db::sqlQuote(text::trim(area)));
        if (!rs) continue;
        for (; !rs->Eof(); rs->MoveNext()) {
            const std::string province = text::trim(rs->Fields("PROVINCE").toText());
            common.addTreeNode(tree, area, province, text::trim(rs->Fields("XTXX").toText()));
            common.addTreeNode(tree, province, vocab::provinceStationsKey(province),
                               vocab::kTreeStationsText);
            common.addTreeNode(tree, province, vocab::provinceCablesKey(province), vocab::kTreeCablesText);
            state_.provinces.push_back(province);
        }
        rs->Close();
    }
}

void NetworkDrawing::drawStations() {
    gis::Map& map = *state_.map;
    db::Recordset* rs = state_.stationRecordset.get();
    state_.stationFeatures.Clear();
    const mdlViewMap::SymbolFields fields;

    rs->setFilter(criteria::kTerminalStations);
    mdlViewMap::buildSymbolLayer(rs, map, vocab::kLayerTerminal, fields, vocab::kBitmapTerminal,
                                 vocab::kSymbolSize, &state_.stationFeatures);

    const auto symbols = mPubFun::getCustomSymbolDir();
    std::error_code ec;
    // The host's folders were filled on a file system that ignores case.
    const bool relayBitmap =
        !symbols.empty() && std::filesystem::exists(mPubFun::resolvePath(symbols, {vocab::kBitmapRelay}), ec);
    rs->setFilter(criteria::kRelayStations);
    mdlViewMap::buildSymbolLayer(rs, map, vocab::kLayerTerminal, fields,
                                 relayBitmap ? vocab::kBitmapRelay : vocab::kBitmapTerminal,
                                 vocab::kSymbolSize, &state_.stationFeatures);

    // Station names may overlap nothing, yet every station is named.
    gis::Layer& terminal = map.Layers().Item(vocab::kLayerTerminal);
    gis::LabelStyle labels = terminal.LabelStyle();
    labels.Overlap = false;
    labels.Duplicate = true;
    terminal.setLabelStyle(labels);

    rs->setFilter(criteria::kOtherStations);
    mdlViewMap::buildSymbolLayer(rs, map, vocab::kLayerOtherStation, fields, vocab::kBitmapOther,
                                 vocab::kSymbolSize, &state_.stationFeatures);
    gis::Layer& other = map.Layers().Item(vocab::kLayerOtherStation);
    labels = other.LabelStyle();
    labels.Duplicate = true;
    other.setLabelStyle(labels);

    for (const std::string& province : state_.provinces) {
        showProvinceRows(*rs, {"PROVINCE"}, province);
        mdlViewMap::addTreeNodes(rs, *state_.TreeRes, vocab::provinceStationsKey(province), "STATIONCODE",
                                 "STATIONNAME");
    }
    rs->setFilter("");
    mdlViewMap::fillRecordStore(state_.stationRecordset, *state_.resTree, vocab::kStationKeyPrefix,
                                "STATIONCODE", vocab::kStationTable);

    // A station drawn in both layers ends up marked with the later one.
    const std::pair<const char*, const char*> classes[] = {{vocab::kLayerTerminal, vocab::kClassTerminal},
                                                           {vocab::kLayerOtherStation, vocab::kClassOther}};
    for (const auto& [layerName, className] : classes) {
        gis::Layer& layer = map.Layers().Item(layerName);
        gis::Dataset& dataset = map.Datasets().Item(layerName);
        layer.BeginAccess(gis::AccessMode::Read);
        const gis::FeatureSet all = layer.AllFeatures();
        if (&dataset.Layer() == &layer && all.Count() > 0) {
            // Read the codes where the layer keeps them: making a whole
            // feature of each of a hundred thousand stations to read one
            // column costs more than the rest of the marking.
            const int column = layer.columnIndex(vocab::kStationCodeColumn);
            if (column == 0)
                dataset.Value(all.Item(1), vocab::kStationCodeColumn); // throws, naming the column
            for (const std::uint32_t id : all.ids()) {
                const std::string* code = layer.valueOf(id, static_cast<std::size_t>(column - 1));
                if (auto* record = code ? state_.stationFeatures.find(*code) : nullptr)
                    (*record)->remark = className;
            }
        } else {
            for (const gis::Feature& f : all) {
                if (auto* record = state_.stationFeatures.find(dataset.Value(f, vocab::kStationCodeColumn)))
                    (*record)->remark = className;
            }
        }
        layer.EndAccess();
    }
}

void NetworkDrawing::drawCables() {
    gis::Map& map = *state_.map;
    db::Recordset* rs = state_.cableRecordset.get();
    state_.cableFeatures.Clear();
    const mdlViewMap::LineFields fields;

    for (const auto& mode : vocab::kLayModes) {
        rs->setFilter(criteria::backboneCables(mode.code));
        if (rs->RecordCount() > 0)
            mdlViewMap::buildBackboneLayer(rs, map, vocab::kLayerBackbone, fields,
                                           {3, gis::rgb(0, 0, 255), mode.pattern}, backboneGroups_,
                                           state_.cableFeatures);
    }
    for (const auto& mode : vocab::kLayModes) {
        rs->setFilter(criteria::ordinaryCables(mode.code));
        if (rs->RecordCount() > 0)
            mdlViewMap::buildLineLayer(rs, map, vocab::kLayerCable, fields,
                                       {1, gis::rgb(0, 0, 0), mode.pattern}, &state_.cableFeatures);
    }
    countSystemsPerCable();

    for (const std::string& province : state_.provinces) {
        showProvinceRows(*rs, {"PROVINCE_A", "PROVINCE_Z"}, province);
        if (rs->RecordCount() > 0)
            mdlViewMap::addTreeNodes(rs, *state_.TreeRes, vocab::provinceCablesKey(province), "OCABLECODE",
                                     "OCABLENAME");
    }
    rs->setFilter("");
    mdlViewMap::fillRecordStore(state_.cableRecordset, *state_.resTree, vocab::kCableKeyPrefix, "OCABLECODE",
                                vocab::kCableTable);
}

void NetworkDrawing::drawMicrowave() {
    auto rs = open("select * from MAP_V_EN_MW_Seg");
    if (!rs || rs->State() != db::Recordset::ObjectState::Open || rs->Eof()) return;
    state_.microwaveFeatures.Clear();
    mdlViewMap::LineFields fields;
    fields.label = "seg_name";
    fields.code = "seg_code";
    mdlViewMap::buildLineLayer(rs.get(), *state_.map, vocab::kLayerMicrowave, fields,
                               {1, gis::rgb(0, 0, 0), vocab::kMicrowavePattern}, &state_.microwaveFeatures);
}

void NetworkDrawing::countSystemsPerCable() {
    try {
        auto rs = open("SELECT OCABLECODE ,COUNT(SYSTEMCODE) AS CNT FROM MAP_V_RE_CABLE_SUNNET_SYSTEM GROUP "
                       "BY OCABLECODE ");
        if (!rs) return;
        for (; !rs->Eof(); rs->MoveNext()) {
            if (auto* record = state_.cableFeatures.find(text::trim(rs->Fields("ocableCode").toText())))
                (*record)->remark = rs->Fields("cnt").toText();
        }
        rs->Close();
    } catch (const std::exception& e) {
        // The counts are a convenience; a failing view leaves them unset.
        qCWarning(lcComponent, "光缆承载系统数未能统计：%s", e.what());
    }
}

} // namespace ocable
