#pragma once

#include <string>

namespace ocable {

// One column of one database row, with its Chinese caption when the table
// dictionary has one.
struct clsViewField {
    std::string CHFieldName;
    std::string FieldName;
    std::string Value; // a Null value is the empty text
};

} // namespace ocable
