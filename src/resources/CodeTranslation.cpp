#include "resources/CodeTranslation.h"

#include "core/mPubFun.h"
#include "platform/db/SqlQuote.h"

#include <unordered_set>

namespace ocable::codes {

namespace {
constexpr std::size_t kValuesPerQuery = 1000;
}

std::string translateOne(const std::string& value) {
    const auto rs = mPubFun::openRecordset("SELECT XTXX FROM XTBM WHERE XTBM = " + db::sqlQuote(value));
    if (!rs || rs->RecordCount() == 0) return value;
    rs->MoveFirst();
    return rs->Fields(0).toText();
}

std::unordered_map<std::string, std::string> translateAll(const std::vector<std::string>& values) {
    std::unordered_map<std::string, std::string> texts;
    std::vector<const std::string*> distinct;
    for (const std::string& v : values)
        if (texts.emplace(v, v).second) distinct.push_back(&v);
    for (std::size_t from = 0; from < distinct.size(); from += kValuesPerQuery) {
        std::string sql = "SELECT XTBM, XTXX FROM XTBM WHERE XTBM IN (";
        const std::size_t to = std::min(distinct.size(), from + kValuesPerQuery);
        for (std::size_t i = from; i < to; ++i)
            sql += (i == from ? "" : ",") + db::sqlQuote(*distinct[i]);
        sql += ")";
        const auto rs = mPubFun::openRecordset(sql);
        if (!rs) continue;
        // A code listed twice translates as its first row, as the single query reads it.
        std::unordered_set<std::string> done;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
            std::string code = rs->Fields(0).toText();
            const auto found = texts.find(code);
            if (found != texts.end() && done.insert(code).second) found->second = rs->Fields(1).toText();
        }
    }
    return texts;
}

} // namespace ocable::codes
