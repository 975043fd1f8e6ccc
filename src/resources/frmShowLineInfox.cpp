#include "resources/frmShowLineInfox.h"

#include "core/Log.h"
#include "core/NetworkVocabulary.h"
#include "core/ViewContext.h"
#include "core/clsResTree.h"
#include "core/mPubFun.h"
#include "core/mPubVar.h"
#include "platform/db/SqlQuote.h"
#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"
#include "platform/ui/SheetGrid.h"
#include "resources/CodeTranslation.h"

#include <QHeaderView>
#include <QPointer>
#include <QStyle>

#include <algorithm>

#include <cmath>
#include <map>
#include <optional>
#include <unordered_set>

namespace ocable {

namespace {

constexpr const char* kCaption = "骨干光缆段";
constexpr const char* kEndFields[4] = {"LNG_A", "LAT_A", "LNG_Z", "LAT_Z"};

QPointer<frmShowLineInfox>& shared() {
    static QPointer<frmShowLineInfox> instance;
    return instance;
}

// One end coordinate as the chosen segment gives it, and its number.
struct EndText {
    std::string text;
    std::optional<double> number;
};

// Whether a loaded cell reads exactly as the end. A real prints with at most
// 15 significant digits, so one that prints as the end's text lies within a
// few units of the 15th digit of its number: reals further off are passed
// over without being printed, which keeps a scan of the national network's
// records quick.
bool readsAs(const db::Value& cell, const EndText& end) {
    if (cell.isReal() && end.number) {
        const double v = *cell.toDouble();
        if (std::abs(v - *end.number) > 1e-9 * std::max(1.0, std::abs(*end.number))) return false;
    }
    return cell.toText() == end.text;
}

// Where the four ends and the code lie in a recordset the store's records
// read from; -1 for a column it lacks.
struct RowColumns {
    int ends[4];
    int code;
};

// Codes are collection keys, which compare without regard to ASCII case.
std::string keyOf(std::string code) {
    for (char& c : code)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return code;
}

} // namespace

frmShowLineInfox::frmShowLineInfox(QWidget* parent)
    : QWidget(parent, Qt::Window), grid_(new ui::SheetGrid(this)) {
    setObjectName("frmShowLineInfox");
    setAttribute(Qt::WA_DeleteOnClose);
    grid_->setObjectName("fbLineShow");
    grid_->setFont(QFont("Arial", 9));
    resize(760, 300);
}

void frmShowLineInfox::showLines(clsResTree* resTree, const Ends& ends, const std::string& tableName,
                                 const FeatureRecords*) {
    resTree_ = resTree;
    ends_ = ends;
    tableName_ = tableName;
}

void frmShowLineInfox::load() {
    hiddenColumns_ = 0;
    guarded("线路信息：列字典", [&] { loadColumns(); });
    guarded("线路信息：标题", [&] {
        setWindowTitle(QString::fromUtf8(kCaption));
        grid_->setSheetName(1, QString::fromUtf8(kCaption));
    });
    guarded("线路信息：表格格式", [&] {
        mPubVar::gobjGridService->setupGrid(grid_);
        mPubVar::gobjGridService->formatGrid(grid_, true, "");
    });
    std::vector<std::string> codes;
    guarded("线路信息：同端光缆段", [&] {
        if (resTree_) codes = matchingCodes(*resTree_, ends_);
    });
    guarded("线路信息：填表", [&] { fillRows(codes); });
    guarded("线路信息：列宽",
            [&] { grid_->setColWidthAuto(-1, 1, grid_->maxRow(), grid_->maxCol() - hiddenColumns_, true); });
    // The store is the main window's; the window holds it no longer than the load.
    resTree_ = nullptr;
}

void frmShowLineInfox::loadColumns() {
    const auto rs = mPubFun::openRecordset("select * from tabledictionarynew where tablename = " +
                                           db::sqlQuote(tableName_) + " order by isvisible desc,serial");
    if (rs) {
        dictionary_.clear();
        std::unordered_set<std::string> taken;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
            Column c{rs->Fields("ENFIELD").toText(), rs->Fields("CHFIELD").toText(),
                     rs->Fields("isVisible").toText() == "Y"};
            // The dictionary holds a column once; a second entry is passed over.
            if (!taken.insert(c.field).second) {
                qCWarning(lcComponent, "线路信息：列“%s”在字典中重复，后一条略过", c.field.c_str());
                continue;
            }
            dictionary_.push_back(std::move(c));
        }
    }
    columnFields_.clear();
    for (const Column& c : dictionary_)
        columnFields_.push_back(c.field);
    const int count = static_cast<int>(dictionary_.size());
    grid_->setMaxCol(count);
    grid_->setMaxRow(1);
    for (int j = 1; j <= count; ++j) {
        const Column& c = dictionary_[static_cast<std::size_t>(j - 1)];
        grid_->setColText(j, QString::fromStdString(c.caption));
        grid_->setColHidden(j, !c.visible);
        hiddenColumns_ += !c.visible;
    }
}

