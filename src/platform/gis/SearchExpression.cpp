#include "platform/gis/SearchExpression.h"

#include "platform/gis/GisError.h"

namespace ocable::gis {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isNameChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '_' || c == '$';
}

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    std::vector<SearchTerm> parse() {
        std::vector<SearchTerm> terms;
        skipBlanks();
        if (atEnd()) throw GisError("搜索条件为空");
        for (;;) {
            terms.push_back(term());
            skipBlanks();
            if (atEnd()) return terms;
            keywordOr();
        }
    }

private:
    SearchTerm term() {
        SearchTerm t;
        skipBlanks();
        const std::size_t start = pos_;
        while (!atEnd() && isNameChar(text_[pos_]))
            ++pos_;
        if (pos_ == start) fail("列名");
        t.column = std::string(text_.substr(start, pos_ - start));
        skipBlanks();
        if (atEnd() || text_[pos_] != '=') fail("“=”");
        ++pos_;
        skipBlanks();
        if (atEnd() || text_[pos_] != '"') fail("带双引号的值");
        ++pos_;
        for (;;) {
            if (atEnd()) fail("结尾的双引号");
            if (text_[pos_] == '"') {
                if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '"') {
                    t.value += '"';
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                return t;
            }
            t.value += text_[pos_++];
        }
    }

    void keywordOr() {
        const bool isOr = pos_ + 1 < text_.size() && (text_[pos_] == 'o' || text_[pos_] == 'O') &&
                          (text_[pos_ + 1] == 'r' || text_[pos_ + 1] == 'R') &&
                          (pos_ + 2 == text_.size() || isBlank(text_[pos_ + 2]));
        if (!isOr) fail("OR");
        pos_ += 2;
    }

    [[noreturn]] void fail(const char* expected) const {
        // Count characters, not bytes: UTF-8 continuation bytes do not start one.
        std::size_t chars = 0;
        for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i)
            if ((static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80) ++chars;
        // A hostile megabyte of text is quoted cut short.
        constexpr std::size_t kShown = 200;
        const std::string shown =
            text_.size() <= kShown ? std::string(text_) : std::string(text_.substr(0, kShown)) + "...";
        throw GisError("搜索条件有误：第 " + std::to_string(chars + 1) + " 个字符处应为" + expected + "（" +
                       shown + "）");
    }

    void skipBlanks() {
        while (!atEnd() && isBlank(text_[pos_]))
            ++pos_;
    }
    bool atEnd() const { return pos_ >= text_.size(); }

    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace

std::vector<SearchTerm> parseSearchExpression(std::string_view expression) {
    return Parser(expression).parse();
}

std::string searchTerm(std::string_view column, std::string_view value) {
    std::string term(column);
    term.reserve(term.size() + value.size() + 5);
    term += " = \"";
    for (char c : value) {
        if (c == '"') term.push_back('"');
        term.push_back(c);
    }
    term.push_back('"');
    return term;
}

} // namespace ocable::gis
