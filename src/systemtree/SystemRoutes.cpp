#include "systemtree/SystemRoutes.h"

#include "core/GuiConfig.h"
#include "core/Log.h"
#include "core/TextUtil.h"
#include "core/ViewContext.h"
#include "core/mPubVar.h"
#include "host/SharedNames.h"
#include "interaction/Locating.h"
#include "platform/db/SqlQuote.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Layers.h"
#include "platform/gis/Map.h"
#include "platform/ui/ActiveBar.h"
#include "resources/frmViewProperty.h"
#include "systemtree/SystemTreeTexts.h"

#include <QPointer>

#include <charconv>
#include <stdexcept>

namespace ocable::systemtree {

namespace {
constexpr const char* kSystemDb = "systemDB";

std::shared_ptr<db::Recordset> open(const std::string& sql) {
    return mPubVar::gobjDataAccess->openRecordset(kSystemDb, sql, 0);
}

bool hasRows(const std::shared_ptr<db::Recordset>& rs) {
    return rs && rs->State() == db::Recordset::ObjectState::Open && rs->RecordCount() > 0;
}

std::string trimmedCode(const db::Recordset& rs) {
    return text::trim(rs.Fields("ocableCode").toText());
}

// The number of shown systems over a segment; what does not read as a
// number counts as none.
int systemCount(const std::string& remark) {
    const std::string t = text::trim(remark);
    int n = 0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), n);
    return error == std::errc() && end == t.data() + t.size() ? n : 0;
}

// Ends a layer's batched write however the edits end.
class LayerWrite {
public:
    explicit LayerWrite(gis::Layer& layer) : layer_(layer) { layer_.BeginAccess(); }
    ~LayerWrite() { layer_.EndAccess(); }
    LayerWrite(const LayerWrite&) = delete;
    LayerWrite& operator=(const LayerWrite&) = delete;

private:
    gis::Layer& layer_;
};

// Only ordinary cable segments leave the map with their systems; a
// backbone segment's record is counted but its feature stays where it is
// (putting it back would draw it on the wrong layer).
bool onCableLayer(const clsFearture& record) {
    return record.layerName.empty() || record.layerName == vocab::kLayerCable;
}

void selectWhere(gis::Layer& layer, const std::string& condition) {
    const gis::FeatureSet found = layer.Search(condition);
    if (found.Count() > 0) layer.Selection().Add(found);
}

} // namespace

std::string cableCondition(const std::string& code) {
    return " OcableCode = \"" + code + "\"";
}

void SystemRoutes::showSystemsOfNode(const ui::KeyedTree& tree, ui::KeyedTree::NodeId id, bool state,
                                     ui::KeyedTree::NodeId origin) {
    const ui::KeyedTree::Node& node = tree.node(id);
    if (!node.children.empty()) {
        for (ui::KeyedTree::NodeId child : node.children)
            if (tree.contains(child)) showSystemsOfNode(tree, child, state, origin);
        return;
    }
    if (node.tag != texts::kTagSystem || (node.checked == state && id != origin)) return;
    const std::string code = text::field(node.key, ":", 2);
    if (!code.empty()) showSystemRoute(code, state);
}

void SystemRoutes::showSystemRoute(const std::string& systemCode, bool show) {
    auto rs = open("SELECT DISTINCT OCABLECODE FROM MAP_V_RE_CABLE_SUNNET_SYSTEM WHERE SYSTEMCODE = " +
                   db::sqlQuote(systemCode));
    if (!hasRows(rs) || !view_.map) return;
    gis::Layer& layer = view_.map->Layers().Item(vocab::kLayerCable);
    auto recordOf = [&](const std::string& code) -> clsFearture& {
        auto* record = view_.cableFeatures.find(code);
        if (!record || !*record) throw std::runtime_error("光缆段没有绘制记录：" + code);
        return **record;
    };
    if (show) {
        LayerWrite write(layer);
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
            clsFearture& record = recordOf(trimmedCode(*rs));
            if (record.isDelete && onCableLayer(record)) {
                gis::Feature back = record.ftr;
                back.setCarriedRow({record.label, record.ftrCode});
                record.ftrKey = layer.AddFeature(back).FeatureKey();
                record.isDelete = false;
            }
            record.remark = std::to_string(systemCount(record.remark) + 1);
        }
    } else {
        std::string conditions;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
            const std::string code = trimmedCode(*rs);
            clsFearture& record = recordOf(code);
            int count = systemCount(record.remark);
            if (count > 0) --count;
            record.remark = std::to_string(count);
            record.isDelete = count == 0 && onCableLayer(record);
            if (record.isDelete) conditions += " OR" + cableCondition(code);
        }
        if (!conditions.empty()) {
            const gis::FeatureSet found = layer.Search(conditions.substr(3));
            LayerWrite write(layer);
            for (const gis::Feature& f : found)
                layer.DeleteFeature(f);
        }
    }
    rs->Close();
}

