// The find dialog's stepping where the end-to-end runs do not reach: stored
// hits of the other tab or of an exact search never continue. Statements
// answer from a table of canned rows; every located code is recorded.

#include "resources/FindSearch.h"

#include <gtest/gtest.h>

#include <map>

using namespace ocable;
using namespace ocable::find;

namespace {

struct Recorder {
    std::map<std::string, std::vector<std::string>> rows; // statement -> codes; absent: the statement fails
    std::vector<std::string> sent, located, messages;

    FindSearch search() {
        FindSearch::Hooks h;
        h.query = [this](const std::string& sql) -> std::shared_ptr<db::Recordset> {
            sent.push_back(sql);
            const auto it = rows.find(sql);
            if (it == rows.end()) return nullptr;
            std::vector<db::Recordset::Row> out;
            for (const auto& code : it->second)
                out.push_back({db::Value(" " + code + " ")});
            return std::make_shared<db::Recordset>(
                std::vector<std::string>{sql.substr(7, sql.find(' ', 7) - 7)}, std::move(out));
        };
        h.message = [this](const std::string& text) { messages.push_back(text); };
        h.locateStation = [this](const std::string& code) { located.push_back("STA:" + code); };
        h.locateOcable = [this](const std::string& code) { located.push_back("OCA:" + code); };
        return FindSearch(h);
    }
};

FindInputs stations(const std::string& name, bool matching = true) {
    return {0, matching, name, "", ""};
}
FindInputs cables(const std::string& a, const std::string& b, bool matching = true) {
    return {1, matching, "", a, b};
}

} // namespace

TEST(FindSearchTest, OnlyAMatchingSearchOfTheShownTabContinues) {
    Recorder r;
    r.rows[cableQuery("甲", "乙", true)] = {"C1", "C2"};
    r.rows[stationQuery("甲", true)] = {"S1", "S2", "S3"};
    r.rows[stationQuery("甲", false)] = {"S9", "S8"};
    FindSearch s = r.search();
    s.press(cables("甲", "乙"));
    s.press(stations(" 甲 "));   // trimmed
    s.press(cables("甲", "乙")); // the cable inputs of before, but the hits are stations
    s.press(stations("甲", false));
    s.press(stations("甲", false));
    s.press(stations("甲")); // ticked again: the exact hits do not continue
    s.press(stations("甲"));
    EXPECT_EQ(r.located, (std::vector<std::string>{"OCA:C1", "STA:S1", "OCA:C1", "STA:S9", "STA:S9", "STA:S1",
                                                   "STA:S2"}));
    EXPECT_EQ(r.sent.size(), 6u);
    EXPECT_TRUE(r.messages.empty());
    r.rows.clear(); // a failed statement: nothing located, nothing said
    s.press(stations("乙"));
    s.press(stations("乙"));
    EXPECT_EQ(r.located.size(), 7u);
    EXPECT_TRUE(r.messages.empty());
}

TEST(FindSearchTest, ListSearchFindsTheFirstEntryBeginningWithTheTextLetterCaseAside) {
    const QStringList names = {"Beta-1", "alpha", "ALPHA2", "甲－乙", "甲乙"};
    EXPECT_EQ(findListEntry(names, "AL"), 1);
    EXPECT_EQ(findListEntry(names, "gamma"), -1);
    EXPECT_EQ(findListEntry(names, ""), 0);
    EXPECT_EQ(findCableEntry(names, "甲", "乙"), 3);
    EXPECT_EQ(findCableEntry(names, "", "beta"), 0);
}
