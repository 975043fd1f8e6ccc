// End-to-end: the division-rule editor and the system routes driven through
// the stand-alone host's automation mode on a small demo network.

#include "platform/db/SqliteConnection.h"
#include "support/HostRunner.h"

#include <QJsonArray>
#include <QJsonObject>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <tuple>

namespace fs = std::filesystem;

namespace {

using ocable::testsupport::HostRun;
using ocable::testsupport::HostRunner;
using ocable::testsupport::messageTexts;
using ocable::testsupport::scalar;
const auto column = ocable::testsupport::firstColumn;

// Every test changes the rule tables, so each runs on its own copy of the
// small network (HostRunner::keptRoot).

std::vector<std::string> sqlSince(const QJsonObject& dump, const std::string& first) {
    std::vector<std::string> sql = ocable::testsupport::sqlTexts(dump);
    sql.erase(sql.begin(), std::ranges::find(sql, first));
    return sql;
}

// One run on the rule editor: a new rule, seeded on its first display,
// edited, saved under a new name and deleted (the statements in the order
// the host received them, and the tables read back afterwards); then a new
// rule left for another with the answer No goes, one edited and left with
// Yes is stored with its edits and the combo box keeps it, and one pending
// when the view closes is kept on Yes.
TEST(SystemTreeAutomation, NewRulesSavedDeletedAndKeptOnTheSwitchAnswers) {
    const fs::path root = HostRunner::keptRoot("rule");
    const fs::path db = root / "network.db";
    const HostRun run = HostRunner::run(root, R"([
        {"call": "frmViewResTree.ActiveBarPop_ToolClick", "args": ["mnuAddPart"]},
        {"dump": true},
        {"tree": "frmViewResTree.TreeSystem", "node": "划分原则4", "do": "select"},
        {"call": "frmViewResTree.ActiveBarPop_ToolClick", "args": ["mnuAdd"]},
        {"call": "frmViewResTree.TreeSystem_AfterLabelEdit", "args": ["划分原则4", "按传输制式划分"]},
        {"call": "frmViewResTree.TreeSystem_AfterLabelEdit", "args": ["划分原则4", "自定义"]},
        {"call": "frmViewResTree.ActiveBarPop_ToolClick", "args": ["mnuSaveTree"]},
        {"dump": true},
        {"tree": "frmViewResTree.TreeSystem", "node": "划分原则4", "do": "select"},
        {"answer": "Yes"},
        {"call": "frmViewResTree.ActiveBarPop_ToolClick", "args": ["mnuDelete"]},
        {"dump": true},
        {"call": "frmViewResTree.ActiveBarPop_ToolClick", "args": ["mnuAddPart"]},
        {"answer": "No"},
        {"combo": "frmViewResTree.CobSubNetPart", "select": "按管理区域划分"},
        {"dump": true},
        {"call": "frmViewResTree.ActiveBarPop_ToolClick", "args": ["mnuAddPart"]},
        {"tree": "frmViewResTree.TreeSystem", "node": "划分原则4", "do": "select"},
        {"call": "frmViewResTree.ActiveBarPop_ToolClick", "args": ["mnuAdd"]},
        {"answer": "Yes"},
        {"combo": "frmViewResTree.CobSubNetPart", "select": "按管理区域划分"},
        {"dump": true},
        {"call": "frmViewResTree.ActiveBarPop_ToolClick", "args": ["mnuAddPart"]},
        {"answer": "Yes"}
    ])");
    ASSERT_EQ(run.exitCode, 0) << run.stderrText;
    const QJsonArray dumps = run.dumps();
    const auto created = sqlSince(dumps[0].toObject(), "SELECT P_KEY FROM EN_SUBNET_P");
    EXPECT_EQ(created.at(1), "INSERT INTO EN_SUBNET_P(P_KEY,P_NAME) VALUES('划分原则4' ,'划分原则4')");
    EXPECT_EQ(created.at(4),
              "INSERT INTO RE_TREE_STRUCT(NODEKEY,NODENAME,PARENTKEY,NODELEVEL,P_KEY,IS_DELETE) "
              "VALUES('划分原则4' ,'划分原则4','NULL',0,'划分原则4','NO')");
    EXPECT_EQ(dumps[0]["ruleEditor"]["isNewRule"].toBool(), true);
    EXPECT_EQ(dumps[0]["ruleEditor"]["text"].toString(), "划分原则4");

