#pragma once

#include "host/IResService.h"

#include <filesystem>
#include <map>
#include <string>

namespace ocable::hostapp {

// Reads INI files as the host's older tools wrote them: UTF-8 with or without
// a byte-order mark, or GB18030/GBK. Sections and keys match without regard
// to letter case; blanks around names and values are dropped, and a value in
// double quotes loses them. ';' and '#' start comment lines.
class IniFileReader : public host::IIniFile {
public:
    std::string readIniValue(const std::filesystem::path& file, const std::string& section,
                             const std::string& key) override;

    // The file's text as UTF-8; empty when it cannot be read.
    static std::string readAsUtf8(const std::filesystem::path& file);
};

} // namespace ocable::hostapp
