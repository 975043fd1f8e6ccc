#include "HostResService.h"

#include "HostViewWindows.h"

#include "platform/db/SqlQuote.h"
#include "platform/ui/MessageBoxService.h"

#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>
#include <map>

namespace ocable::hostapp {

namespace {

const std::map<std::string, std::string>& keyColumns() {
    static const std::map<std::string, std::string> keys = {
        {"STATION", "STATIONCODE"}, {"EN_OCABLE", "OCABLECODE"}, {"TRANSSYSTEM", "SYSTEMCODE"}};
    return keys;
}

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

} // namespace

void HostResService::initResService(const host::HostArray& hostObjects) {
    for (const auto& element : hostObjects.elements)
        if (auto data = std::dynamic_pointer_cast<host::IDataAccess>(element)) data_ = data;
}

std::vector<std::pair<std::string, std::string>> HostResService::propertyRows(const std::string& code,
                                                                              const std::string& table) {
    std::vector<std::pair<std::string, std::string>> rows;
    const auto key = keyColumns().find(upper(table));
    if (key == keyColumns().end() || !data_) return rows;
    auto rs = data_->openRecordset("systemDB", "SELECT * FROM " + key->first + " WHERE " + key->second +
                                                   " = " + db::sqlQuote(code));
    if (!rs || rs->Eof()) return rows;

    struct Column {
        std::string caption;
        bool visible = true;
        long serial = 1'000'000;
    };
    std::map<std::string, Column> columns; // by upper-case column name
    try {
        auto dict = data_->openRecordset("systemDB", "SELECT * FROM tabledictionary WHERE TABLENAME=" +
                                                         db::sqlQuote(key->first));
        for (; dict && !dict->Eof(); dict->MoveNext())
            columns[upper(dict->Fields("ENFIELD").toText())].caption = dict->Fields("CHFIELD").toText();
        auto order = data_->openRecordset("systemDB", "SELECT * FROM tabledictionarynew WHERE tablename=" +
                                                          db::sqlQuote(key->first));
        for (; order && !order->Eof(); order->MoveNext()) {
            Column& c = columns[upper(order->Fields("ENFIELD").toText())];
            c.visible = upper(order->Fields("isVisible").toText()) != "N";
            if (!order->Fields("serial").isNull()) c.serial = std::stol(order->Fields("serial").toText());
            if (c.caption.empty()) c.caption = order->Fields("CHFIELD").toText();
        }
    } catch (const std::exception&) {
        // Without a dictionary the columns show under their own names.
    }

    std::vector<std::pair<long, int>> shown;
    for (int i = 0; i < rs->FieldCount(); ++i) {
        const auto it = columns.find(upper(rs->FieldName(i)));
        if (it != columns.end() && !it->second.visible) continue;
        shown.push_back({it == columns.end() ? 1'000'000 : it->second.serial, i});
    }
    std::stable_sort(shown.begin(), shown.end(), [](auto& a, auto& b) { return a.first < b.first; });
    for (const auto& [serial, i] : shown) {
        const auto it = columns.find(upper(rs->FieldName(i)));
        const std::string caption =
            it != columns.end() && !it->second.caption.empty() ? it->second.caption : rs->FieldName(i);
        rows.push_back({caption, rs->Fields(i).toText()});
    }
    return rows;
}

QWidget* HostResService::propertyWindow(const std::string& code, const std::string& table) {
    const auto rows = propertyRows(code, table);
    if (rows.empty()) return nullptr;
    auto* grid = new QTableWidget(static_cast<int>(rows.size()), 2);
    grid->setObjectName("propertyForm");
    grid->setHorizontalHeaderLabels({QStringLiteral("属性"), QStringLiteral("值")});
    grid->verticalHeader()->setVisible(false);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setAlternatingRowColors(true);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        grid->setItem(r, 0, new QTableWidgetItem(QString::fromStdString(rows[r].first)));
        grid->setItem(r, 1, new QTableWidgetItem(QString::fromStdString(rows[r].second)));
    }
    grid->resizeColumnToContents(0);
    return grid;
}

void HostResService::showStationTransmission(const std::string& request) {
    showStationList(request);
}

void HostResService::showFibers(const std::string& cableCodes, const std::string& description) {
    if (data_) showFiberList(*data_, cableCodes, description);
}

} // namespace ocable::hostapp
