#pragma once

#include "host/IDataAccess.h"
#include "host/IResService.h"

#include <memory>

namespace ocable::hostapp {

// Property forms of database objects: the object's row with the Chinese
// captions of the table dictionary, visible columns only, in their order.
class HostResService : public host::IResService {
public:
    explicit HostResService(std::shared_ptr<host::IDataAccess> data) : data_(std::move(data)) {}

    void initResService(const host::HostArray& hostObjects) override;
    QWidget* propertyWindow(const std::string& code, const std::string& table) override;
    void showStationTransmission(const std::string& request) override;
    void showFibers(const std::string& cableCodes, const std::string& description) override;

    // Caption and value of each shown column of the object, in order; empty
    // when the table is not one the service knows or the object is missing.
    std::vector<std::pair<std::string, std::string>> propertyRows(const std::string& code,
                                                                  const std::string& table);

private:
    std::shared_ptr<host::IDataAccess> data_;
};

} // namespace ocable::hostapp
