#include "resources/FindSearch.h"

#include "core/TextUtil.h"
#include "platform/db/SqlQuote.h"

namespace ocable::find {

std::string stationQuery(const std::string& name, bool matching) {
    if (matching)
        return "SELECT STATIONCODE FROM STATION WHERE STATIONNAME LIKE " + db::sqlQuote("%" + name + "%");
    return "SELECT STATIONCODE FROM STATION WHERE STATIONNAME = " + db::sqlQuote(name);
}

std::string cableQuery(const std::string& a, const std::string& b, bool matching) {
    if (matching)
        return "SELECT OCABLECODE FROM EN_OCABLE  WHERE OCABLENAME LIKE " +
               db::sqlQuote("%" + a + "%" + b + "%") + " OR OCABLENAME LIKE " +
               db::sqlQuote("%" + b + "%" + a + "%");
    const auto bothWays = [&](const char* dash) {
        return "OCABLENAME = " + db::sqlQuote(a + dash + b) +
               " OR OCABLENAME = " + db::sqlQuote(b + dash + a);
    };
    // The statement has always run without a blank before the second OR; the
    // closing quote separates the words all the same.
    return "SELECT OCABLECODE FROM EN_OCABLE WHERE " + bothWays(kDash) + "OR " + bothWays(kWideDash);
}

int findListEntry(const QStringList& items, const QString& text) {
    // Every text begins with the empty one, so that finds the first item.
    for (int i = 0; i < items.size(); ++i)
        if (items[i].startsWith(text, Qt::CaseInsensitive)) return i;
    return -1;
}

int findCableEntry(const QStringList& items, const QString& start, const QString& end) {
    QString wanted;
    if (end.isEmpty())
        wanted = start;
    else if (start.isEmpty())
        wanted = end;
    else
        wanted = start + kDash + end;
    const int found = findListEntry(items, wanted);
    if (found >= 0 || !wanted.contains(kDash)) return found;
    return findListEntry(items, QString(wanted).replace(kDash, QString::fromUtf8(kWideDash)));
}

QStringList listNames(db::Recordset* rows, const char* column) {
    QStringList names;
    if (!rows || rows->State() != db::Recordset::ObjectState::Open) return names;
    names.reserve(static_cast<qsizetype>(rows->RecordCount()));
    const int index = rows->FieldIndex(column);
    for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
        const db::Value& v = rows->Fields(index);
        if (!v.isNull()) names.append(QString::fromStdString(text::trim(v.toText())));
    }
    return names;
}

void FindSearch::say(const char* text) {
    if (hooks_.message) hooks_.message(text);
    searchFinished_ = true;
}

bool FindSearch::continues(const FindInputs& in) const {
    if (!in.matching || searchFinished_ || !matchingResults_) return false;
    // Stored hits of the other tab's kind never continue: switching tabs
    // between presses runs a new query.
    if (in.tab == 0) return isStationSearch_ && in.station == lastStation_;
    return !isStationSearch_ && in.start == lastStart_ && in.end == lastEnd_;
}

void FindSearch::press(FindInputs in) {
    in.station = text::trim(in.station);
    in.start = text::trim(in.start);
    in.end = text::trim(in.end);
    if (!continues(in) && !runQuery(in)) return;
    locateNext();
}

bool FindSearch::runQuery(const FindInputs& in) {
    results_.clear();
    std::string sql;
    if (in.tab == 0) {
        if (in.station.empty()) {
            say(kNoStationName);
            return false;
        }
        if (in.matching) lastStation_ = in.station;
        sql = stationQuery(in.station, in.matching);
        isStationSearch_ = true;
    } else {
        if (in.start.empty() && in.end.empty()) {
            say(kNoCableName);
            return false;
        }
        if (in.matching) {
            lastStart_ = in.start;
            lastEnd_ = in.end;
        }
        sql = cableQuery(in.start, in.end, in.matching);
        isStationSearch_ = false;
    }
    const auto rows = hooks_.query(sql);
    if (!rows) return false;
    if (rows->Eof() && rows->Bof()) {
        say(kNothingFound);
        return false;
    }
    const char* column = isStationSearch_ ? "STATIONCODE" : "OCABLECODE";
    for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext())
        results_.push_back(text::trim(rows->Fields(column).toText()));
    resultIndex_ = 1;
    searchFinished_ = false;
    matchingResults_ = in.matching;
    if (hooks_.started) hooks_.started();
    rows->Close();
    return true;
}

void FindSearch::locateNext() {
    // A query that failed after an earlier search had hits leaves nothing to
    // step through: start afresh on the next press.
    if (resultIndex_ < 1 || resultIndex_ > static_cast<int>(results_.size())) {
        searchFinished_ = true;
        return;
    }
    const std::string& code = results_[static_cast<std::size_t>(resultIndex_ - 1)];
    if (isStationSearch_) {
        if (hooks_.locateStation) hooks_.locateStation(code);
    } else if (hooks_.locateOcable) {
        hooks_.locateOcable(code);
    }
    if (resultIndex_ < static_cast<int>(results_.size()))
        ++resultIndex_;
    else
        say(kLastHit);
}

} // namespace ocable::find
