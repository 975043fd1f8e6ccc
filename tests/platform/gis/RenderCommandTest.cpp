#include "RenderCommand.h"
#include "GisTestData.h"
#include "ReferenceImage.h"

#include "platform/gis/GisError.h"

#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace {

std::string usageError(const std::vector<std::string>& args) {
    return gistest::errorOf<std::invalid_argument>([&] { parseRenderCommand(args); });
}

} // namespace

TEST(RenderCommand, ReadsItsArguments) {
    const auto c = parseRenderCommand({"a.gst", "--size", "800x500", "b.png", "--bounds", "110,30,120,40",
                                       "--select", "站点:StationCode = \"S1\"", "--select",
                                       "线路:Code = \"a:b\"", "--no-antialias"});
    EXPECT_EQ(c.output, "b.png"); // after the options too
    EXPECT_EQ(c.bounds, ocable::gis::Rectangle(110, 30, 120, 40));
    // Split at the first colon only.
    EXPECT_EQ(c.selections, (std::vector<std::pair<std::string, std::string>>{
                                {"站点", "StationCode = \"S1\""}, {"线路", "Code = \"a:b\""}}));
    EXPECT_FALSE(c.antialias);

    EXPECT_EQ(usageError({"a.gst"}), "需要地图集文件和输出文件");
    EXPECT_EQ(usageError({"a.gst", "b.png", "--size", "800"}), "--size 应为“宽x高”");
    EXPECT_EQ(usageError({"a.gst", "b.png", "--bounds", "1,2,3"}), "--bounds 应为“xmin,ymin,xmax,ymax”");
    EXPECT_EQ(usageError({"a.gst", "b.png", "--select", "StationCode"}), "--select 应为“图层:条件”");
    EXPECT_EQ(usageError({"a.gst", "b.png", "--zoom"}), "未知的选项 --zoom");
    EXPECT_EQ(usageError({"a.gst", "b.png", "--size"}), "--size 缺少取值");
    EXPECT_EQ(usageError({"a.gst", "b.png", "--size", "1e10x5"}), "--size 超出范围");
    EXPECT_EQ(usageError({"a.gst", "b.png", "--size", "nanx5"}), "--size 的值“nan”不是有限的数值");
    for (const char* bad : {"nan", "inf", "9e999", "-Infinity"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(usageError({"a.gst", "b.png", "--bounds", std::string("0,0,1,") + bad}),
                  std::string("--bounds 的值“") + bad + "”不是有限的数值");
    }
}

// The sample picture: symbols, every line pattern, labels and a selection,
// against the reference picture committed beside the sample.
TEST(RenderCommand, DrawsTheSampleGeosetWithASelection) {
    const auto out = std::filesystem::temp_directory_path() / "gis-render-test.png";
    auto c = parseRenderCommand({gistest::sourceData("sample.gst"), out.string(), "--size", "320x200",
                                 "--select", "示例_站点:StationCode = \"S03\" OR StationCode = \"S11\""});
    const std::string said = runRenderCommand(c);
    EXPECT_EQ(said.rfind("已写入 " + out.string() + "（320x200，26 个要素，", 0), 0u) << said;
    EXPECT_TRUE(said.ends_with("个标注，选中 2 个）")) << said;
    EXPECT_TRUE(gistest::matchesReference(QImage(QString::fromStdString(out.string())), "sample-selected"));
    c.selections.clear();
    c.antialias = false;
    runRenderCommand(c);
    EXPECT_TRUE(gistest::matchesReference(QImage(QString::fromStdString(out.string())), "sample-plain"));
    // Bounds far beyond the earth once hung the drawing in the grid.
    c.bounds = ocable::gis::Rectangle(1e308, 0, 1e308, 1);
    EXPECT_EQ(runRenderCommand(c).rfind("已写入", 0), 0u);
    std::filesystem::remove(out);

    c.selections = {{"示例_站点", "Station = \"S03\""}};
    EXPECT_THROW(runRenderCommand(c), ocable::gis::GisError);
}