    const auto saved = sqlSince(dumps[1].toObject(), "DELETE FROM RE_TREE_STRUCT WHERE P_KEY = '划分原则4'");
    EXPECT_EQ(saved.at(1), "INSERT INTO RE_TREE_STRUCT(NODEKEY,NODENAME,PARENTKEY,NODELEVEL,P_KEY,IS_DELETE) "
                           "VALUES('划分原则4' ,'自定义','NULL',0,'划分原则4','NO')");
    EXPECT_EQ(saved.at(2), "INSERT INTO RE_TREE_STRUCT(NODEKEY,NODENAME,PARENTKEY,NODELEVEL,P_KEY,IS_DELETE) "
                           "VALUES('划分方法1','新建节点1','划分原则4',1,'划分原则4','YES')");
    EXPECT_EQ(
        1, std::ranges::count(saved, "UPDATE EN_SUBNET_P SET P_NAME = '自定义' WHERE P_KEY = '划分原则4'"));
    EXPECT_EQ(1, std::ranges::count(messageTexts(dumps[1].toObject()), "划分原则命名重复！"));
    EXPECT_EQ(dumps[1]["ruleEditor"]["isNewRule"].toBool(), false);

    // Deleted: the first rule left shows, and the next new rule takes the
    // freed number again (it could not, were the stored rule still there).
    EXPECT_EQ(dumps[2]["ruleEditor"]["curRuleName"].toString(), "按管理区域划分");
    EXPECT_FALSE(dumps[2]["ruleEditor"]["items"].toArray().contains("自定义"));
    EXPECT_EQ(column(db, "SELECT COUNT(*) FROM OPERATIONLOG WHERE OPCODE = '99' AND OPCONTENT = "
                         "'自定义节点->删除划分原则4'"),
              std::vector<std::string>{"1"});

    // Declined: gone from the combo box, both tables and the view's list
    // (else it could not come again).
    const QJsonObject declined = dumps[3]["ruleEditor"].toObject();
    EXPECT_FALSE(declined["items"].toArray().contains("划分原则4"));
    EXPECT_EQ(declined["EN_SUBNET_P"].toArray().size(), 3);
    const QJsonObject dump = run.dump(4);
    // Asked twice about the new rule: declined, then kept.
    QString answers;
    for (const QJsonValue m : dump["messages"].toArray())
        if (m["text"].toString() == "新增子网原则：“划分原则4”是否需要保存？")
            answers += m["answer"].toString();
    EXPECT_EQ(answers, "NoYes");
    EXPECT_EQ(column(db, "SELECT COUNT(*) FROM RE_TREE_STRUCT WHERE P_KEY = '划分原则5'"),
              column(db, "SELECT COUNT(*) + 1 FROM TRANSSYSTEM"))
        << "a new rule Yes on close keeps, seeded";
    EXPECT_EQ(
        column(db, "SELECT NODENAME FROM RE_TREE_STRUCT WHERE P_KEY = '划分原则4' AND IS_DELETE = 'YES'"),
        std::vector<std::string>{"新建节点2"})
        << "the second node this session added";
    const QJsonObject editor = dump["ruleEditor"].toObject();
    EXPECT_TRUE(editor["items"].toArray().contains("划分原则4"));
    EXPECT_EQ(editor["curRuleName"].toString(), "按管理区域划分");
    EXPECT_FALSE(editor["isNewRule"].toBool());
    // The dump shows the rows of the rule on show and every rule.
    EXPECT_EQ(editor["RE_TREE_STRUCT"].toArray().size(),
              scalar(db, "SELECT COUNT(*) FROM RE_TREE_STRUCT WHERE P_KEY = '按管理区域划分'"));
    EXPECT_EQ(editor["EN_SUBNET_P"].toArray().size(), 4);
}

// Codes on the ordinary cable layer, and the codes of its selection.
std::set<std::string> cableCodes(const QJsonObject& dump, bool selectedOnly = false) {
    const auto codes = ocable::testsupport::codesOn(dump, "光缆网络分布图_光缆段", selectedOnly);
    return {codes.begin(), codes.end()};
}

