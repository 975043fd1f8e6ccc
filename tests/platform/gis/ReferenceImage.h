#pragma once

#include "GisTestData.h"

#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace gistest {

// Compares a drawn picture with the committed reference data/<name>.png. A
// pixel counts as different when any channel differs by more than 32; at
// most 0.5 % of the pixels may (antialiasing and font hinting move a few edge
// pixels between library versions). With
// OCABLE_UPDATE_REFERENCE_IMAGES=1 in the environment the picture is written
// as the new reference instead: look at it before committing it. On a
// mismatch the picture is left in the temporary folder for a look.
inline testing::AssertionResult matchesReference(const QImage& picture, const std::string& name) {
    const std::string file = sourceData(name + ".png");
    const QImage actual = picture.convertToFormat(QImage::Format_RGB32);
    if (const char* update = std::getenv("OCABLE_UPDATE_REFERENCE_IMAGES");
        update && std::string(update) == "1") {
        if (!actual.save(QString::fromStdString(file), "PNG"))
            return testing::AssertionFailure() << "cannot write " << file;
        return testing::AssertionSuccess() << "wrote " << file;
    }
    const QImage expected = QImage(QString::fromStdString(file)).convertToFormat(QImage::Format_RGB32);
    if (expected.isNull())
        return testing::AssertionFailure()
               << "no reference image " << file << " (OCABLE_UPDATE_REFERENCE_IMAGES=1 writes it)";
    if (expected.size() != actual.size())
        return testing::AssertionFailure() << "size " << actual.width() << "x" << actual.height()
                                           << ", reference " << expected.width() << "x" << expected.height();
    const int maxDiffering = actual.width() * actual.height() / 200;
    int differing = 0;
    for (int y = 0; y < actual.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(actual.constScanLine(y));
        const auto* e = reinterpret_cast<const QRgb*>(expected.constScanLine(y));
        for (int x = 0; x < actual.width(); ++x) {
            const int d = std::max({std::abs(qRed(a[x]) - qRed(e[x])), std::abs(qGreen(a[x]) - qGreen(e[x])),
                                    std::abs(qBlue(a[x]) - qBlue(e[x]))});
            differing += d > 32;
        }
    }
    if (differing <= maxDiffering) return testing::AssertionSuccess();
    const auto seen = std::filesystem::temp_directory_path() / (name + "-actual.png");
    actual.save(QString::fromStdString(seen.string()), "PNG");
    return testing::AssertionFailure() << differing << " pixels differ from " << file << " (at most "
                                       << maxDiffering << " may); the picture drawn is " << seen.string();
}

} // namespace gistest
