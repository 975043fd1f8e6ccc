#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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
    Value(std::string_view v) : data_(std::string(v)) {}
    Value(const char* v) : data_(std::string(v)) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(data_); }
    bool isText() const { return std::holds_alternative<std::string>(data_); }
    bool isInteger() const { return std::holds_alternative<std::int64_t>(data_); }
    bool isReal() const { return std::holds_alternative<double>(data_); }

    // The value as text; Null gives the empty text. Reals print through
    // formatNumber: the shortest plain text of at most 15 significant digits
    // ("116.4", not "116.400000"; "0.0000001", not "1e-07").
    std::string toText() const;

    // The value as a number: integers and reals as they are, text when it
    // reads whole as a decimal number (blanks around it allowed), otherwise
    // nothing. Coordinates are stored as text in some of the host's tables.
    std::optional<double> toDouble() const;

    // Calls f with the stored alternative (std::monostate for Null).
    template <class F> decltype(auto) visit(F&& f) const { return std::visit(std::forward<F>(f), data_); }

    bool operator==(const Value&) const = default;

private:
    std::variant<std::monostate, std::int64_t, double, std::string> data_;
};

// A decimal number filling the whole text, blanks around it allowed.
std::optional<double> parseNumber(std::string_view text);

} // namespace ocable::db
