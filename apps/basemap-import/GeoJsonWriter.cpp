#include "GeoJsonWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

namespace ocable::basemap {

QString coordinateText(double v, int decimals) {
    QString s = QString::number(v, 'f', decimals);
    if (s.contains(u'.')) {
        while (s.endsWith(u'0'))
            s.chop(1);
        if (s.endsWith(u'.')) s.chop(1);
    }
    if (s == u"-0") s = QStringLiteral("0");
    return s;
}

namespace {

QString jsonString(const QString& s) {
    // QJsonValue does the escaping; strip the array brackets around it.
    QByteArray wrapped = QJsonDocument(QJsonArray{QJsonValue(s)}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(wrapped.mid(1, wrapped.size() - 2));
}

void appendRing(QString& out, const Ring& ring, int decimals) {
    out += u'[';
    for (std::size_t i = 0; i < ring.size(); ++i) {
        if (i > 0) out += u',';
        out += u'[' + coordinateText(ring[i].lng, decimals) + u',' + coordinateText(ring[i].lat, decimals) +
               u']';
    }
    out += u']';
}

} // namespace

QByteArray featureCollectionJson(const std::vector<GeoFeature>& features, int decimals) {
    QString out = QStringLiteral("{\"type\":\"FeatureCollection\",\"features\":[\n");
    for (std::size_t f = 0; f < features.size(); ++f) {
        const GeoFeature& feature = features[f];
        out += QStringLiteral("{\"type\":\"Feature\",\"properties\":{");
        for (std::size_t p = 0; p < feature.properties.size(); ++p) {
            if (p > 0) out += u',';
            out += jsonString(feature.properties[p].first) + u':' + jsonString(feature.properties[p].second);
        }
        out += QStringLiteral("},\"geometry\":{\"type\":\"MultiPolygon\",\"coordinates\":[");
        for (std::size_t g = 0; g < feature.polygons.size(); ++g) {
            if (g > 0) out += u',';
            out += u'[';
            appendRing(out, feature.polygons[g].outer, decimals);
            for (const Ring& hole : feature.polygons[g].holes) {
                out += u',';
                appendRing(out, hole, decimals);
            }
            out += u']';
        }
        out += QStringLiteral("]}}");
        out += f + 1 < features.size() ? QStringLiteral(",\n") : QStringLiteral("\n");
    }
    out += QStringLiteral("]}\n");
    return out.toUtf8();
}

} // namespace ocable::basemap
