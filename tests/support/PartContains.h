#pragma once

#include <ogrsf_frmts.h>

namespace ocable::testsupport {

// Like OGRGeometry::Contains, part by part: island parts of the source data
// overlap the main part, which makes the multipolygon as a whole invalid.
inline bool partContains(const OGRGeometry* g, const OGRPoint& p) {
    if (wkbFlatten(g->getGeometryType()) != wkbMultiPolygon) return g->Contains(&p);
    for (const OGRPolygon* part : *g->toMultiPolygon())
        if (part->Contains(&p)) return true;
    return false;
}

} // namespace ocable::testsupport
