#include "IniFileReader.h"

#include <QString>
#include <cerrno>
#include <fstream>
#include <iconv.h>
#include <iterator>
#include <sstream>

namespace ocable::hostapp {

namespace {

bool isValidUtf8(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= s.size()) return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 0x2) return false;
        i += extra + 1;
    }
    return true;
}

std::string gb18030ToUtf8(const std::string& in) {
    iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    std::string out(in.size() * 2 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    while (srcLeft > 0) {
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) {
            const std::size_t used = out.size() - dstLeft;
            out.resize(out.size() * 2);
            dst = out.data() + used;
            dstLeft = out.size() - used;
        } else {
            // An undecodable byte: skip it and keep the rest of the file.
            ++src;
            --srcLeft;
        }
    }
    out.resize(out.size() - dstLeft);
    iconv_close(cd);
    return out;
}

QString folded(const std::string& s) {
    return QString::fromStdString(s).trimmed().toCaseFolded();
}

} // namespace

std::string IniFileReader::readAsUtf8(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (raw.size() >= 3 && raw.compare(0, 3, "\xEF\xBB\xBF") == 0) return raw.substr(3);
    if (isValidUtf8(raw)) return raw;
    return gb18030ToUtf8(raw);
}

std::string IniFileReader::readIniValue(const std::filesystem::path& file, const std::string& section,
                                        const std::string& key) {
    const QString wantedSection = folded(section);
    const QString wantedKey = folded(key);
    std::istringstream lines(readAsUtf8(file));
    bool inSection = false;
    for (std::string raw; std::getline(lines, raw);) {
        const QString line = QString::fromStdString(raw).trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
        if (line.startsWith('[')) {
            const auto close = line.indexOf(']');
            inSection = close > 0 && line.mid(1, close - 1).trimmed().toCaseFolded() == wantedSection;
            continue;
        }
        if (!inSection) continue;
        const auto eq = line.indexOf('=');
        if (eq <= 0 || line.left(eq).trimmed().toCaseFolded() != wantedKey) continue;
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return value.toStdString();
    }
    return {};
}

} // namespace ocable::hostapp
