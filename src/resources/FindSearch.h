#pragma once

#include "platform/db/Recordset.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The find dialog's search, apart from its widgets: the statements it sends,
// the list boxes' prefix search, and the stepping through the hits of one
// search, one hit per press.
namespace ocable::find {

inline constexpr const char* kCaption = "资源查找";
inline constexpr const char* kMessageTitle = "信息提示";
inline constexpr const char* kNoStationName = "请输入要查询的局站名！";
inline constexpr const char* kNoCableName = "请输入要查询的光缆段名！";
inline constexpr const char* kNothingFound = "查询结果为空！";
inline constexpr const char* kLastHit = "查询完毕！";

// Cable names join their two end stations by either dash.
inline constexpr const char* kDash = "-";
inline constexpr const char* kWideDash = "－"; // U+FF0D

inline constexpr const char* kStationListSql = "SELECT STATIONNAME FROM STATION ORDER BY STATIONNAME ";
inline constexpr const char* kCableListSql = "SELECT OCABLENAME FROM EN_OCABLE ORDER BY OCABLENAME ";

std::string stationQuery(const std::string& name, bool matching);
// A and B are the two end-point names; either may be empty.
std::string cableQuery(const std::string& a, const std::string& b, bool matching);

// The first item that begins with text, letter case aside, or -1: what the
// list box answers when asked to find a string from its top.
int findListEntry(const QStringList& items, const QString& text);
// The cable list's entry for the two name boxes: the names joined by "-"
// (or the one that is filled), else, when that finds nothing, the same with
// every "-" as "－".
int findCableEntry(const QStringList& items, const QString& start, const QString& end);

// The names of a list box's rows: the column's trimmed values in row order,
// nulls left out. An empty list when there is no recordset.
QStringList listNames(db::Recordset* rows, const char* column);

struct FindInputs {
    int tab = 0;          // 0 the stations, 1 the cable segments
    bool matching = true; // "匹配查找" ticked
    std::string station, start, end;
};

// One search and the stepping through its hits. A matching search whose
// inputs have not changed since its query locates its next hit on each
// press and, after the last one, says so and queries again on the next
// press. An exact search queries on every press.
class FindSearch {
public:
    struct Hooks {
        // Null when the statement failed.
        std::function<std::shared_ptr<db::Recordset>(const std::string& sql)> query;
        std::function<void(const std::string& text)> message;
        std::function<void(const std::string& code)> locateStation;
        std::function<void(const std::string& code)> locateOcable;
        // A search has hits: F3 on the map steps to the next one.
        std::function<void()> started;
    };

    explicit FindSearch(Hooks hooks) : hooks_(std::move(hooks)) {}

    // A press of "查询" with the dialog's inputs (untrimmed).
    void press(FindInputs inputs);

    const std::vector<std::string>& results() const { return results_; }
    bool isStationSearch() const { return isStationSearch_; }
    bool searchFinished() const { return searchFinished_; }
    // 1-based position of the hit the next press locates.
    int resultIndex() const { return resultIndex_; }

private:
    bool continues(const FindInputs& in) const;
    bool runQuery(const FindInputs& in);
    void locateNext();
    void say(const char* text);

    Hooks hooks_;
    std::vector<std::string> results_;
    int resultIndex_ = 1;
    bool isStationSearch_ = false;
    bool searchFinished_ = true;
    // Whether the stored hits come from a matching search: hits of an exact
    // search never continue, even when the box is ticked before the next
    // press with the inputs of an earlier matching search.
    bool matchingResults_ = false;
    std::string lastStation_, lastStart_, lastEnd_;
};

} // namespace ocable::find
