#include "platform/db/FilterCriteria.h"

#include "platform/db/DbError.h"
#include "platform/db/NumberFormat.h"
#include "platform/db/Value.h"

#include <bit>
#include <charconv>
#include <unordered_map>

namespace ocable::db {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isNameStart(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || u >= 0x80;
}
bool isNameChar(char c) {
    return isNameStart(c) || isDigit(c) || c == '$' || c == '#';
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

} // namespace

class FilterCriteria::Parser {
public:
    Parser(FilterCriteria& out, std::string_view text, const std::vector<std::string>& columns)
        : out_(out), text_(text), columns_(columns) {}

    void run() {
        out_.root_ = disjunction();
        skipBlanks();
        if (pos_ < text_.size()) fail("unexpected text");
    }

private:
    [[noreturn]] void fail(const char* what) const {
        throw DbError("malformed filter \"" + shown() + "\": " + what + " at offset " + std::to_string(pos_));
    }

    // The criteria as a message shows it: a hostile megabyte is cut short.
    std::string shown() const { return cut(text_); }
    static std::string cut(std::string_view text) {
        constexpr std::size_t kShown = 200;
        return text.size() <= kShown ? std::string(text) : std::string(text.substr(0, kShown)) + "...";
    }

    void skipBlanks() {
        while (pos_ < text_.size() && isBlank(text_[pos_]))
            ++pos_;
    }

    // Consumes the keyword when it stands next as a whole word.
    bool keyword(std::string_view word) {
        skipBlanks();
        if (text_.size() - pos_ < word.size() || !sameName(text_.substr(pos_, word.size()), word))
            return false;
        const std::size_t end = pos_ + word.size();
        if (end < text_.size() && isNameChar(text_[end])) return false;
        pos_ = end;
        return true;
    }

    bool symbol(char c) {
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    std::uint32_t addNode(Node node) {
        out_.nodes_.push_back(std::move(node));
        return static_cast<std::uint32_t>(out_.nodes_.size() - 1);
    }

    std::uint32_t group(Op op, const std::vector<std::uint32_t>& operands) {
        if (operands.size() == 1) return operands.front();
        Node node;
        node.op = op;
        node.first = static_cast<std::uint32_t>(out_.children_.size());
        node.count = static_cast<std::uint32_t>(operands.size());
        out_.children_.insert(out_.children_.end(), operands.begin(), operands.end());
        return addNode(std::move(node));
    }

    std::uint32_t disjunction() {
        std::vector<std::uint32_t> operands{conjunction()};
        while (keyword("OR"))
            operands.push_back(conjunction());
        return group(Op::Or, operands);
    }

    std::uint32_t conjunction() {
        std::vector<std::uint32_t> operands{primary()};
        while (keyword("AND"))
            operands.push_back(primary());
        return group(Op::And, operands);
    }

    std::uint32_t primary() {
        if (symbol('(')) {
            // Each parenthesis costs a few stack frames: a criteria nested
            // deeper than any real one is refused before the stack runs out.
            if (++depth_ > kMaxDepth) fail("parentheses nested too deep");
            const std::uint32_t inner = disjunction();
            if (!symbol(')')) fail("expected )");
            --depth_;
            return inner;
        }
        return comparison();
    }

    std::uint32_t comparison() {
        Node node;
        node.column = field();
        skipBlanks();
        bool equal;
        if (symbol('=')) {
            equal = true;
        } else if (text_.substr(pos_, 2) == "<>") {
            pos_ += 2;
            equal = false;
        } else {
            fail("expected = or <>");
        }
        if (keyword("NULL")) {
            node.op = equal ? Op::IsNull : Op::IsNotNull;
        } else {
            node.op = equal ? Op::Equal : Op::NotEqual;
            node.literal = literal();
        }
        // A repeated comparison is one node, evaluated once (see Bits).
        std::string key;
        key.reserve(node.literal.text.size() + 16);
        key.append(std::to_string(static_cast<int>(node.op))).append(":");
        key.append(std::to_string(node.column)).append(node.literal.bareNumber ? "#" : "'");
        key.append(node.literal.text);
        if (auto it = seen_.find(key); it != seen_.end()) return it->second;
        const std::uint32_t index = addNode(std::move(node));
        seen_.emplace(std::move(key), index);
        return index;
    }

    std::uint32_t field() {
        skipBlanks();
        std::string_view name;
        if (pos_ < text_.size() && text_[pos_] == '[') {
            const std::size_t close = text_.find(']', pos_ + 1);
            if (close == std::string_view::npos) fail("expected ]");
            name = text_.substr(pos_ + 1, close - pos_ - 1);
            pos_ = close + 1;
        } else if (pos_ < text_.size() && isNameStart(text_[pos_])) {
            const std::size_t begin = pos_;
            while (pos_ < text_.size() && isNameChar(text_[pos_]))
                ++pos_;
            name = text_.substr(begin, pos_ - begin);
        } else {
            fail("expected a field name");
        }
        for (std::size_t i = 0; i < columns_.size(); ++i)
            if (sameName(columns_[i], name)) return static_cast<std::uint32_t>(i);
        throw DbError("unknown field \"" + cut(name) + "\" in filter \"" + shown() + "\"");
    }

    Literal literal() {
        skipBlanks();
        Literal lit;
        if (pos_ < text_.size() && text_[pos_] == '\'') {
            ++pos_;
            for (;;) {
                if (pos_ >= text_.size()) fail("unterminated string");
                const char c = text_[pos_++];
                if (c != '\'') {
                    lit.text.push_back(c);
                } else if (pos_ < text_.size() && text_[pos_] == '\'') {
                    lit.text.push_back('\'');
                    ++pos_;
                } else {
                    break;
                }
            }
            // How a number cell would have to print to equal this text.
            std::int64_t i = 0;
            const char* b = lit.text.data();
            const char* e = b + lit.text.size();
            if (auto [end, ec] = std::from_chars(b, e, i);
                ec == std::errc{} && end == e && std::to_string(i) == lit.text) {
                lit.asInteger = true;
                lit.integer = i;
            }
            if (auto d = parseNumber(lit.text); d && formatNumber(*d) == lit.text) {
                lit.asReal = true;
                lit.realBits = std::bit_cast<std::uint64_t>(*d);
            }
            return lit;
        }
        const std::size_t begin = pos_;
        if (pos_ < text_.size() && (text_[pos_] == '-' || text_[pos_] == '+')) ++pos_;
        while (pos_ < text_.size() && (isDigit(text_[pos_]) || text_[pos_] == '.'))
            ++pos_;
        if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
            ++pos_;
            if (pos_ < text_.size() && (text_[pos_] == '-' || text_[pos_] == '+')) ++pos_;
            while (pos_ < text_.size() && isDigit(text_[pos_]))
                ++pos_;
        }
        const auto number = parseNumber(text_.substr(begin, pos_ - begin));
        if (!number || (pos_ < text_.size() && isNameChar(text_[pos_]))) {
            pos_ = begin;
            fail("expected a value");
        }
        lit.text = std::string(text_.substr(begin, pos_ - begin));
        lit.bareNumber = true;
        lit.number = *number;
        return lit;
    }

