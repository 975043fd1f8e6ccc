#pragma once

#include <random>
#include <string>
#include <string_view>
#include <vector>

// Seeded generators of hostile text for the fuzz suites. Every suite runs a
// fixed number of cases from a fixed seed, so a failure repeats exactly;
// the case number is in the trace.
namespace fuzz {

// Texts that have broken parsers before: non-finite and huge numbers, NUL
// bytes, unbalanced quotes and brackets, stray UTF-8.
inline const std::vector<std::string>& hostileWords() {
    using namespace std::string_literals; // keeps the NUL bytes
    static const std::vector<std::string> words = {
        "nan",      "NaN",    "inf",    "-inf", "Infinity", "1e308", "-1e308", "9e999", "1e-400",
        "0x1p3",    "",       " ",      "\0"s,  "a\0b"s,    "'",     "\"",     "''",    "\"\"",
        "(",        ")",      "((",     "))",   "[",        "]",     "=",      "<>",    "\xE4\xB8",
        "\xFF\xFE", "中继站", "\t\r\n", "-",    "+",        ".",     "e",      "1e",    "--"};
    return words;
}

class Hostile {
public:
    explicit Hostile(unsigned seed) : rng_(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(int percent) { return below(100) < percent; }
    template <class T> const T& pick(const std::vector<T>& from) {
        return from[static_cast<std::size_t>(below(static_cast<int>(from.size())))];
    }

    // Random bytes, any value, NUL included.
    std::string bytes(int maxLength) {
        std::string out(static_cast<std::size_t>(below(maxLength + 1)), '\0');
        for (char& c : out)
            c = static_cast<char>(below(256));
        return out;
    }

    // A sequence of words from vocabulary and hostileWords(), joined by
    // blanks or nothing, with now and then a run of random bytes.
    std::string sentence(const std::vector<std::string>& vocabulary, int maxWords) {
        std::string out;
        const int n = below(maxWords + 1);
        for (int i = 0; i < n; ++i) {
            if (chance(10))
                out += bytes(6);
            else
                out += chance(70) ? pick(vocabulary) : pick(hostileWords());
            if (chance(80)) out += ' ';
        }
        return out;
    }

private:
    std::mt19937 rng_;
};

// The hostile texts of every parser: a megabyte of one character, deep
// nesting, an unterminated quote a megabyte long.
inline std::vector<std::string> giantTexts(std::string_view field) {
    const std::size_t mb = 1 << 20;
    std::vector<std::string> out;
    out.push_back(std::string(mb, 'x'));
    out.push_back(std::string(mb, '('));
    out.push_back(std::string(100000, '(') + std::string(field) + " = 'a'" + std::string(100000, ')'));
    out.push_back(std::string(field) + " = '" + std::string(mb, 'a'));
    out.push_back(std::string(field) + " = \"" + std::string(mb, 'a'));
    out.push_back(std::string(mb, '\0'));
    out.push_back(std::string(mb, '\''));
    out.push_back(std::string(mb, '"'));
    std::string many;
    while (many.size() < mb)
        many += std::string(field) + " = 'v" + std::to_string(many.size()) + "' Or ";
    out.push_back(many + std::string(field) + " = 'end'");
    return out;
}

} // namespace fuzz
