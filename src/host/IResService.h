#pragma once

#include "host/HostArray.h"
#include "host/HostObject.h"

#include <filesystem>
#include <string>

class QWidget;

namespace ocable::host {

// The host's resource-object service: property forms of database objects and
// the fibre and station-list views.
class IResService : public virtual HostObject {
public:
    virtual void initResService(const HostArray& hostObjects) = 0;
    // A form showing the object's properties, ready to dock; null when the
    // object cannot be shown. table is "STATION", "EN_OCABLE" or "TRANSSYSTEM".
    virtual QWidget* propertyWindow(const std::string& code, const std::string& table) = 0;
    // "STATIONNAME,STATIONCODE;" + name + "," + code: the station's transmission view.
    virtual void showStationTransmission(const std::string& request) = 0;
    // Cable codes joined by "<>" and the texts describing their ends.
    virtual void showFibers(const std::string& cableCodes, const std::string& description) = 0;
};

// Gives the spreadsheet grid of the cable line window the host's look:
// setupGrid once the grid has its columns, then formatGrid (with the flag
// for the host's standard settings and an option text, empty for none).
class IGridService : public virtual HostObject {
public:
    virtual void setupGrid(QWidget* grid) = 0;
    virtual void formatGrid(QWidget* grid, bool standard, const std::string& option) = 0;
};

// Opens another view of the host.
class IViewBridge : public virtual HostObject {
public:
    // False (after telling the user) when the view is not installed.
    virtual bool callView(const std::string& viewName, const std::string& arg1, const std::string& arg2) = 0;
};

// Reads the host's INI files.
class IIniFile : public virtual HostObject {
public:
    // The value, or empty text for a missing file, section or key.
    virtual std::string readIniValue(const std::filesystem::path& file, const std::string& section,
                                     const std::string& key) = 0;
};

} // namespace ocable::host
