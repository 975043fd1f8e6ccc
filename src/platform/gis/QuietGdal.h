#pragma once

#include <cpl_error.h>
#include <gdal.h>

#include <mutex>
#include <string>

namespace ocable::gis {

// GDAL reports through a handler of the calling thread; while we work, its
// messages are kept quiet and the last one goes into our error text.
class QuietGdal {
public:
    QuietGdal() {
        static std::once_flag once;
        std::call_once(once, [] { GDALAllRegister(); });
        CPLPushErrorHandler(CPLQuietErrorHandler);
        CPLErrorReset();
    }
    ~QuietGdal() { CPLPopErrorHandler(); }
    QuietGdal(const QuietGdal&) = delete;
    QuietGdal& operator=(const QuietGdal&) = delete;

    static std::string lastMessage() {
        const char* msg = CPLGetLastErrorMsg();
        return msg && *msg ? std::string("（") + msg + "）" : std::string();
    }
};

} // namespace ocable::gis
