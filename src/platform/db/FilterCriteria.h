#pragma once

#include "platform/db/CellStore.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ocable::db {

// An ADO filter criteria compiled once against a recordset's columns into a
// tree of comparisons with resolved column positions, then run over the rows.
//
// Understood: Field = 'text', Field <> 'text', Field = null, Field <> null,
// Field = 5 (a bare number compares as a number), joined by And and Or in any
// letter case (And binds tighter), with parentheses and any spacing. Field
// names are matched without regard to case and may be written [in brackets].
// Inside quotes '' stands for one quote.
//
// A comparison with a Null cell is false whatever the operator, so
// "X <> 'a'" does not pass a row whose X is Null; "X = null" does. Numbers
// in the cells compare with quoted text through their text ("5", "116.4").
class FilterCriteria {
public:
    // Throws DbError naming the criteria and what is wrong in it, or the
    // field that columns does not hold.
    FilterCriteria(std::string_view criteria, const std::vector<std::string>& columns);

    // The rows that pass, in row order.
    std::vector<std::uint32_t> select(const CellStore& cells) const;

private:
    class Parser;
    enum class Op : std::uint8_t { Equal, NotEqual, IsNull, IsNotNull, And, Or };

    struct Literal {
        std::string text;        // quotes removed
        bool bareNumber = false; // written without quotes
        double number = 0;       // the bare number
        bool asInteger = false;  // text is what an integer cell prints as
        std::int64_t integer = 0;
        bool asReal = false; // text is what a real cell prints as
        std::uint64_t realBits = 0;
    };

    struct Node {
        Op op = Op::And;
        std::uint32_t column = 0;           // comparisons
        std::uint32_t first = 0, count = 0; // And / Or: range of children_
        Literal literal;
    };

    // One bit per row. Each comparison runs down its column once, however
    // often the criteria repeats it (the other-station criteria name eleven
    // comparisons some forty times); And and Or then combine whole words.
    using Bits = std::vector<std::uint64_t>;
    Bits evaluate(std::uint32_t node, const CellStore& cells, std::vector<Bits>& leaves) const;
    static bool equals(const Literal& literal, const CellStore::Cell& cell);

    std::vector<Node> nodes_;
    std::vector<std::uint32_t> children_;
    std::uint32_t root_ = 0;
};

} // namespace ocable::db