// The nodes of the first rule's tree that are shown: those under a node
// whose text holds "本地" are left out of the tree.
const std::string kShownSystems =
    "WITH RECURSIVE shown(k) AS (SELECT NODEKEY FROM RE_TREE_STRUCT WHERE P_KEY = '按管理区域划分' AND "
    "PARENTKEY = "
    "'NULL' UNION SELECT t.NODEKEY FROM RE_TREE_STRUCT t JOIN shown ON t.PARENTKEY = shown.k WHERE t.P_KEY = "
    "'按管理区域划分' AND t.NODENAME NOT LIKE '%本地%') ";

// The script with DUMP for a dump of the ordinary cable layer, and NODE,
// DWDM and SYSTEM for tree keys.
std::string script(const std::string& steps, const std::string& node = "", const std::string& dwdm = "",
                   const std::string& system = "") {
    return QString::fromStdString(ocable::testsupport::withDumps(steps, {"光缆网络分布图_光缆段"}))
        .replace("NODE", QString::fromStdString(node))
        .replace("DWDM", QString::fromStdString(dwdm))
        .replace("SYSTEM", QString::fromStdString(system))
        .toStdString();
}

// Segments joining the stations of the DWDM links that carry a system.
const std::string kDwdmSegments =
    " FROM RE_DWDMC_SDHT D JOIN EN_DWDM_CHANNEL C ON D.CHANNELSERIAL = C.DWDMCHANNELCODE JOIN EN_DWDM_RES R "
    "ON C.DWDMTOPOLINKCODE = R.DWDMTOPOLINKCODE JOIN EN_OCABLE O ON (R.STATION_A = O.STATION_A AND "
    "R.STATION_Z = O.STATION_Z) OR (R.STATION_A = O.STATION_Z AND R.STATION_Z = O.STATION_A) ";

