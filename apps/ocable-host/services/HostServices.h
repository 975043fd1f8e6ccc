#pragma once

// The stand-alone host's implementations of the services the plug-in uses.

#include "HostConfig.h"
#include "host/ICommon.h"
#include "host/IDataAccess.h"
#include "host/IMessage.h"
#include "host/IResService.h"
#include "host/ISysEnv.h"

#include <functional>
#include <memory>

namespace ocable::hostapp {

class HostCommon : public host::ICommon {
public:
    // logSink receives the operation-log entries (the host writes them to
    // the OPERATIONLOG table).
    explicit HostCommon(std::function<void(const std::vector<std::string>&)> logSink = {});

    bool fileExists(const std::filesystem::path& path) override;
    std::string getField(std::string_view text, std::string_view delimiter, int position) override;
    QImage loadPicture(const std::string& fileName, const std::filesystem::path& folder) override;
    std::string addTreeNode(ui::KeyedTree& tree, const std::string& parentKey, const std::string& key,
                            const std::string& text) override;
    bool nodeKeyExists(const ui::KeyedTree& tree, const std::string& key) override;
    void setNodeChecked(ui::KeyedTree& tree, const std::string& nodeKey, bool checked) override;
    QWidget* hostWindowOf(QWidget* window) override;
    void writeOperationLog(const std::string& code, const std::string& description,
                           const std::string& objectKey, int level, const std::string& extra1,
                           const std::string& extra2) override;

private:
    std::function<void(const std::vector<std::string>&)> logSink_;
};

class HostSysEnv : public host::ISysEnv {
public:
    explicit HostSysEnv(HostConfig config) : config_(std::move(config)) {}
    std::filesystem::path getSystemDir() override { return config_.systemDir; }
    std::filesystem::path getAppDir() override { return config_.appDir; }
    std::filesystem::path getMapDir() override { return config_.mapDir; }
    std::string getUserName() override { return config_.userName; }
    int getUserLevel() override { return config_.userLevel; }
    std::string getTitleA() override { return config_.titleA; }
    std::string getTitleB() override { return config_.titleB; }

private:
    HostConfig config_;
};

class HostSysParam : public host::ISysParam {};
class HostExtra : public host::IHostExtra {};

// Notices and errors go to the user through the application's message boxes.
class HostMessage : public host::IMessage {
public:
    void showNotice(const std::string& text) override;
    void showError(const std::string& text) override;
    void reportError(const std::string& text) override;
};

// The grid of the cable line window: rows selected whole, read-only,
// alternating colours; bold headings and the host's row height.
class HostGridService : public host::IGridService {
public:
    void setupGrid(QWidget* grid) override;
    void formatGrid(QWidget* grid, bool standard, const std::string& option) override;
};

// Opens the host's other views. The cable and duct network views are shown
// by a window with the cable segment's record that says which view it
// stands in for; any other view is not installed here, as the user is told.
class HostViewBridge : public host::IViewBridge {
public:
    explicit HostViewBridge(std::shared_ptr<host::IDataAccess> data = {}) : data_(std::move(data)) {}
    bool callView(const std::string& viewName, const std::string& arg1, const std::string& arg2) override;

private:
    std::shared_ptr<host::IDataAccess> data_;
};

} // namespace ocable::hostapp
