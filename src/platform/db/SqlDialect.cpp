#include "platform/db/SqlDialect.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

namespace ocable::db {

namespace {

enum class Kind { Word, Quoted, String, Number, Symbol };

struct Token {
    Kind kind;
    std::size_t begin, end; // byte range in the text
};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isWordStart(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || u >= 0x80;
}
bool isWordChar(char c) {
    return isWordStart(c) || isDigit(c) || c == '$' || c == '#';
}

// The tokens of the text, blanks and comments left out.
std::vector<Token> tokenize(std::string_view s) {
    std::vector<Token> out;
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n) {
        const char c = s[i];
        const std::size_t begin = i;
        if (isBlank(c)) {
            ++i;
        } else if (c == '-' && i + 1 < n && s[i + 1] == '-') {
            while (i < n && s[i] != '\n')
                ++i;
        } else if (c == '/' && i + 1 < n && s[i + 1] == '*') {
            const std::size_t close = s.find("*/", i + 2);
            i = close == std::string_view::npos ? n : close + 2;
        } else if (c == '\'' || c == '"') {
            // A doubled quote stays inside; an unterminated one runs to the end.
            ++i;
            while (i < n) {
                if (s[i] == c) {
                    if (i + 1 < n && s[i + 1] == c) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            out.push_back({c == '\'' ? Kind::String : Kind::Quoted, begin, i});
        } else if (isWordStart(c)) {
            while (i < n && isWordChar(s[i]))
                ++i;
            out.push_back({Kind::Word, begin, i});
        } else if (isDigit(c) || (c == '.' && i + 1 < n && isDigit(s[i + 1]))) {
            while (i < n && (isDigit(s[i]) || s[i] == '.'))
                ++i;
            if (i < n && (s[i] == 'e' || s[i] == 'E')) {
                std::size_t j = i + 1;
                if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
                if (j < n && isDigit(s[j])) {
                    i = j;
                    while (i < n && isDigit(s[i]))
                        ++i;
                }
            }
            out.push_back({Kind::Number, begin, i});
        } else {
            static constexpr std::array<std::string_view, 5> pairs{"||", "<>", "!=", "<=", ">="};
            i += std::any_of(pairs.begin(), pairs.end(),
                             [&](std::string_view p) { return s.substr(i, 2) == p; })
                     ? 2
                     : 1;
            out.push_back({Kind::Symbol, begin, i});
        }
    }
    return out;
}

bool sameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto up = [](char ch) { return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 32) : ch; };
               return up(x) == up(y);
           });
}

// Words that cannot be an operand of || on their own.
bool isClauseWord(std::string_view w) {
    static constexpr std::array<std::string_view, 30> words{
        "SELECT", "FROM",  "WHERE",  "AND",      "OR",    "NOT",    "IN",     "IS",   "LIKE", "BETWEEN",
        "AS",     "ON",    "BY",     "ORDER",    "GROUP", "HAVING", "CASE",   "WHEN", "THEN", "ELSE",
        "END",    "UNION", "EXISTS", "DISTINCT", "ALL",   "ESCAPE", "VALUES", "SET",  "INTO", "JOIN"};
    return std::any_of(words.begin(), words.end(), [&](std::string_view k) { return sameWord(w, k); });
}

class Adapter {
public:
    explicit Adapter(std::string_view sql) : sql_(sql), tokens_(tokenize(sql)), match_(tokens_.size(), npos) {
        std::vector<std::size_t> open;
        for (std::size_t i = 0; i < tokens_.size(); ++i) {
            if (is(i, "(")) {
                open.push_back(i);
            } else if (is(i, ")") && !open.empty()) {
                match_[i] = open.back();
                match_[open.back()] = i;
                open.pop_back();
            }
        }
    }

    std::string run() {
        unwrapInsertSelect();
        concatenationSkipsNull();
        nullsSortLast();
        return apply();
    }

private:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    struct Edit {
        std::size_t at, erase;
        std::string insert;
    };

    std::string_view text(std::size_t i) const {
        return sql_.substr(tokens_[i].begin, tokens_[i].end - tokens_[i].begin);
    }
    bool is(std::size_t i, std::string_view symbol) const {
        return i < tokens_.size() && tokens_[i].kind == Kind::Symbol && text(i) == symbol;
    }
    bool isWord(std::size_t i, std::string_view word) const {
        return i < tokens_.size() && tokens_[i].kind == Kind::Word && sameWord(text(i), word);
    }
    bool isName(std::size_t i) const {
        return i < tokens_.size() &&
               (tokens_[i].kind == Kind::Quoted || (tokens_[i].kind == Kind::Word && !isClauseWord(text(i))));
    }

    // Removes one parenthesis, leaving a blank where two words would touch.
    void dropParenthesis(std::size_t i) {
        const std::size_t at = tokens_[i].begin;
        const bool blankBefore = at == 0 || isBlank(sql_[at - 1]);
        const bool blankAfter = at + 1 >= sql_.size() || isBlank(sql_[at + 1]);
        edits_.push_back({at, 1, blankBefore || blankAfter ? "" : " "});
    }

