#include "app/dialog/PastedPosition.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>

#include "positioning/GeoPosition.h"

namespace {

constexpr double kDegree = std::numbers::pi / 180;

TEST(PastedPosition, DegreesOrEarthCentredMetres) {
    const struct {
        const char* text;
        double latitude, longitude, height;  // degrees, m
    } cases[] = {
        {"35.1608 139.6138 68.2", 35.1608, 139.6138, 68.2},
        {"-33.8568, 151.2153, 5", -33.8568, 151.2153, 5},
        {" 45.5;-73.6;\t-12.25 ", 45.5, -73.6, -12.25},
        {"10 200 0", 10, -160, 0},  // longitudes past 180 come round
    };
    for (const auto& c : cases) {
        ApproximatePosition p;
        std::string reason;
        ASSERT_TRUE(ReadPastedPosition(c.text, p, reason)) << c.text << ": " << reason;
        EXPECT_NEAR(p.latitude, c.latitude * kDegree, 1e-12) << c.text;
        EXPECT_NEAR(p.longitude, c.longitude * kDegree, 1e-12) << c.text;
        EXPECT_NEAR(p.height, c.height, 1e-9) << c.text;
    }
    // X Y Z of a known place read back to it within a millimetre.
    GeoPosition place;
    place.SetGeodetic(35.1608 * kDegree, 139.6138 * kDegree, 68.2);
    char text[100];
    std::snprintf(text, sizeof text, "%.4f %.4f %.4f", place.X(), place.Y(), place.Z());
    ApproximatePosition p;
    std::string reason;
    ASSERT_TRUE(ReadPastedPosition(text, p, reason)) << reason;
    EXPECT_NEAR(p.latitude, place.Latitude(), 2e-10);
    EXPECT_NEAR(p.longitude, place.Longitude(), 2e-10);
    EXPECT_NEAR(p.height, 68.2, 1e-3);
}

TEST(PastedPosition, RefusedWithTheReason) {
    const struct {
        const char* text;
        const char* reason;
    } cases[] = {
        {"35.1608 139.6138", "three numbers are needed: latitude, longitude (degrees) and height (m), or X, Y, Z (m)"},
        {"35.16N 139.61E 68", "\"35.16N\" is not a number"},
        {"95 10 0", "neither degrees (latitude -90..90, longitude -360..360) nor X, Y, Z near the earth's surface"},
        {"35 139 12000", "the height 12000.0 m is outside -999.999..9999.999 m"},
    };
    for (const auto& c : cases) {
        ApproximatePosition p;
        p.height = 7;
        std::string reason;
        EXPECT_FALSE(ReadPastedPosition(c.text, p, reason)) << c.text;
        EXPECT_EQ(reason, c.reason);
        EXPECT_EQ(p.height, 7) << "left as it was";
    }
}

}  // namespace
