// Comparison of a rendered buffer with a stored PNG under tests/render/golden.
// GRAVITAS_UPDATE_GOLDEN=1 rewrites the stored image instead of comparing; a
// mismatch leaves the actual image in the build tree for inspection.
#pragma once
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <cstdlib>
#include <string>

#include "platform/Platform.h"

inline QImage ImageOfSurface(const PixelSurface& s) {
    QImage image(s.width, s.height, QImage::Format_RGB32);
    for (int y = 0; y < s.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(s.base) + y * s.rowBytes);
        auto* out = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < s.width; ++x) out[x] = 0xFF000000u | (row[x] & 0x00FFFFFFu);  // spare byte is not colour
    }
    return image;
}

// tolerance: largest allowed difference of any one channel (0 = exact).
inline void ExpectMatchesGolden(const PixelSurface& surface, const std::string& name, int tolerance) {
    const QImage actual = ImageOfSurface(surface);
    const std::string goldenPath = std::string(GRAVITAS_SOURCE_DIR) + "/tests/render/golden/" + name + ".png";
    const char* update = std::getenv("GRAVITAS_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        QDir().mkpath(QString::fromStdString(std::string(GRAVITAS_SOURCE_DIR) + "/tests/render/golden"));
        ASSERT_TRUE(actual.save(QString::fromStdString(goldenPath), "PNG")) << goldenPath;
        return;
    }
    QImage golden(QString::fromStdString(goldenPath));
    int worst = 0, differing = 0;
    const bool sameSize = !golden.isNull() && golden.size() == actual.size();
    if (sameSize) {
        golden = golden.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < actual.height(); ++y)
            for (int x = 0; x < actual.width(); ++x) {
                const QRgb a = actual.pixel(x, y), g = golden.pixel(x, y);
                const int d = std::max({std::abs(qRed(a) - qRed(g)), std::abs(qGreen(a) - qGreen(g)),
                                        std::abs(qBlue(a) - qBlue(g))});
                worst = std::max(worst, d);
                differing += d > tolerance;
            }
    }
    if (sameSize && differing == 0) return;
    const std::string dir = std::string(GRAVITAS_GOLDEN_ACTUAL_DIR);
    QDir().mkpath(QString::fromStdString(dir));
    const std::string actualPath = dir + "/" + name + ".png";
    actual.save(QString::fromStdString(actualPath), "PNG");
    ADD_FAILURE() << "golden image " << goldenPath
                  << (golden.isNull() ? " is missing" : sameSize ? " differs" : " has another size") << ": "
                  << differing << " pixels beyond tolerance " << tolerance << " (worst " << worst
                  << "); actual image written to " << actualPath;
}