    // INSERT INTO t [(columns)] (SELECT ...)  ->  INSERT INTO t [(columns)] SELECT ...
    void unwrapInsertSelect() {
        for (std::size_t i = 0; i + 2 < tokens_.size(); ++i) {
            if (!isWord(i, "INSERT") || !isWord(i + 1, "INTO") || !isName(i + 2)) continue;
            std::size_t j = i + 3;
            if (is(j, ".") && isName(j + 1)) j += 2;
            if (is(j, "(") && !startsQuery(j + 1) && match_[j] != npos) j = match_[j] + 1;
            if (is(j, "(") && startsQuery(j + 1) && match_[j] != npos) {
                dropParenthesis(j);
                dropParenthesis(match_[j]);
            }
        }
    }

    bool startsQuery(std::size_t i) const { return isWord(i, "SELECT") || isWord(i, "WITH"); }

    // Token range [first, last] of the operand ending at token i, or npos.
    std::size_t operandStart(std::size_t last) const {
        if (is(last, ")")) {
            std::size_t open = match_[last];
            if (open == npos) return npos;
            if (open > 0 && tokens_[open - 1].kind == Kind::Word && !isClauseWord(text(open - 1))) --open;
            return open;
        }
        if (!isName(last)) return npos;
        std::size_t first = last;
        while (first >= 2 && is(first - 1, ".") && isName(first - 2))
            first -= 2;
        return first;
    }

    std::size_t operandEnd(std::size_t first) const {
        if (is(first, "(")) return match_[first];
        if (!isName(first)) return npos;
        if (tokens_[first].kind == Kind::Word && is(first + 1, "(")) return match_[first + 1];
        std::size_t last = first;
        while (is(last + 1, ".") && isName(last + 2))
            last += 2;
        return last;
    }

    void wrap(std::size_t first, std::size_t last) {
        if (first == npos || last == npos) return;
        if (!wrapped_.empty() && wrapped_.back() == first) return; // the middle of a chain
        wrapped_.push_back(first);
        edits_.push_back({tokens_[first].begin, 0, "ifnull("});
        edits_.push_back({tokens_[last].end, 0, ",'')"});
    }

    void concatenationSkipsNull() {
        for (std::size_t i = 1; i + 1 < tokens_.size(); ++i) {
            if (!is(i, "||")) continue;
            if (tokens_[i - 1].kind != Kind::String && tokens_[i - 1].kind != Kind::Number)
                wrap(operandStart(i - 1), i - 1);
            if (tokens_[i + 1].kind != Kind::String && tokens_[i + 1].kind != Kind::Number)
                wrap(i + 1, operandEnd(i + 1));
        }
    }

    // Oracle: ascending puts Nulls last, descending first; SQLite the reverse.
    void nullsSortLast() {
        for (std::size_t i = 0; i + 1 < tokens_.size(); ++i) {
            if (!isWord(i, "ORDER") || !isWord(i + 1, "BY")) continue;
            std::size_t termStart = i + 2;
            std::size_t j = termStart;
            for (;; ++j) {
                const bool end = j >= tokens_.size() || is(j, ")") || is(j, ";") || is(j, ",") ||
                                 isWord(j, "LIMIT") || isWord(j, "OFFSET") || isWord(j, "FETCH") ||
                                 isWord(j, "FOR") || isWord(j, "ROWS") || isWord(j, "RANGE") ||
                                 isWord(j, "UNION") || isWord(j, "INTERSECT") || isWord(j, "EXCEPT");
                if (end) {
                    if (j > termStart) endTerm(termStart, j - 1);
                    if (!is(j, ",")) break;
                    termStart = j + 1;
                } else if (is(j, "(") && match_[j] != npos) {
                    j = match_[j];
                }
            }
            i = j;
        }
    }

    void endTerm(std::size_t first, std::size_t last) {
        for (std::size_t k = first; k <= last; ++k)
            if (isWord(k, "NULLS")) return;
        edits_.push_back({tokens_[last].end, 0, isWord(last, "DESC") ? " NULLS FIRST" : " NULLS LAST"});
    }

    std::string apply() {
        // At one place, inserts come before a removed parenthesis ("a || b)"
        // keeps the ",'')" of b inside the text that stays).
        std::stable_sort(edits_.begin(), edits_.end(), [](const Edit& a, const Edit& b) {
            return a.at < b.at || (a.at == b.at && a.erase < b.erase);
        });
        std::string out;
        out.reserve(sql_.size() + edits_.size() * 8);
        std::size_t pos = 0;
        for (const Edit& e : edits_) {
            out.append(sql_.substr(pos, e.at - pos));
            out.append(e.insert);
            pos = e.at + e.erase;
        }
        out.append(sql_.substr(pos));
        return out;
    }

    std::string_view sql_;
    std::vector<Token> tokens_;
    std::vector<std::size_t> match_; // the other parenthesis of each parenthesis token
    std::vector<Edit> edits_;
    std::vector<std::size_t> wrapped_;
};

} // namespace

std::string adaptToSqlite(std::string_view oracleSql) {
    return Adapter(oracleSql).run();
}

} // namespace ocable::db
