#pragma once

// Host services for tests: real files and a real SQLite database under a
// temporary folder, with every message and SQL text recorded.

#include "IniFileReader.h"
#include "SqliteDataAccess.h"
#include "core/TextUtil.h"
#include "core/mPubVar.h"
#include "host/HostArray.h"
#include "platform/ui/KeyedTree.h"
#include "support/TempDir.h"

#include <QImage>
#include <QLabel>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace ocable::fake {

struct FakeGrid : host::IGridService {
    void setupGrid(QWidget*) override {}
    void formatGrid(QWidget*, bool, const std::string&) override {}
};

struct FakeCommon : host::ICommon {
    bool fileExists(const std::filesystem::path& path) override { return std::filesystem::exists(path); }
    std::string getField(std::string_view t, std::string_view d, int position) override {
        return text::field(t, d, position);
    }
    QImage loadPicture(const std::string& fileName, const std::filesystem::path& folder) override {
        return QImage(QString::fromStdString((folder / fileName).string()));
    }
    std::string addTreeNode(ui::KeyedTree& tree, const std::string& parentKey, const std::string& key,
                            const std::string& t) override {
        tree.Add(parentKey, key, t);
        return key;
    }
    bool nodeKeyExists(const ui::KeyedTree& tree, const std::string& key) override {
        return tree.Exists(key);
    }
    void setNodeChecked(ui::KeyedTree& tree, const std::string& key, bool checked) override {
        tree.setCheckedRecursive(tree.id(key), checked);
    }
    QWidget* hostWindowOf(QWidget*) override { return nullptr; }
    void writeOperationLog(const std::string&, const std::string&, const std::string&, int,
                           const std::string&, const std::string&) override {}
};

struct FakeSysEnv : host::ISysEnv {
    std::filesystem::path systemDir, appDir, mapDir;
    std::string userName = "demo";
    int userLevel = 2;
    std::filesystem::path getSystemDir() override { return systemDir; }
    std::filesystem::path getAppDir() override { return appDir; }
    std::filesystem::path getMapDir() override { return mapDir; }
    std::string getUserName() override { return userName; }
    int getUserLevel() override { return userLevel; }
    std::string getTitleA() override { return "传输网管"; }
    std::string getTitleB() override { return "光缆"; }
};

struct FakeSysParam : host::ISysParam {};
struct FakeHostExtra : host::IHostExtra {};

struct FakeMessage : host::IMessage {
    std::vector<std::string> shown; // "notice:", "error:" or "report:" + text
    void showNotice(const std::string& t) override { shown.push_back("notice:" + t); }
    void showError(const std::string& t) override { shown.push_back("error:" + t); }
    void reportError(const std::string& t) override { shown.push_back("report:" + t); }
};

// Remembers what the plug-in asked of it; a property form is a label
// naming the object.
struct FakeResService : host::IResService {
    int initialised = 0;
    std::vector<std::string> calls; // "property:", "station:" or "fibers:" + what was asked
    void initResService(const host::HostArray&) override { ++initialised; }
    QWidget* propertyWindow(const std::string& code, const std::string& table) override {
        calls.push_back("property:" + table + ":" + code);
        return new QLabel(QString::fromStdString(code));
    }
    void showStationTransmission(const std::string& request) override {
        calls.push_back("station:" + request);
    }
    void showFibers(const std::string& codes, const std::string& description) override {
        calls.push_back("fibers:" + codes + "|" + description);
    }
};

// Data access that gives a prepared answer, or fails, whatever is asked.
struct ScriptedDataAccess : host::IDataAccess {
    std::shared_ptr<db::Recordset> answer;
    std::string failure; // thrown as a database error when not empty
    std::vector<std::string> sql;
    std::shared_ptr<db::Recordset> openRecordset(std::string_view, std::string_view s, int) override;
    long executeSql(std::string_view, std::string_view s) override;
};

// Data access over a SQLite file that also keeps every SQL text sent.
struct RecordingDataAccess : hostapp::SqliteDataAccess {
    std::vector<std::string> sql;
    explicit RecordingDataAccess(const std::filesystem::path& db) : SqliteDataAccess(db) {
        setObserver([this](std::string_view s) { sql.emplace_back(s); });
    }
};

// A whole host: folders under a fresh temporary directory, an empty database
// there, and the services installed in the plug-in's globals.
class FakeHost {
public:
    FakeHost();
    ~FakeHost();

    // Runs a script of statements, each ended by a semicolon (the last may
    // go without), on the database without recording them.
    void exec(std::string_view script);
    host::HostArray array(int lowerBound = 1) const;
    // Stores the services in the globals, as initEnv would.
    void install();

    // Removed after the destructor has waited for the geoset writer.
    const testsupport::TempDir folder{"test"};
    const std::filesystem::path root = folder.path();
    std::shared_ptr<FakeGrid> grid = std::make_shared<FakeGrid>();
    std::shared_ptr<FakeCommon> common = std::make_shared<FakeCommon>();
    std::shared_ptr<FakeSysEnv> sysEnv = std::make_shared<FakeSysEnv>();
    std::shared_ptr<FakeSysParam> sysParam = std::make_shared<FakeSysParam>();
    std::shared_ptr<FakeMessage> message = std::make_shared<FakeMessage>();
    std::shared_ptr<RecordingDataAccess> data;
    std::shared_ptr<FakeHostExtra> extra = std::make_shared<FakeHostExtra>();
    std::shared_ptr<hostapp::IniFileReader> ini = std::make_shared<hostapp::IniFileReader>();
    std::shared_ptr<FakeResService> resService = std::make_shared<FakeResService>();
};

} // namespace ocable::fake