std::vector<std::string> frmShowLineInfox::matchingCodes(clsResTree& store, const Ends& ends) {
    EndText want[4];
    for (int i = 0; i < 4; ++i)
        want[i] = {ends[static_cast<std::size_t>(i)], db::parseNumber(ends[static_cast<std::size_t>(i)])};
    // The other direction: Z end first.
    const EndText* forward[4] = {&want[0], &want[1], &want[2], &want[3]};
    const EndText* backward[4] = {&want[2], &want[3], &want[0], &want[1]};

    std::vector<std::string> codes;
    std::unordered_set<std::string> taken;
    auto add = [&](std::string code) {
        if (!code.empty() && taken.insert(keyOf(code)).second) codes.push_back(std::move(code));
    };
    std::map<const clsViewRecord::RowSource*, RowColumns> columns;
    const long count = store.count();
    for (long i = 1; i <= count; ++i) {
        const auto record = store.Item(static_cast<std::int32_t>(i));
        if (!record) continue;
        if (const clsViewRecord::RowSource* source = record->rowSource()) {
            // Read from the loaded row: making the fields of every record would
            // cost far more than the comparison.
            const db::Recordset& rows = source->rows();
            auto at = columns.find(source);
            if (at == columns.end()) {
                RowColumns c{};
                for (int e = 0; e < 4; ++e)
                    c.ends[e] = rows.FieldIndex(kEndFields[e]);
                c.code = rows.FieldIndex("OCABLECODE");
                at = columns.emplace(source, c).first;
            }
            const RowColumns& c = at->second;
            if (c.code < 0 || c.ends[0] < 0 || c.ends[1] < 0 || c.ends[2] < 0 || c.ends[3] < 0) continue;
            const std::size_t row = record->rowIndex();
            auto matches = [&](const EndText* const* order) {
                for (int e = 0; e < 4; ++e)
                    if (!readsAs(rows.valueAt(row, c.ends[e]), *order[e])) return false;
                return true;
            };
            if (matches(forward) || matches(backward)) add(rows.valueAt(row, c.code).toText());
            continue;
        }
        std::string value[4];
        bool complete = true;
        for (int e = 0; e < 4 && complete; ++e) {
            const auto field = record->Item(std::string(kEndFields[e]));
            complete = field != nullptr;
            if (field) value[e] = field->Value;
        }
        const auto code = record->Item(std::string("OCABLECODE"));
        if (!complete || !code) continue;
        auto matches = [&](const EndText* const* order) {
            for (int e = 0; e < 4; ++e)
                if (value[e] != order[e]->text) return false;
            return true;
        };
        if (matches(forward) || matches(backward)) add(code->Value);
    }
    return codes;
}

void frmShowLineInfox::fillRows(const std::vector<std::string>& codes) {
    const std::size_t columnCount = columnFields_.size();
    // Every cell's value first, then each distinct value translated once:
    // the same texts as a code-table query per cell, in one query.
    std::vector<std::vector<std::optional<std::string>>> rows;
    std::vector<std::string> values;
    std::unordered_set<std::string> missing;
    for (const std::string& code : codes) {
        const auto rs = mPubFun::openRecordset("select * from V_" + tableName_ +
                                               "$OC where OCABLECODE=" + db::sqlQuote(code));
        if (!rs) continue;
        std::vector<int> at(columnCount);
        for (std::size_t c = 0; c < columnCount; ++c) {
            at[c] = rs->FieldIndex(columnFields_[c]);
            if (at[c] < 0 && missing.insert(columnFields_[c]).second)
                qCWarning(lcComponent, "线路信息：明细视图没有列“%s”，该列留空", columnFields_[c].c_str());
        }
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
            auto& row = rows.emplace_back(columnCount);
            for (std::size_t c = 0; c < columnCount; ++c)
                if (at[c] >= 0) values.push_back(*(row[c] = rs->Fields(at[c]).toText()));
        }
    }
    const auto texts = codes::translateAll(values);
    if (!rows.empty()) grid_->setMaxRow(static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < columnCount; ++c)
            if (const auto& value = rows[r][c])
                grid_->setEntry(static_cast<int>(r) + 1, static_cast<int>(c) + 1,
                                QString::fromStdString(texts.at(*value)));
}

void frmShowLineInfox::showBackboneLineInfo(ViewContext& view) {
    gis::Map& map = *view.map;
    gis::Layer& layer = map.Layers().Item(vocab::kLayerBackbone);
    if (layer.Selection().Count() == 0) return;
    const std::string code = map.Datasets().Item(layer.Name()).Value(layer.Selection().Item(1), 2);
    const auto record = view.resTree ? view.resTree->Item(vocab::cableKey(code)) : nullptr;
    if (!record) {
        qCWarning(lcComponent, "线路信息：光缆段“%s”没有记录", code.c_str());
        return;
    }
    Ends ends;
    for (int e = 0; e < 4; ++e) {
        const auto field = record->Item(std::string(kEndFields[e]));
        ends[static_cast<std::size_t>(e)] = field ? field->Value : std::string();
    }
    // The window is built once per load: a window still open from another
    // segment goes first.
    unload();
    frmShowLineInfox& window = instance(view.window);
    window.showLines(view.resTree.get(), ends, record->tableName, &view.cableFeatures);
    window.load();
    window.fitToGrid();
    window.show();
    window.raise();
}

void frmShowLineInfox::fitToGrid() {
    // As wide as the shown columns and as tall as the rows, within reason.
    const int width = grid_->verticalHeader()->width() + grid_->horizontalHeader()->length() +
                      2 * grid_->frameWidth() + grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int height = grid_->horizontalHeader()->height() + grid_->verticalHeader()->length() +
                       2 * grid_->frameWidth() + grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    resize(std::clamp(width, 400, 1400), std::clamp(height, 120, 500));
}

void frmShowLineInfox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    grid_->setGeometry(rect());
}

frmShowLineInfox& frmShowLineInfox::instance(QWidget* owner) {
    if (!shared()) shared() = new frmShowLineInfox(owner);
    return *shared();
}

bool frmShowLineInfox::loaded() {
    return !shared().isNull();
}

void frmShowLineInfox::unload() {
    delete shared().data();
}

} // namespace ocable
