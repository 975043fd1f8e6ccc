#include "IniFileReader.h"
#include "support/TempDir.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

using ocable::hostapp::IniFileReader;
namespace fs = std::filesystem;

namespace {

std::string toGb18030(const std::string& utf8) {
    return QByteArray(QStringEncoder("GB18030")(QString::fromStdString(utf8))).toStdString();
}

const std::string kConfig = "; 界面配置\n[CAPTION_VIEWOCABLENET]\n  caption_restree_secondnode = 省际干线  \n"
                            "[LOCALTRANS]\nLOCALTRANS_BY_FIBER=\"false\"\r\n[空节]\n";

} // namespace

TEST(IniFileReaderTest, ReadsUtf8WithAndWithoutBomAndGb18030Alike) {
    const ocable::testsupport::TempDir dir("ini");
    const std::vector<std::pair<std::string, std::string>> files = {
        {"utf8.ini", kConfig}, {"bom.ini", "\xEF\xBB\xBF" + kConfig}, {"gbk.ini", toGb18030(kConfig)}};
    IniFileReader reader;
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const fs::path file = dir.write(name, bytes);
        EXPECT_EQ(reader.readIniValue(file, "CAPTION_VIEWOCABLENET", "CAPTION_RESTREE_SECONDNODE"),
                  "省际干线");
        EXPECT_EQ(reader.readIniValue(file, "localtrans", "LOCALTRANS_BY_FIBER"), "false");
        // A key of another section does not leak into the one asked for.
        EXPECT_EQ(reader.readIniValue(file, "LOCALTRANS", "CAPTION_RESTREE_SECONDNODE"), "");
        EXPECT_EQ(reader.readIniValue(file, "空节", "X"), "");
        EXPECT_EQ(reader.readIniValue(file, "MISSING", "X"), "");
    }
    EXPECT_NE(toGb18030(kConfig), kConfig); // the GB18030 file really differs
    EXPECT_EQ(reader.readIniValue(dir / "absent.ini", "LOCALTRANS", "LOCALTRANS_BY_FIBER"), "");
}