    static constexpr int kMaxDepth = 200;

    FilterCriteria& out_;
    std::string_view text_;
    const std::vector<std::string>& columns_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    std::unordered_map<std::string, std::uint32_t> seen_; // comparison -> node
};

FilterCriteria::FilterCriteria(std::string_view criteria, const std::vector<std::string>& columns) {
    Parser(*this, criteria, columns).run();
}

bool FilterCriteria::equals(const Literal& lit, const CellStore::Cell& cell) {
    switch (cell.kind) {
    case CellStore::Kind::Text:
        if (lit.bareNumber) {
            const auto n = parseNumber(cell.text);
            return n && *n == lit.number;
        }
        return cell.text == lit.text;
    case CellStore::Kind::Integer:
        return lit.bareNumber ? static_cast<double>(cell.integer) == lit.number
                              : lit.asInteger && cell.integer == lit.integer;
    case CellStore::Kind::Real:
        // Text compares with the cell's printed text, which has at most 15
        // digits: "0.3" also matches a cell holding 0.30000000000000004.
        return lit.bareNumber ? cell.real == lit.number
                              : lit.asReal && (std::bit_cast<std::uint64_t>(cell.real) == lit.realBits ||
                                               formatNumber(cell.real) == lit.text);
    case CellStore::Kind::Null:
        break;
    }
    return false;
}

FilterCriteria::Bits FilterCriteria::evaluate(std::uint32_t index, const CellStore& cells,
                                              std::vector<Bits>& leaves) const {
    const Node& node = nodes_[index];
    const std::size_t rows = cells.rowCount();
    if (node.op == Op::And || node.op == Op::Or) {
        Bits bits = evaluate(children_[node.first], cells, leaves);
        for (std::uint32_t i = 1; i < node.count; ++i) {
            const Bits other = evaluate(children_[node.first + i], cells, leaves);
            for (std::size_t w = 0; w < bits.size(); ++w)
                bits[w] = node.op == Op::And ? (bits[w] & other[w]) : (bits[w] | other[w]);
        }
        return bits;
    }
    Bits& bits = leaves[index];
    if (bits.empty() && rows > 0) {
        bits.assign((rows + 63) / 64, 0);
        const bool wantNull = node.op == Op::IsNull, nullTest = wantNull || node.op == Op::IsNotNull;
        const bool equal = node.op == Op::Equal;
        cells.forEachCell(node.column, [&](std::size_t row, const CellStore::Cell& cell) {
            const bool isNull = cell.kind == CellStore::Kind::Null;
            const bool pass = nullTest ? isNull == wantNull : !isNull && equals(node.literal, cell) == equal;
            bits[row / 64] |= std::uint64_t{pass} << (row % 64);
        });
    }
    return bits;
}

std::vector<std::uint32_t> FilterCriteria::select(const CellStore& cells) const {
    std::vector<Bits> leaves(nodes_.size());
    const Bits bits = evaluate(root_, cells, leaves);
    std::vector<std::uint32_t> rows;
    for (std::size_t w = 0; w < bits.size(); ++w)
        for (std::uint64_t word = bits[w]; word != 0; word &= word - 1)
            rows.push_back(
                static_cast<std::uint32_t>(w * 64 + static_cast<std::size_t>(std::countr_zero(word))));
    return rows;
}

} // namespace ocable::db