// The route of a system on the map, then the editor's tree, one run on one
// prepared copy. Unticking a system takes off only the segments no other
// shown system runs over, and ticking it again brings exactly those back; a
// click on a DWDM-carried system selects the segments that join the stations
// of its channels' links, read here straight from the database: the system
// with the most segments that only its DWDM links reach. Those are searched
// on the ordinary cable layer only, so they are made ordinary ones. Then a
// refresh after a system left TRANSSYSTEM, and a rule switch with unsaved
// changes answered No that keeps the stored tree; a save refused in the
// middle by the database, which leaves the stored tree as it was and tells
// the user; then the editor's menu band per node kind, the summary of one and
// of three systems against the database, the root renamed in the tree's own
// editor, the commands that need a system code, a protected rule, the drop
// target of a drag, a grouping node deleted.
TEST(SystemTreeAutomation, RoutesOnTheMapThenRefreshFailedSaveMenuBandSummaryAndDropTarget) {
    const fs::path root = HostRunner::keptRoot("tree");
    const fs::path db = root / "network.db";
    const std::string group = "划分方法1", under = "P_KEY = '按管理区域划分' AND PARENTKEY = '划分方法1'";
    const auto systems = column(db, "SELECT NODEKEY FROM RE_TREE_STRUCT WHERE " + under + " ORDER BY 1");
    ASSERT_GE(systems.size(), 3u);
    ocable::db::SqliteConnection(db).execute("DELETE FROM RE_TREE_STRUCT WHERE " + under +
                                             " AND NODEKEY > '" + systems[2] + "'");
    const std::string sys = systems[0], code = sys.substr(sys.find(':') + 1);
    const QString groupText = QString::fromStdString(
        column(db, "SELECT NODENAME FROM RE_TREE_STRUCT WHERE NODEKEY = '" + group + "'").at(0));
    // A system none of the three summed up, gone from TRANSSYSTEM.
    const std::string gone = column(db, "SELECT SYSTEMCODE FROM TRANSSYSTEM WHERE '按管理区域划分:' || "
                                        "SYSTEMCODE NOT IN (SELECT NODEKEY FROM RE_TREE_STRUCT WHERE " +
                                            under + ") ORDER BY 1 LIMIT 1")
                                 .at(0);
    ocable::db::SqliteConnection(db).execute("DELETE FROM TRANSSYSTEM WHERE SYSTEMCODE = '" + gone + "'");
    const auto carried = column(
        db,
        kShownSystems + "SELECT D.SYSTEMCODE" + kDwdmSegments +
            "WHERE '按管理区域划分:' || D.SYSTEMCODE IN (SELECT k FROM shown) AND D.SYSTEMCODE <> '" + gone +
            "' AND "
            "O.OCABLECODE NOT IN (SELECT OCABLECODE FROM MAP_V_RE_CABLE_SUNNET_SYSTEM M WHERE M.SYSTEMCODE = "
            "D.SYSTEMCODE) GROUP BY D.SYSTEMCODE ORDER BY COUNT(DISTINCT O.OCABLECODE) DESC, 1 LIMIT 1");
    ASSERT_EQ(carried.size(), 1u) << "the demo network has a shown DWDM-carried system";
    const std::string dwdm = carried[0];
    auto viaDwdm =
        column(db, "SELECT DISTINCT O.OCABLECODE" + kDwdmSegments + "WHERE D.SYSTEMCODE = '" + dwdm + "'");
    const auto direct = column(
        db, "SELECT DISTINCT OCABLECODE FROM MAP_V_RE_CABLE_SUNNET_SYSTEM WHERE SYSTEMCODE = '" + dwdm + "'");
    for (const std::string& c : viaDwdm)
        if (std::find(direct.begin(), direct.end(), c) == direct.end())
            ocable::db::SqliteConnection(db).execute(
                "UPDATE EN_OCABLE SET RESLEVEL = 'ZY132002', X_SYSLEVEL = NULL WHERE OCABLECODE = '" + c +
                "'");

    const HostRun first = HostRunner::run(root, script("[DUMP]"));
    ASSERT_EQ(first.exitCode, 0) << first.stderrText;
    const auto ordinary = cableCodes(first.dump(0));
    // A shown system with an ordinary segment of its own and a segment it shares.
    std::string system;
    std::vector<std::string> own;
    for (const std::string& candidate : column(
             db, kShownSystems +
                     "SELECT DISTINCT a.SYSTEMCODE FROM MAP_V_RE_CABLE_SUNNET_SYSTEM a WHERE "
                     "'按管理区域划分:' || a.SYSTEMCODE IN (SELECT k FROM shown) AND EXISTS (SELECT 1 FROM "
                     "MAP_V_RE_CABLE_SUNNET_SYSTEM b WHERE b.OCABLECODE = a.OCABLECODE AND b.SYSTEMCODE "
                     "<> a.SYSTEMCODE) ORDER BY 1")) {
        if (candidate == gone) continue;
        own = column(db, "SELECT OCABLECODE FROM MAP_V_RE_CABLE_SUNNET_SYSTEM a WHERE SYSTEMCODE = '" +
                             candidate +
                             "' AND (SELECT COUNT(*) FROM MAP_V_RE_CABLE_SUNNET_SYSTEM b WHERE b.OCABLECODE "
                             "= a.OCABLECODE) = 1");
        if (std::ranges::any_of(own, [&](const std::string& c) { return ordinary.contains(c); })) {
            system = candidate;
            break;
        }
    }
    ASSERT_FALSE(system.empty()) << "the demo network has such a system";
    const std::string transQuery =
        "SELECT NODEKEY FROM RE_TREE_STRUCT WHERE P_KEY = '按传输制式划分' ORDER BY 1";
    auto trans = column(db, transQuery);
    const std::string areaQuery =
        "SELECT NODEKEY || '|' || NODENAME || '|' || PARENTKEY || '|' || NODELEVEL || '|' || "
        "IS_DELETE FROM RE_TREE_STRUCT WHERE P_KEY = '按管理区域划分' ORDER BY rowid";
    const auto areaBefore = column(db, areaQuery);
    ocable::db::SqliteConnection(db).execute(
        "CREATE TRIGGER refuse BEFORE INSERT ON RE_TREE_STRUCT WHEN NEW.NODELEVEL = 2 BEGIN SELECT "
        "RAISE(ABORT, 'refused'); END");
    // A right click is a press, then the click, as the tree reports them.
    const HostRun run = HostRunner::run(root, script(R"([DUMP,
        {"tree": "frmViewResTree.TreeSystem", "node": "NODE", "do": "uncheck"}, DUMP,
        {"tree": "frmViewResTree.TreeSystem", "node": "NODE", "do": "check"}, DUMP,
        {"tree": "frmViewResTree.TreeSystem", "node": "按管理区域划分:DWDM", "do": "click"}, DUMP,
        {"combo": "frmViewResTree.CobSubNetPart", "select": "按传输制式划分"},
        {"call": "frmViewResTree.ActiveBarPop_ToolClick", "args": ["mnuRefresh"]},
        {"tree": "frmViewResTree.TreeSystem", "node": "按传输制式划分", "do": "select"},
        {"call": "frmViewResTree.ActiveBarPop_ToolClick", "args": ["mnuAdd"]},
        {"answer": "No"},
        {"combo": "frmViewResTree.CobSubNetPart", "select": "按管理区域划分"},
        {"dump": true},
        {"tree": "frmViewResTree.TreeSystem", "node": "按管理区域划分", "do": "select"},
        {"call": "frmViewResTree.ActiveBarPop_ToolClick", "args": ["mnuAdd"]},
        {"call": "frmViewResTree.ActiveBarPop_ToolClick", "args": ["mnuSaveTree"]},
        {"dump": true},
        {"call": "frmViewResTree.TreeSystem_MouseDown", "args": ["SYSTEM", true, 1000]},
        {"call": "frmViewResTree.TreeSystem_NodeClick", "args": ["SYSTEM"]},
        {"tool": "mnuProperty", "control": "ActiveBarPop"}, {"dump": true},
        {"tree": "frmViewResTree.TreeSystem", "node": "划分方法1", "do": "click"}, {"dump": true},
        {"tree": "frmViewResTree.TreeSystem", "node": "SYSTEM", "do": "click"}, {"dump": true},
        {"call": "frmViewResTree.TreeSystem_MouseDown", "args": ["按管理区域划分", true, 1000]},
        {"call": "frmViewResTree.TreeSystem_NodeClick", "args": ["按管理区域划分"]},
        {"call": "frmViewResTree.TreeSystem_MouseMove", "args": [true, 299]},
        {"tool": "mnuModify", "control": "ActiveBarPop"}, {"dump": true},
        {"call": "frmViewResTree.TreeSystem_AfterLabelEdit", "args": ["按管理区域划分", "按传输制式划分"]},
        {"tool": "mnuModify", "control": "ActiveBarPop"},
        {"call": "frmViewResTree.TreeSystem_AfterLabelEdit", "args": ["按管理区域划分", "自定义"]},
        {"tool": "mnuChannelMap", "control": "ActiveBarPop"}, {"tool": "mnuProperty", "control": "ActiveBarPop"},
        {"tool": "mnuDelete", "control": "ActiveBarPop"},
        {"drag": "frmViewResTree.TreeSystem", "from": "划分方法1", "to": "SYSTEM", "dy": 300}, {"dump": true},
        {"drag": "frmViewResTree.TreeSystem", "from": "划分方法1", "to": "SYSTEM", "dy": 301}, {"dump": true},
        {"answer": "Yes"}, {"tool": "mnuDelete", "control": "ActiveBarPop"}, {"dump": true}])",
                                                     "按管理区域划分:" + system, dwdm, sys));
    ASSERT_EQ(run.exitCode, 0) << run.stderrText;
    const QJsonArray all = run.dumps();
    const auto before = cableCodes(run.dump(0));
    std::set<std::string> expected = before;
    for (const std::string& c : own)
        expected.erase(c);
    EXPECT_LT(expected.size(), before.size()) << "some of the system's own segments are ordinary cables";
    EXPECT_EQ(cableCodes(run.dump(1)), expected);
    EXPECT_EQ(cableCodes(run.dump(2)), before);

    // The click selects the route: every drawn segment of the system's DWDM
    // links or of its own, and nothing off it.
    const auto drawn = cableCodes(run.dump(3));
    std::set<std::string> route;
    for (const std::string& c : viaDwdm)
        if (drawn.contains(c)) route.insert(c);
    EXPECT_TRUE(std::ranges::any_of(route, [&](const std::string& c) {
        return !std::ranges::count(direct, c);
    })) << "a drawn segment only the DWDM links reach";
    for (const std::string& c : direct)
        if (drawn.contains(c)) route.insert(c);
    EXPECT_EQ(cableCodes(run.dump(3), true), route);
    // The refresh stored the rule without the system gone; No kept it so.
    std::erase(trans, "按传输制式划分:" + gone);
    EXPECT_EQ(column(db, transQuery), trans);
    EXPECT_EQ(all[4]["ruleEditor"]["curRuleName"].toString(), "按管理区域划分");
    EXPECT_FALSE(all[4]["ruleEditor"]["isModified"].toBool());

    // The refused save; nothing later stores the rule either.
    EXPECT_EQ(column(db, areaQuery), areaBefore);
    const auto failed = messageTexts(all[5].toObject());
    EXPECT_EQ(1, std::ranges::count(failed, "子网：“按管理区域划分”保存失败，数据库中的划分原则未作改动！"));
    EXPECT_EQ(0, std::ranges::count(failed, "保存成功！"));

    const QJsonArray d = QJsonArray::fromVariantList(all.toVariantList().mid(6));
    for (const auto& [dump, entry, enabled] : {std::tuple{0, "mnuAdd", false},
                                               {0, "mnuModify", false},
                                               {0, "mnuDelete", false},
                                               {0, "mnuSaveTree", true},
                                               {3, "mnuAdd", true},
                                               {3, "mnuModify", true},
                                               {3, "mnuDelete", true}})
        EXPECT_EQ(d[dump]["tools"][QString("ActiveBarPop/mnuPop/") + entry]["enabled"].toBool(), enabled)
            << dump << entry;
    const QJsonArray rows = d[1]["forms"]["frmViewProperty"]["controls"]["SUIProperty"]["rows"].toArray();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0]["value"].toString(), groupText);
    EXPECT_EQ(rows[1]["value"].toString(), "存在3个传输系统");
    const QJsonObject form = d[2]["forms"]["propertyForm"].toObject();
    EXPECT_TRUE(form["visible"].toBool());
    EXPECT_TRUE(form["controls"]["propertyForm"]["items"].toArray().contains(QJsonArray{
        "系统名称",
        QString::fromStdString(
            column(db, "SELECT SYSNAME FROM TRANSSYSTEM WHERE SYSTEMCODE = '" + code + "'").at(0))}));
    EXPECT_EQ(d[3]["ruleEditor"]["editingNode"].toString(), "按管理区域划分");
    EXPECT_FALSE(d[3]["ruleEditor"]["dragging"].toBool()) << "a right press measures no height";
    EXPECT_EQ(d[4]["ruleEditor"]["editingNode"].toString(), "");
    EXPECT_EQ(d[4]["trees"]["frmViewResTree.TreeSystem"][0]["text"].toString(), "自定义");
    QStringList texts;
    for (const QJsonValue m : d[6]["messages"].toArray())
        texts << m["title"].toString() + ":" + m["text"].toString();
    EXPECT_EQ(
        texts.mid(texts.size() - 5),
        (QStringList{"提示:划分原则命名重复！", "提示:数据有误！", "提示:对象编号为空！",
                     "提示:不能删除划分原则“自定义”", "删除确认:确定要删除节点“" + groupText + "”吗？"}));
    for (const QJsonValue n : d[6]["trees"]["frmViewResTree.TreeSystem"][0]["children"].toArray())
        EXPECT_NE(n["key"].toString().toStdString(), group);
    EXPECT_FALSE(d[4]["ruleEditor"]["dragging"].toBool());
    EXPECT_EQ(d[4]["ruleEditor"]["dropTarget"].toString().toStdString(), group);
    EXPECT_TRUE(d[5]["ruleEditor"]["dragging"].toBool());
    EXPECT_EQ(d[5]["ruleEditor"]["dropTarget"].toString().toStdString(), sys);
}

} // namespace
