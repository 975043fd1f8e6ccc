#include "NationalDemo.h"

#include "DemoDbGenerator.h"
#include "DemoFolders.h"
#include "HostServices.h"
#include "IniFileReader.h"

#include "core/NetworkVocabulary.h"
#include "core/mPubFun.h"
#include "core/mPubVar.h"
#include "map/mdlViewMap.h"
#include "platform/ui/MessageBoxService.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace ocable::benchsupport {

namespace fs = std::filesystem;

hostapp::HostConfig demoHost(const fs::path& dir, const fs::path& database, int userLevel) {
    hostapp::HostConfig config;
    config.useDemoLayout(dir / "host");
    config.database = database;
    config.userLevel = userLevel;
    hostapp::DemoFolders::prepare(config, OCABLE_DATA_DIR);
    setenv("QZTRANS_COMMON_FILES", config.commonFilesDir.c_str(), 1);
    ui::MessageBoxService::instance().setScripted(true);
    return config;
}

void installHostServices(const hostapp::HostConfig& config,
                         const std::shared_ptr<hostapp::SqliteDataAccess>& data) {
    auto common = std::make_shared<hostapp::HostCommon>();
    auto message = std::make_shared<hostapp::HostMessage>();
    auto sysEnv = std::make_shared<hostapp::HostSysEnv>(config);
    host::ServiceFactories factories;
    factories.common = [common] { return common; };
    factories.sysEnv = [sysEnv] { return sysEnv; };
    factories.message = [message] { return message; };
    factories.dataAccess = [data] { return data; };
    factories.iniFile = [] { return std::make_shared<hostapp::IniFileReader>(); };
    mPubVar::registerServiceFactories(factories);
    mPubVar::gobjCommon.set(common);
    mPubVar::gobjSysEnv.set(sysEnv);
    mPubVar::gobjMessage.set(message);
    mPubVar::gobjDataAccess.set(data);
    mPubVar::gobjGridService.set(std::make_shared<hostapp::HostGridService>());
    mPubVar::gobjIniFile.set(std::make_shared<hostapp::IniFileReader>());
}

hostapp::HostConfig openNationalDemo(const fs::path& dir, const char* program) {
    fs::create_directories(dir);
    const fs::path db = dir / "national.db";
    if (!fs::exists(db)) {
        std::cerr << program << ": generating " << db << " ...\n";
        demo::GeneratorOptions options;
        options.scale = *demo::parseScale("national");
        options.baseMapDir = demo::defaultBaseMapDir();
        options.output = db;
        demo::generateDemoDb(options);
    }
    const hostapp::HostConfig config = demoHost(dir, db, 2);
    installHostServices(config, std::make_shared<hostapp::SqliteDataAccess>(db));
    return config;
}

void drawNetwork(const hostapp::HostConfig& config, gis::MapWidget& map1, ui::CheckTreeView& tree,
                 ViewContext& view, std::unique_ptr<NetworkDrawing>& drawing) {
    map1.resize(1600, 1000);
    gis::Map& map = map1.map();
    map.setSymbolFolder(mPubFun::getCustomSymbolDir());
    map.loadGeoset(config.appDir / vocab::kAppMapFolder / vocab::kNetworkGeoset);
    mdlViewMap::bindLayerDatasets(map);
    view.Map1 = &map1;
    view.map = &map;
    view.TreeRes = &tree.tree();
    view.LayerDictionary.assign(vocab::kNetworkLayers.begin(), vocab::kNetworkLayers.end());
    drawing = std::make_unique<NetworkDrawing>(view, NetworkDrawing::Hooks{});
    std::string rule = vocab::kRuleByArea, scope = vocab::kScopeAll;
    drawing->drawOcableNetMap(rule, scope);
}

int runBenchmarks(int argc, char** argv, const char* defaultFolder,
                  const std::function<void(const fs::path&)>& setUp, const std::function<void()>& tearDown) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    fs::path dir = fs::temp_directory_path() / defaultFolder;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::string(argv[i]) == "--dir" && i + 1 < argc)
            dir = argv[++i];
        else
            rest.push_back(argv[i]);
    }
    int n = static_cast<int>(rest.size());
    benchmark::Initialize(&n, rest.data());
    setUp(dir);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    tearDown();
    mPubVar::releaseGlobals();
    return 0;
}

} // namespace ocable::benchsupport
