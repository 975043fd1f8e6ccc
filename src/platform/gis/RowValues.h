#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ocable::gis {

// One cell of a feature's data row.
struct RowValue {
    std::string Field; // the column name
    std::string Value;
};

// A writable copy of a feature's data row, as a dataset hands it out.
// Changing a value changes only this copy; Feature::Update(true, rowValues)
// or Layer::UpdateFeature writes it back. Item takes a 1-based column
// number or a column name in any letter case.
class RowValues {
public:
    RowValues() = default;
    RowValues(const std::vector<std::string>& fields, std::vector<std::string> values);

    int Count() const { return static_cast<int>(values_.size()); }
    RowValue& Item(int column);
    const RowValue& Item(int column) const;
    RowValue& Item(std::string_view field);
    const RowValue& Item(std::string_view field) const;
    RowValue& Item(const char* field) { return Item(std::string_view(field)); }
    const RowValue& Item(const char* field) const { return Item(std::string_view(field)); }

    std::vector<std::string> values() const;

private:
    std::vector<RowValue> values_;
};

} // namespace ocable::gis
