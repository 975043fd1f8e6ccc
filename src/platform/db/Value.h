#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace ocable::db {

// One cell of a recordset: Null, an integer, a real or UTF-8 text, as the
// database returned it.
class Value {
public:
    Value() = default; // Null
    Value(std::int64_t v) : data_(v) {}
    Value(int v) : data_(std::int64_t{v}) {}
    Value(double v) : data_(v) {}
    Value(std::string v) : data_(std::move(v)) {}
    Value(const char* v) : data_(std::string(v)) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(data_); }
    bool isText() const { return std::holds_alternative<std::string>(data_); }
    bool isInteger() const { return std::holds_alternative<std::int64_t>(data_); }
    bool isReal() const { return std::holds_alternative<double>(data_); }

    // The value as text; Null gives the empty text. Reals print the shortest
    // text that reads back to the same number ("116.4", not "116.400000").
    std::string toText() const;

    bool operator==(const Value&) const = default;

private:
    std::variant<std::monostate, std::int64_t, double, std::string> data_;
};

} // namespace ocable::db
