#pragma once

// Host services that remember what the plug-in asked of them.

#include "host/IResService.h"

#include <QLabel>
#include <string>
#include <vector>

namespace ocable::itest {

struct RecordingResService : host::IResService {
    std::vector<std::string> calls;
    void initResService(const host::HostArray&) override {}
    QWidget* propertyWindow(const std::string& code, const std::string& table) override {
        calls.push_back("property:" + table + ":" + code);
        auto* form = new QLabel(QString::fromStdString(code));
        form->setObjectName("hostForm");
        return form;
    }
    void showStationTransmission(const std::string& request) override {
        calls.push_back("station:" + request);
    }
    void showFibers(const std::string& codes, const std::string& description) override {
        calls.push_back("fibers:" + codes + "|" + description);
    }
};

struct RecordingViewBridge : host::IViewBridge {
    std::vector<std::string> calls;
    bool callView(const std::string& view, const std::string& a, const std::string& b) override {
        calls.push_back(view + "(" + a + "," + b + ")");
        return true;
    }
};

} // namespace ocable::itest
