#include "platform/gis/RowValues.h"

#include "platform/gis/GisError.h"
#include "platform/gis/TextUtil.h"

#include <utility>

namespace ocable::gis {

RowValues::RowValues(const std::vector<std::string>& fields, std::vector<std::string> values) {
    values.resize(fields.size());
    values_.reserve(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i)
        values_.push_back({fields[i], std::move(values[i])});
}

RowValue& RowValues::Item(int column) {
    return const_cast<RowValue&>(std::as_const(*this).Item(column));
}

const RowValue& RowValues::Item(int column) const {
    if (column < 1 || column > Count())
        throw GisError("列号 " + std::to_string(column) + " 超出范围 1.." + std::to_string(Count()));
    return values_[static_cast<std::size_t>(column - 1)];
}

RowValue& RowValues::Item(std::string_view field) {
    return const_cast<RowValue&>(std::as_const(*this).Item(field));
}

const RowValue& RowValues::Item(std::string_view field) const {
    for (const auto& v : values_)
        if (equalsNoCase(v.Field, field)) return v;
    throw GisError("没有名为“" + std::string(field) + "”的列");
}

std::vector<std::string> RowValues::values() const {
    std::vector<std::string> out;
    out.reserve(values_.size());
    for (const auto& v : values_)
        out.push_back(v.Value);
    return out;
}

} // namespace ocable::gis