std::string SystemRoutes::collectSystemCodes(const ui::KeyedTree& tree, ui::KeyedTree::NodeId id) {
    const ui::KeyedTree::Node& node = tree.node(id);
    if (!node.children.empty()) {
        std::string codes;
        for (ui::KeyedTree::NodeId child : node.children)
            if (tree.contains(child)) codes += collectSystemCodes(tree, child);
        return codes;
    }
    if (node.tag != texts::kTagSystem) return {};
    const std::string code = text::field(node.key, ":", 2);
    return code.empty() ? std::string() : "'" + code + "',";
}

void SystemRoutes::clearSelections() {
    if (!view_.map) return;
    gis::Layers& layers = view_.map->Layers();
    for (int i = 1; i <= layers.Count(); ++i)
        layers.Item(i).Selection().ClearSelection();
}

void SystemRoutes::selectSystemCables(const std::string& list) {
    if (!view_.map) return;
    gis::Layer& cableLayer = view_.map->Layers().Item(vocab::kLayerCable);
    gis::Layer& backboneLayer = view_.map->Layers().Item(vocab::kLayerBackbone);
    const bool byFiber = GuiConfig::localTransByFiber();
    auto cables = open(
        byFiber ? "SELECT DISTINCT OCABLECODE FROM MAP_V_RE_CABLE_SUNNET_SYSTEM WHERE SYSTEMCODE IN " + list
                : "select * from re_ocable_transsystem where systemcode in " + list);
    if (hasRows(cables)) {
        for (cables->MoveFirst(); !cables->Eof(); cables->MoveNext()) {
            const std::string condition = cableCondition(trimmedCode(*cables));
            selectWhere(cableLayer, condition);
            selectWhere(backboneLayer, condition);
        }
    }

    // Segments joining the same two stations as a DWDM link of one of the
    // systems' channels, in either direction.
    auto dwdm =
        open("SELECT DISTINCT OCABLECODE  "
             "FROM RE_DWDMC_SDHT D , EN_DWDM_RES R , EN_OCABLE O  , EN_DWDM_CHANNEL C  "
             "WHERE D.CHANNELSERIAL = C.DWDMCHANNELCODE AND C.DWDMTOPOLINKCODE =  R.DWDMTOPOLINKCODE  "
             "AND ((R.STATION_A =  O.STATION_A AND R.STATION_Z = O.STATION_Z) OR (R.STATION_A =  "
             "O.STATION_Z AND R.STATION_Z = O.STATION_A))  "
             "AND D.SYSTEMCODE IN" +
             list);
    if (hasRows(dwdm)) {
        std::string conditions;
        for (dwdm->MoveFirst(); !dwdm->Eof(); dwdm->MoveNext())
            conditions += " OR" + cableCondition(trimmedCode(*dwdm));
        std::string systems = list;
        db::Recordset none;
        conditions += " " + getotherocablecode(*dwdm, systems, cables ? *cables : none);
        selectWhere(cableLayer, conditions.substr(3));
        dwdm->Close();
    }
    fitViewToSelection(*view_.map);
}

