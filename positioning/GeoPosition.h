#pragma once

// A station position held at once as earth-centred, earth-fixed X, Y, Z (m) and
// as WGS-84 latitude, longitude (rad) and ellipsoidal height (m), with the radii
// of curvature and the sines and cosines of the angles. Every operation that
// changes coordinates leaves all twelve values consistent.
class GeoPosition {
public:
    // Latitude, longitude and height 0: x = a, y = z = 0.
    GeoPosition();

    // Sets latitude, longitude (rad) and height (m) and derives the rest.
    void SetGeodetic(double latitude, double longitude, double height);
    // Sets X, Y, Z (m) and derives the rest.
    void SetCartesian(double x, double y, double z);
    // Moves the position by dNorth, dEast, dUp metres in its local frame, using the
    // radii of curvature of the position before the move.
    void OffsetLocal(double dNorth, double dEast, double dUp);
    // Recomputes X, Y, Z, the radii and the sines/cosines from latitude, longitude, height.
    void ToCartesian();
    // Recomputes latitude, longitude, height, the radii and the sines/cosines from X, Y, Z.
    void ToGeodetic();

    double X() const { return x_; }
    double Y() const { return y_; }
    double Z() const { return z_; }
    double Latitude() const { return latitude_; }    // rad
    double Longitude() const { return longitude_; }  // rad
    double Height() const { return height_; }        // m, ellipsoidal
    double ParallelRadius() const { return parallelRadius_; }  // (N + h) cos(lat), m
    double MeridianRadius() const { return meridianRadius_; }  // M + h, m
    double SinLat() const { return sinLat_; }
    double CosLat() const { return cosLat_; }
    double SinLon() const { return sinLon_; }
    double CosLon() const { return cosLon_; }
    // Number of passes of the latitude iteration in the last ToGeodetic (0 when none ran).
    int LastGeodeticPasses() const { return passes_; }

    // True when all twelve values are finite numbers.
    bool IsFinite() const;

private:
    double x_ = 0, y_ = 0, z_ = 0;
    double latitude_ = 0, longitude_ = 0, height_ = 0;
    double parallelRadius_ = 0, meridianRadius_ = 0;
    double sinLat_ = 0, cosLat_ = 1, sinLon_ = 0, cosLon_ = 1;
    int passes_ = 0;
};
