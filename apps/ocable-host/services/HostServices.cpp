#include "HostServices.h"

#include "HostLog.h"
#include "HostResService.h"
#include "HostViewWindows.h"

#include "platform/ui/KeyedTree.h"
#include "platform/ui/MdiEmbedding.h"
#include "platform/ui/MessageBoxService.h"

#include <QAbstractItemView>
#include <QFont>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTreeView>
#include <QTreeWidget>

namespace ocable::hostapp {

namespace {

std::filesystem::path findIgnoringCase(const std::filesystem::path& folder, const std::string& name) {
    std::error_code ec;
    if (std::filesystem::exists(folder / name, ec)) return folder / name;
    const QString wanted = QString::fromStdString(name).toCaseFolded();
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (QString::fromStdString(it->path().filename().string()).toCaseFolded() == wanted)
            return it->path();
    return folder / name;
}

} // namespace

HostCommon::HostCommon(std::function<void(const std::vector<std::string>&)> logSink)
    : logSink_(std::move(logSink)) {}

bool HostCommon::fileExists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

std::string HostCommon::getField(std::string_view text, std::string_view delimiter, int position) {
    if (position < 1 || delimiter.empty()) return position == 1 ? std::string(text) : std::string();
    std::size_t start = 0;
    for (int i = 1; i < position; ++i) {
        const auto at = text.find(delimiter, start);
        if (at == std::string_view::npos) return {};
        start = at + delimiter.size();
    }
    const auto end = text.find(delimiter, start);
    return std::string(
        text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

QImage HostCommon::loadPicture(const std::string& fileName, const std::filesystem::path& folder) {
    return QImage(QString::fromStdString(findIgnoringCase(folder, fileName).string()));
}

std::string HostCommon::addTreeNode(ui::KeyedTree& tree, const std::string& parentKey, const std::string& key,
                                    const std::string& text) {
    tree.Add(parentKey, key, text);
    return key;
}

bool HostCommon::nodeKeyExists(const ui::KeyedTree& tree, const std::string& key) {
    return tree.Exists(key);
}

void HostCommon::setNodeChecked(ui::KeyedTree& tree, const std::string& nodeKey, bool checked) {
    tree.setCheckedRecursive(tree.id(nodeKey), checked);
}

QWidget* HostCommon::hostWindowOf(QWidget* window) {
    if (auto* sub = ui::MdiEmbedding::subWindowOf(window)) return sub->window();
    return window ? window->window() : nullptr;
}

void HostCommon::writeOperationLog(const std::string& code, const std::string& description,
                                   const std::string& objectKey, int level, const std::string& extra1,
                                   const std::string& extra2) {
    if (logSink_) logSink_({code, description, objectKey, std::to_string(level), extra1, extra2});
}

void HostMessage::showNotice(const std::string& text) {
    ui::MessageBoxService::instance().show(text, "提示", ui::MessageBoxService::Buttons::OK,
                                           ui::MessageBoxService::Icon::Information);
}

void HostMessage::showError(const std::string& text) {
    // The view's own words go to the user; the log keeps them beside the
    // cause the view logged just before.
    qCWarning(lcHost, "错误提示：%s", text.c_str());
    ui::MessageBoxService::instance().show(text, "错误", ui::MessageBoxService::Buttons::OK,
                                           ui::MessageBoxService::Icon::Critical);
}

void HostMessage::reportError(const std::string& text) {
    qCWarning(lcHost, "错误报告：%s", text.c_str());
    ui::MessageBoxService::instance().show(text, "错误报告", ui::MessageBoxService::Buttons::OK,
                                           ui::MessageBoxService::Icon::Critical);
}

void HostGridService::setupGrid(QWidget* grid) {
    if (auto* view = qobject_cast<QAbstractItemView*>(grid)) {
        view->setAlternatingRowColors(true);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    }
}

// No option is known here; the standard settings are the only look.
void HostGridService::formatGrid(QWidget* grid, bool standard, const std::string&) {
    auto* table = qobject_cast<QTableView*>(grid);
    if (!table || !standard) return;
    table->horizontalHeader()->setStretchLastSection(true);
    QFont bold = table->horizontalHeader()->font();
    bold.setBold(true);
    table->horizontalHeader()->setFont(bold);
    table->verticalHeader()->setDefaultSectionSize(22);
    table->setGridStyle(Qt::SolidLine);
}

// arg1 is the logged-in user; the record needs no more than the segment's code.
bool HostViewBridge::callView(const std::string& viewName, const std::string&, const std::string& arg2) {
    if (viewName == "showOcableFromOcable" || viewName == "showGdFromOcable") {
        std::vector<std::pair<std::string, std::string>> rows;
        if (data_ && !arg2.empty()) rows = HostResService(data_).propertyRows(arg2, "EN_OCABLE");
        showCableRecord(viewName, arg2, rows);
        return true;
    }
    ui::MessageBoxService::instance().show("视图“" + viewName + "”未安装，无法打开！", "提示",
                                           ui::MessageBoxService::Buttons::OK,
                                           ui::MessageBoxService::Icon::Information);
    return false;
}

} // namespace ocable::hostapp
