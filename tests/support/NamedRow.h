#pragma once

#include <concepts>
#include <ostream>
#include <string>

namespace ocable::testsupport {

// The first member of a row of a parameterised table: its name, which is
// what the test's name and its failure messages show instead of the row's
// bytes. Pass rowName as INSTANTIATE_TEST_SUITE_P's name generator.
struct NamedRow {
    const char* name;
};

template <std::derived_from<NamedRow> Row> void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

inline constexpr auto rowName = [](const auto& info) { return std::string(info.param.name); };

} // namespace ocable::testsupport