std::string SystemRoutes::getotherocablecode(db::Recordset& dwdm, std::string& list, db::Recordset& cables) {
    std::string result;
    // 1. The segments of the route: the DWDM ones, then the direct ones.
    std::string condition;
    guarded("传输系统：路由光缆段", [&] {
        for (db::Recordset* rs : {&dwdm, &cables}) {
            if (rs->State() != db::Recordset::ObjectState::Open) continue;
            for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
                condition += " OR OcableCode = " + db::sqlQuote(trimmedCode(*rs));
        }
    });
    if (condition.empty()) return result;

    // 2. Their end stations: one "A&Z" entry per segment, and every end once
    // per segment it ends.
    std::vector<std::string> segments;
    std::vector<std::string> stations;
    guarded("传输系统：光缆段端站", [&] {
        auto rs = open("SELECT * FROM EN_Ocable WHERE " + condition.substr(3));
        if (!hasRows(rs)) return;
        std::string ends;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
            const std::string a = rs->Fields("station_A").toText();
            const std::string z = rs->Fields("station_Z").toText();
            segments.push_back(a + "&" + z);
            ends += "&" + a + "&" + z;
        }
        stations = text::split(ends, "&");
        rs->Close();
    });

    // 3. The systems whose fibres continue the route are named by the third
    // field of the channels' serials; without any the list stays.
    guarded("传输系统：波道所属系统", [&] {
        auto rs = open("select * from re_dwdmc_sdht where systemcode in " + list);
        if (!hasRows(rs)) return;
        std::string collected;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
            const std::string field = text::field(rs->Fields("channelSerial").toText(), ":", 3);
            if (collected.find(field) == std::string::npos) collected += "'" + field + "',";
        }
        if (!collected.empty()) list = "(" + collected.substr(0, collected.size() - 1) + ")";
        rs->Close();
    });

    // 4. A station that ends exactly one segment ends the route; the fibre
    // segment leaving it away from that segment continues it.
    for (const std::string& station : stations) {
        if (text::trim(station).empty()) continue;
        int matches = 0;
        std::string otherEnd;
        for (const std::string& segment : segments) {
            if (segment.find(station) == std::string::npos) continue;
            ++matches;
            otherEnd = segment;
            for (std::size_t at; (at = otherEnd.find(station)) != std::string::npos;)
                otherEnd.erase(at, station.size());
            std::erase(otherEnd, '&');
        }
        if (matches != 1) continue;
        guarded("传输系统：路由延伸光缆段", [&] {
            auto rs = open("select * from en_ocable o,V_EN_FIBER$OC v where o.ocablecode=v.ocablecode and "
                           "v.systemcode in " +
                           list + " and  ((station_a<>" + db::sqlQuote(otherEnd) + " and  station_z=" +
                           db::sqlQuote(station) + ") or (station_a=" + db::sqlQuote(station) +
                           " and station_z<>" + db::sqlQuote(otherEnd) + "))");
            if (!hasRows(rs)) return;
            rs->MoveFirst();
            result += " OR" + cableCondition(rs->Fields("ocableCode").toText());
            rs->Close();
        });
    }
    return result;
}

bool SystemRoutes::propertyBandVisible() {
    return view_.activebarMain && view_.activebarMain->bandVisible(texts::kPropertyBand);
}

void SystemRoutes::showSystemSummary(const std::string& list, const std::string& nodeText) {
    const std::string inner = list.size() >= 4 ? list.substr(2, list.size() - 4) : std::string();
    const std::vector<std::string> codes = text::split(inner, "','");
    if (codes.size() == 1) {
        if (codes.front().empty()) {
            mPubVar::gobjMessage->showNotice(texts::kNoObjectCode);
            return;
        }
        QWidget* form = mPubVar::gobjResService->propertyWindow(codes.front(), texts::kSystemTable);
        if (view_.activebarMain) dockPropertyForm(*view_.activebarMain, form);
        return;
    }
    frmViewProperty& property = frmViewProperty::instance();
    if (view_.activebarMain) dockPropertyForm(*view_.activebarMain, &property);
    property.clearProperties();
    property.addProperty(texts::kSummaryGroup, QString::fromStdString(nodeText), QString());
    property.addProperty(texts::kSummaryCount, QStringLiteral("存在%1个传输系统").arg(codes.size()),
                         QString());
}

void dockPropertyForm(ui::ActiveBar& bar, QWidget* form) {
    QPointer<QWidget> previous = bar.tool(texts::kPropertyBand, texts::kPropertyBand).hostedWindow;
    bar.setHostedWindow(texts::kPropertyBand, texts::kPropertyBand, form);
    bar.setBandVisible(texts::kPropertyBand, true);
    bar.setChecked(texts::kToolbar, texts::kPropertyTool, true);
    // The property window itself is shared and stays; a host form is ours
    // once docked, as the property window treats it.
    if (previous && previous != form && !qobject_cast<frmViewProperty*>(previous.data()))
        delete previous.data(); // at once: until then it is a second, hidden window of that name
}

} // namespace ocable::systemtree
