#include "GisTestData.h"

#include "platform/gis/ChineseFonts.h"
#include "platform/gis/LinePatterns.h"
#include "platform/gis/MapRenderer.h"

#include <QFontInfo>
#include <gtest/gtest.h>

#include <algorithm>

using namespace ocable::gis;

namespace {

const QColor kGreen(0, 255, 0);

// A 200 x 200 window showing 100..102 E, 30..32 N (0.01 degree a pixel).
void smallWindow(Map& map) {
    map.setViewSize({200, 200});
    map.setBounds({100, 30, 102, 32});
}

QImage draw(const Map& map) {
    MapRenderer renderer;
    RenderOptions options;
    options.antialias = false;
    options.background = kGreen;
    return renderer.renderImage(map, options);
}

// Which pixels of one image row between x0 and x1 are drawn (a one-pixel
// line may land on either row next to its coordinate).
std::vector<bool> drawnAlong(const QImage& image, int y, int x0, int x1) {
    std::vector<bool> out;
    for (int x = x0; x < x1; ++x)
        out.push_back(image.pixelColor(x, y) != kGreen || image.pixelColor(x, y - 1) != kGreen);
    return out;
}

} // namespace

TEST(Renderer, BitmapSymbolsFromTheFolderWithTransparentWhite) {
    Map map;
    smallWindow(map);
    map.setSymbolFolder(gistest::sourceData("symbols"));
    Layer& layer = map.Layers().CreateLayer("站点");
    // The file on disk is named .BMP: symbols are found in any letter case.
    Style st = styleFromText("SymbolBitmapName=示例_站点.bmp;SymbolBitmapSize=16;SymbolBitmapTransparent=1");
    layer.AddFeature(FeatureFactory::CreateSymbol({100.5, 31}, st));
    st.SymbolBitmapTransparent = false;
    layer.AddFeature(FeatureFactory::CreateSymbol({101.5, 31}, st));
    st.SymbolBitmapName = "没有的符号.bmp";
    layer.AddFeature(FeatureFactory::CreateSymbol({101, 30.5}, st));
    const QImage image = draw(map);
    // Centres at pixels (50, 100) and (150, 100); the red disc fills the middle.
    EXPECT_GT(image.pixelColor(50, 100).red(), 150);
    EXPECT_LT(image.pixelColor(50, 100).green(), 60);
    EXPECT_EQ(image.pixelColor(50 - 7, 100 - 7), kGreen);                 // white corner, transparent
    EXPECT_EQ(image.pixelColor(150 - 7, 100 - 7), QColor(255, 255, 255)); // white corner, kept
    EXPECT_NE(image.pixelColor(100, 150), kGreen); // a missing bitmap still shows a mark
}

TEST(Renderer, EachLinePatternHasItsOwnDashes) {
    std::vector<std::vector<bool>> seen;
    for (const auto& pattern : linePatterns()) {
        Map map;
        smallWindow(map);
        map.Layers().CreateLayer("线").AddFeature(FeatureFactory::CreateLine(
            Points{{100, 31}, {102, 31}}, styleFromText("LinePattern=" + std::to_string(pattern.number))));
        const auto r = drawnAlong(draw(map), 100, 20, 180);
        SCOPED_TRACE(pattern.number);
        int gaps = 0; // blank runs
        for (std::size_t x = 1; x < r.size(); ++x)
            gaps += r[x - 1] && !r[x];
        if (pattern.number == 1)
            EXPECT_EQ(std::count(r.begin(), r.end(), false), 0) << "solid has no gaps";
        else
            EXPECT_GE(gaps, 3);
        for (const auto& other : seen)
            EXPECT_NE(r, other);
        seen.push_back(r);
    }
    EXPECT_EQ(linePattern(77).number, 1); // unknown numbers draw solid
}

TEST(Renderer, LayerOneIsDrawnOnTop) {
    Map map;
    smallWindow(map);
    map.Layers().CreateLayer("上").AddFeature(FeatureFactory::CreateRegion(
        Rectangle(100.5, 30.5, 101.5, 31.5), styleFromText("RegionColor=#FF0000")));
    map.Layers().CreateLayer("下", 2).AddFeature(
        FeatureFactory::CreateRegion(Rectangle(100, 30, 102, 32), styleFromText("RegionColor=#0000FF")));
    EXPECT_EQ(draw(map).pixelColor(100, 100), QColor(255, 0, 0));
    map.Layers().Move(2, 1);
    map.Layers().Item("下").setVisible(false);
    EXPECT_EQ(draw(map).pixelColor(100, 100), QColor(255, 0, 0)) << "a hidden layer is not drawn";
}

TEST(Renderer, LabelsAvoidEachOtherAndAreCulledWhenCrowded) {
    Map map;
    map.setViewSize({400, 300});
    map.setBounds({100, 30, 104, 33});
    Layer& layer = map.Layers().CreateLayer("站点", 1, {"名称", "Code"});
    layer.setAutoLabel(true);
    layer.BeginAccess();
    for (int i = 0; i < 200; ++i) // a crowd in one corner: 200 labels cannot fit
        layer.AddFeature(
            FeatureFactory::CreateSymbol({100.2 + (i % 20) * 0.01, 30.2 + (i / 20) * 0.01}, Style()),
            RowValues(layer.columns(), {"站" + std::to_string(i), ""}));
    for (int i = 0; i < 5; ++i) // five apart from each other
        layer.AddFeature(FeatureFactory::CreateSymbol({101 + i * 0.6, 32}, Style()),
                         RowValues(layer.columns(), {"远站" + std::to_string(i), ""}));
    layer.EndAccess();
    MapRenderer renderer;
    renderer.renderImage(map);
    const int crowded = renderer.stats().labels;
    EXPECT_GE(crowded, 6);
    EXPECT_LT(crowded, 30);

    LabelStyle once = layer.LabelStyle();
    once.Overlap = true;
    layer.setLabelStyle(once);
    renderer.renderImage(map);
    EXPECT_EQ(renderer.stats().labels, 205);
    once.Duplicate = false;
    layer.setLabelStyle(once);
    layer.AddFeature(FeatureFactory::CreateSymbol({101, 31}, Style()),
                     RowValues(layer.columns(), {"远站0", ""}));
    renderer.renderImage(map);
    EXPECT_EQ(renderer.stats().labels, 205); // the repeated text is shown once
}

TEST(Renderer, DrawsOnlyNearTheViewAndKeepsLongLinesInDeepZoom) {
    Map map;
    map.setViewSize({200, 200});
    Layer& layer = map.Layers().CreateLayer("线");
    layer.BeginAccess();
    for (int i = 0; i < 1000; ++i)
        layer.AddFeature(FeatureFactory::CreateSymbol({80 + i * 0.05, 20}, Style()));
    layer.EndAccess();
    layer.AddFeature(FeatureFactory::CreateLine(Points{{0, 0}, {120, 60}}, styleFromText("LineWidth=3")));
    // About 2 m across, on the long line.
    map.setCenter(100, 50);
    map.setZoom(2e-5);
    MapRenderer renderer;
    const QImage image = renderer.renderImage(map);
    EXPECT_EQ(renderer.stats().features, 1);
    EXPECT_LT(qGray(image.pixel(100, 100)), 80); // on the dark line, not the white ground
}

TEST(Renderer, ChineseFontNamesResolveToInstalledCjkFonts) {
    installChineseFontSubstitutions();
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("宋体"))).family(), QStringLiteral("Noto Serif CJK SC"));
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("Microsoft YaHei"))).family(),
              QStringLiteral("Noto Sans CJK SC"));
}
