#include "platform/gis/Layer.h"
#include "platform/gis/Map.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace fs = std::filesystem;
using namespace ocable::gis;

namespace {
constexpr int kStations = 30000; // a write that takes a good while, so that it is still under way at the end
}

// Run alone, in a process of its own, by the test below: saves a map and
// lets the process end at once, without waiting for the write.
TEST(GeosetExit, DISABLED_SaveAndEnd) {
    const char* dir = std::getenv("OCABLE_GEOSET_EXIT_DIR");
    if (!dir) GTEST_SKIP();
    Map map;
    Layer& layer = map.Layers().CreateLayer("站点", 1, {"名称", "StationCode"}, LayerKind::Symbol);
    layer.BeginAccess();
    for (int i = 0; i < kStations; ++i)
        layer.AddFeature(FeatureFactory::CreateSymbol({100 + i * 1e-4, 30}, Style()),
                         RowValues(layer.columns(), {"站" + std::to_string(i), "S" + std::to_string(i)}));
    layer.EndAccess();
    map.saveGeoset("退出", fs::path(dir) / "exit.gst");
}

// A program that saves and ends, with no Qt application and no wait of its
// own, leaves the whole geoset on disk: the writer holds the end of the
// process until the write is done, while GDAL and PROJ still stand.
TEST(GeosetExit, APendingWriteIsFinishedWhenTheProcessEnds) {
    const fs::path dir = fs::temp_directory_path() / ("ocable-geoset-exit-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string command =
        "OCABLE_GEOSET_EXIT_DIR='" + dir.string() + "' '" + self +
        "' --gtest_also_run_disabled_tests --gtest_filter=GeosetExit.DISABLED_SaveAndEnd";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_TRUE(fs::exists(dir / "exit.gst"));
    GDALAllRegister();
    std::unique_ptr<GDALDataset> data(
        GDALDataset::Open((dir / "exit.gpkg").c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    ASSERT_TRUE(data);
    ASSERT_NE(data->GetLayerByName("站点"), nullptr);
    EXPECT_EQ(data->GetLayerByName("站点")->GetFeatureCount(), kStations);
    data.reset();
    fs::remove_all(dir);
}
