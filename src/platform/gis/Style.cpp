#include "platform/gis/Style.h"

#include "platform/gis/GisError.h"
#include "platform/gis/TextUtil.h"

#include <charconv>
#include <cstdio>
#include <functional>
#include <vector>

namespace ocable::gis {

namespace {

// One serialisable field of a style struct: how to print it and how to read it.
template <class S> struct Field {
    const char* name;
    std::function<std::string(const S&)> write;
    std::function<void(S&, std::string_view)> read;
};

int intFromText(std::string_view key, std::string_view text) {
    int v = 0;
    auto t = trimmed(text);
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size())
        throw GisError("样式项 " + std::string(key) + " 的值不是整数：" + std::string(text));
    return v;
}

bool boolFromText(std::string_view key, std::string_view text) {
    auto t = trimmed(text);
    if (t == "1" || equalsNoCase(t, "true") || equalsNoCase(t, "yes")) return true;
    if (t == "0" || equalsNoCase(t, "false") || equalsNoCase(t, "no")) return false;
    throw GisError("样式项 " + std::string(key) + " 的值不是布尔值：" + std::string(text));
}

template <class S> Field<S> textField(const char* name, std::string S::*m) {
    return {name, [m](const S& s) { return s.*m; }, [m](S& s, std::string_view v) { s.*m = std::string(v); }};
}

template <class S> Field<S> intField(const char* name, int S::*m) {
    return {name, [m](const S& s) { return std::to_string(s.*m); },
            [m, name](S& s, std::string_view v) { s.*m = intFromText(name, v); }};
}

template <class S> Field<S> boolField(const char* name, bool S::*m) {
    return {name, [m](const S& s) { return std::string(s.*m ? "1" : "0"); },
            [m, name](S& s, std::string_view v) { s.*m = boolFromText(name, v); }};
}

template <class S> Field<S> colorField(const char* name, Color S::*m) {
    return {name, [m](const S& s) { return colorToText(s.*m); },
            [m](S& s, std::string_view v) { s.*m = colorFromText(v); }};
}

const std::vector<Field<Style>>& styleFields() {
    static const std::vector<Field<Style>> fields = {
        textField<Style>("SymbolBitmapName", &Style::SymbolBitmapName),
        intField<Style>("SymbolBitmapSize", &Style::SymbolBitmapSize),
        boolField<Style>("SymbolBitmapTransparent", &Style::SymbolBitmapTransparent),
        colorField<Style>("SymbolColor", &Style::SymbolColor),
        colorField<Style>("LineColor", &Style::LineColor),
        intField<Style>("LinePattern", &Style::LinePattern),
        intField<Style>("LineWidth", &Style::LineWidth),
        intField<Style>("RegionPattern", &Style::RegionPattern),
        colorField<Style>("RegionColor", &Style::RegionColor),
        colorField<Style>("RegionBorderColor", &Style::RegionBorderColor),
        intField<Style>("RegionBorderWidth", &Style::RegionBorderWidth),
        intField<Style>("RegionBorderPattern", &Style::RegionBorderPattern),
    };
    return fields;
}

const std::vector<Field<LabelStyle>>& labelFields() {
    static const std::vector<Field<LabelStyle>> fields = {
        textField<LabelStyle>("FontName", &LabelStyle::FontName),
        intField<LabelStyle>("FontSize", &LabelStyle::FontSize),
        boolField<LabelStyle>("Bold", &LabelStyle::Bold),
        colorField<LabelStyle>("TextColor", &LabelStyle::TextColor),
        boolField<LabelStyle>("Halo", &LabelStyle::Halo),
        boolField<LabelStyle>("Overlap", &LabelStyle::Overlap),
        boolField<LabelStyle>("Duplicate", &LabelStyle::Duplicate),
        intField<LabelStyle>("Position", &LabelStyle::Position),
        intField<LabelStyle>("Column", &LabelStyle::Column),
    };
    return fields;
}

std::string escapeValue(std::string_view v) {
    std::string out;
    for (char c : v) {
        if (c == ';' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

template <class S> std::string toText(const S& value, const std::vector<Field<S>>& fields) {
    const S defaults;
    std::string out;
    for (const auto& f : fields) {
        auto text = f.write(value);
        if (text == f.write(defaults)) continue;
        if (!out.empty()) out += ';';
        out += f.name;
        out += '=';
        out += escapeValue(text);
    }
    return out;
}

template <class S> S fromText(std::string_view text, const std::vector<Field<S>>& fields) {
    S value;
    std::vector<std::string> items(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size())
            items.back() += text[++i];
        else if (text[i] == ';')
            items.emplace_back();
        else
            items.back() += text[i];
    }
    for (const auto& item : items) {
        auto t = trimmed(item);
        if (t.empty()) continue;
        auto eq = t.find('=');
        if (eq == std::string_view::npos) throw GisError("样式项缺少“=”：" + std::string(t));
        auto key = trimmed(t.substr(0, eq));
        auto val = trimmed(t.substr(eq + 1));
        bool known = false;
        for (const auto& f : fields) {
            if (equalsNoCase(key, f.name)) {
                f.read(value, val);
                known = true;
                break;
            }
        }
        if (!known) throw GisError("未知的样式项：" + std::string(key));
    }
    return value;
}

} // namespace

std::string styleToText(const Style& style) {
    return toText(style, styleFields());
}
Style styleFromText(std::string_view text) {
    return fromText(text, styleFields());
}
std::string labelStyleToText(const LabelStyle& style) {
    return toText(style, labelFields());
}
LabelStyle labelStyleFromText(std::string_view text) {
    return fromText(text, labelFields());
}

std::string colorToText(Color c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", redOf(c), greenOf(c), blueOf(c));
    return buf;
}

Color colorFromText(std::string_view text) {
    auto t = trimmed(text);
    if (t.size() == 7 && t[0] == '#') {
        unsigned v = 0;
        auto [end, ec] = std::from_chars(t.data() + 1, t.data() + 7, v, 16);
        if (ec == std::errc() && end == t.data() + 7)
            return rgb(static_cast<int>(v >> 16), static_cast<int>(v >> 8), static_cast<int>(v));
    } else {
        unsigned v = 0;
        auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
        if (ec == std::errc() && end == t.data() + t.size() && v <= 0xFFFFFF) return v;
    }
    throw GisError("颜色值无效：" + std::string(text));
}

} // namespace ocable::gis
