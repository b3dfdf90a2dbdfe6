#include <gtest/gtest.h>

#include <cmath>

#include "positioning/GeoPosition.h"
#include "rawdata/GpsConstants.h"

TEST(GeoPosition, DefaultLiesOnTheEquatorAtLongitudeZero) {
    GeoPosition p;
    EXPECT_EQ(p.X(), 6378137.0);
    EXPECT_EQ(p.Y(), 0.0);
    EXPECT_EQ(p.Z(), 0.0);
    EXPECT_EQ(p.Latitude(), 0.0);
    EXPECT_EQ(p.Longitude(), 0.0);
    EXPECT_EQ(p.Height(), 0.0);
    EXPECT_EQ(p.ParallelRadius(), 6378137.0);
    EXPECT_EQ(p.CosLat(), 1.0);
}

TEST(GeoPosition, GeodeticToCartesianMatchesReferencePoint) {
    // 45 deg N, 30 deg E, 100 m; reference computed to 40 digits.
    GeoPosition p;
    p.SetGeodetic(M_PI / 4, M_PI / 6, 100.0);
    EXPECT_NEAR(p.X(), 3912409.7022316121, 1e-6);
    EXPECT_NEAR(p.Y(), 2258830.7947635248, 1e-6);
    EXPECT_NEAR(p.Z(), 4487419.1195440385, 1e-6);
}

TEST(GeoPosition, CartesianToGeodeticOfAStation) {
    // GEONET station 0759 (header position) and its exact geodetic coordinates.
    GeoPosition p;
    p.SetCartesian(-3976219.5082, 3382372.5671, 3652512.9849);
    EXPECT_NEAR(p.Latitude(), 0.61367303730939448, 1e-11);
    EXPECT_NEAR(p.Longitude(), 2.4367211414045488, 1e-14);
    EXPECT_NEAR(p.Height(), 70.153460297, 1e-5);
    EXPECT_LE(p.LastGeodeticPasses(), 5);
    EXPECT_NEAR(p.SinLat() * p.SinLat() + p.CosLat() * p.CosLat(), 1.0, 1e-15);
}

TEST(GeoPosition, EquatorialPointNeedsNoIteration) {
    GeoPosition p;
    p.SetCartesian(6378137.0, 0.0, 0.0);
    EXPECT_EQ(p.Latitude(), 0.0);
    EXPECT_EQ(p.Longitude(), 0.0);
    EXPECT_EQ(p.Height(), 0.0);
    EXPECT_EQ(p.LastGeodeticPasses(), 0);
}

TEST(GeoPosition, PointOnThePolarAxisHasLatitudeHalfPi) {
    GeoPosition p;
    p.SetCartesian(0.0, 0.0, 6356852.3142);
    EXPECT_EQ(p.Latitude(), 1.5707963267949);
    EXPECT_EQ(p.CosLat(), 0.0);
    EXPECT_EQ(p.SinLat(), 1.0);
    EXPECT_NEAR(p.Height(), 99.999955, 1e-5);  // polar radius b = 6356752.314245 m
    p.SetCartesian(0.0, 0.0, -6356852.3142);
    EXPECT_EQ(p.Latitude(), -1.5707963267949);
}

TEST(GeoPosition, RoundTripIsExactToATenthOfAMillimetre) {
    const double heights[] = {-1000.0, 0.0, 8848.0, 400e3, 20200e3, 20000e3};
    const double lats[] = {-1.4, -0.7, 0.0001, 0.6136, 1.2, 1.5707};
    for (double h : heights) {
        for (double lat : lats) {
            GeoPosition p;
            p.SetGeodetic(lat, 2.0, h);
            GeoPosition q;
            q.SetCartesian(p.X(), p.Y(), p.Z());
            EXPECT_NEAR((q.Latitude() - lat) * 6378137.0, 0.0, 1e-5) << lat << " " << h;
            EXPECT_NEAR(q.Height(), h, 1e-5) << lat << " " << h;
            EXPECT_NEAR(q.Longitude(), 2.0, 1e-12);
            EXPECT_LE(q.LastGeodeticPasses(), 5) << lat << " " << h;
        }
    }
}

TEST(GeoPosition, OffsetLocalMovesAlongTheLocalAxes) {
    GeoPosition start;
    start.SetGeodetic(0.6, 2.4, 50.0);
    const double ux = start.CosLat() * start.CosLon(), uy = start.CosLat() * start.SinLon(),
                 uz = start.SinLat();
    GeoPosition p = start;
    p.OffsetLocal(0.0, 0.0, 10.0);
    EXPECT_NEAR(p.Height(), 60.0, 1e-12);
    EXPECT_NEAR(p.X() - start.X(), 10.0 * ux, 1e-6);
    EXPECT_NEAR(p.Y() - start.Y(), 10.0 * uy, 1e-6);
    EXPECT_NEAR(p.Z() - start.Z(), 10.0 * uz, 1e-6);

    p = start;
    p.OffsetLocal(100.0, 0.0, 0.0);  // north: z grows, height kept
    const double dx = p.X() - start.X(), dy = p.Y() - start.Y(), dz = p.Z() - start.Z();
    EXPECT_NEAR(std::sqrt(dx * dx + dy * dy + dz * dz), 100.0, 1e-4);
    EXPECT_NEAR(dz, 100.0 * start.CosLat(), 1e-3);
    EXPECT_EQ(p.Height(), 50.0);

    p = start;
    p.OffsetLocal(0.0, 100.0, 0.0);  // east: (-sin lon, cos lon, 0)
    EXPECT_NEAR(p.X() - start.X(), -100.0 * start.SinLon(), 1e-3);
    EXPECT_NEAR(p.Y() - start.Y(), 100.0 * start.CosLon(), 1e-3);
    EXPECT_NEAR(p.Z() - start.Z(), 0.0, 1e-9);
}

TEST(GeoPosition, CopiesCarryAllFields) {
    GeoPosition p;
    p.SetGeodetic(0.3, -1.0, 12.0);
    GeoPosition q = p;
    EXPECT_EQ(q.X(), p.X());
    EXPECT_EQ(q.MeridianRadius(), p.MeridianRadius());
    EXPECT_EQ(q.SinLon(), p.SinLon());
}
