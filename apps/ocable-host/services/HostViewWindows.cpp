#include "HostViewWindows.h"

#include "platform/db/SqlQuote.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ocable::hostapp {

namespace {

std::vector<std::string> splitText(const std::string& text, const std::string& delimiter) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (auto at = text.find(delimiter); at != std::string::npos; at = text.find(delimiter, start)) {
        parts.push_back(text.substr(start, at - start));
        start = at + delimiter.size();
    }
    parts.push_back(text.substr(start));
    return parts;
}

QWidget* frame() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "hostWindow") return w;
    return nullptr;
}

// The view's window, made on first use: a line saying what it shows and a table.
QWidget* viewWindow(const char* name, const QString& title, const QString& info, const QStringList& headers,
                    const std::vector<QStringList>& rows) {
    QWidget* window = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name) window = w;
    if (!window) {
        window = new QWidget(frame(), Qt::Window);
        window->setObjectName(name);
        window->setAttribute(Qt::WA_DeleteOnClose);
        auto* label = new QLabel(window);
        label->setObjectName("lblInfo");
        label->setWordWrap(true);
        auto* grid = new QTableWidget(window);
        grid->setObjectName("grdRows");
        grid->verticalHeader()->setVisible(false);
        grid->horizontalHeader()->setStretchLastSection(true);
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        auto* layout = new QVBoxLayout(window);
        layout->addWidget(label);
        layout->addWidget(grid);
        window->resize(560, 380);
    }
    window->setWindowTitle(title);
    window->findChild<QLabel*>("lblInfo")->setText(info);
    auto* grid = window->findChild<QTableWidget*>("grdRows");
    grid->clear();
    grid->setColumnCount(static_cast<int>(headers.size()));
    grid->setHorizontalHeaderLabels(headers);
    grid->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            grid->setItem(r, c, new QTableWidgetItem(rows[r][c]));
    grid->resizeColumnsToContents();
    window->show();
    window->raise();
    return window;
}

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

QWidget* showFiberList(host::IDataAccess& data, const std::string& cableCodes,
                       const std::string& description) {
    std::string inList;
    for (const auto& code : splitText(cableCodes, "<>"))
        inList += (inList.empty() ? "" : ",") + db::sqlQuote(code);
    std::vector<QStringList> rows;
    auto rs =
        data.openRecordset("systemDB", "SELECT OCABLECODE, FIBERNO, FIBERCODE, SYSTEMCODE, FIBERSTATE FROM "
                                       "EN_FIBER WHERE OCABLECODE IN (" +
                                           inList + ") ORDER BY OCABLECODE, FIBERNO");
    for (; rs && !rs->Eof(); rs->MoveNext()) {
        QStringList row;
        for (int i = 0; i < 5; ++i)
            row << q(rs->Fields(i).toText());
        rows.push_back(row);
    }
    QString info = QStringLiteral("纤芯视图（宿主的纤芯资源视图在此以数据库中的纤芯记录代替）：");
    for (const auto& segment : splitText(description, "<>"))
        info += "\n" + q(segment);
    return viewWindow("hostFiberView", QStringLiteral("光纤信息"), info,
                      {QStringLiteral("光缆段编码"), QStringLiteral("纤芯序号"), QStringLiteral("纤芯编码"),
                       QStringLiteral("传输系统"), QStringLiteral("状态")},
                      rows);
}

QWidget* showStationList(const std::string& request) {
    // "STATIONNAME,STATIONCODE;name,code": the column names, then the values.
    const auto halves = splitText(request, ";");
    const auto names = splitText(halves.front(), ",");
    const auto values = splitText(halves.size() > 1 ? halves[1] : std::string(), ",");
    std::vector<QStringList> rows;
    for (std::size_t i = 0; i < names.size(); ++i)
        rows.push_back({q(names[i]), q(i < values.size() ? values[i] : std::string())});
    return viewWindow("hostStationView", QStringLiteral("局站传输"),
                      QStringLiteral("局站传输视图（宿主的局站传输视图在此只列出所选局站）："),
                      {QStringLiteral("字段"), QStringLiteral("值")}, rows);
}

QWidget* showCableRecord(const std::string& viewName, const std::string& code,
                         const std::vector<std::pair<std::string, std::string>>& rows) {
    const QString title =
        viewName == "showGdFromOcable" ? QStringLiteral("管线网络图") : QStringLiteral("光缆网络图");
    const QString info = QStringLiteral("此窗口代替宿主的“%1”视图（%2），显示光缆段“%3”的记录。")
                             .arg(title, q(viewName), code.empty() ? QStringLiteral("未选光缆段") : q(code));
    std::vector<QStringList> table;
    for (const auto& [caption, value] : rows)
        table.push_back({q(caption), q(value)});
    return viewWindow("hostCableView", title, info, {QStringLiteral("属性"), QStringLiteral("值")}, table);
}

} // namespace ocable::hostapp
