#pragma once
#include "app/field/Field.h"

// Base of the fields that show a magnitude as whole units, minutes and seconds:
// angles in degrees, times in hours. The seconds are rounded to the shown
// decimals; 60 seconds carry into the minutes and 60 minutes into the units.
// When the units reach their maximum (90, 180, 360 degrees, 24 hours) minutes and
// seconds are forced to 0.
class CFieldSexagesimal : public CField {
public:
    void UpdateValue() override;

protected:
    // Writes the sub-fields from shown (displayed units, already in range): the
    // magnitude into the numbers, the sign into the letter.
    void ShowSexagesimal(double shown);
    // The hemisphere letter when there is one ("-": S or W), else the base rule.
    bool SetSign(bool negative) override;

    CUFieldInt* whole_ = nullptr;
    CUFieldInt* minutes_ = nullptr;
    CUFieldReal* seconds_ = nullptr;       // seconds with decimals, or
    CUFieldInt* wholeSeconds_ = nullptr;   // whole seconds
    CUFieldChar* letter_ = nullptr;        // hemisphere, when there is one
    char32_t positiveLetter_ = U' ';
    char32_t negativeLetter_ = U' ';
};

// Latitude in radians, shown as degrees, minutes, seconds (4 decimals) and N or S;
// stored values are clamped to -90..90 degrees.
class CFieldLat : public CFieldSexagesimal {
public:
    CFieldLat();
    const char* ClassName() const override { return "CFieldLat"; }
    void StoreValue(double value) override;
};

// Longitude in radians, shown as degrees, minutes, seconds (4 decimals) and E or W;
// stored values are shown brought into -180..180 degrees (the value kept as given).
class CFieldLong : public CFieldSexagesimal {
public:
    CFieldLong();
    const char* ClassName() const override { return "CFieldLong"; }
    void StoreValue(double value) override;
};

// An angle in radians shown in 0..360 degrees, minutes and seconds (4 decimals);
// stored values are brought into [0, 360) degrees (the value kept as given).
class CFieldSkew : public CFieldSexagesimal {
public:
    CFieldSkew();
    const char* ClassName() const override { return "CFieldSkew"; }
    void StoreValue(double value) override;
};

// A duration in seconds shown as hours, minutes and seconds (1 decimal); stored
// values are clamped to 0..24 hours.
class CFieldTime : public CFieldSexagesimal {
public:
    CFieldTime();
    const char* ClassName() const override { return "CFieldTime"; }
    void StoreValue(double value) override;
};

// A duration in seconds shown as hours, minutes and whole seconds (16 cells);
// stored values are clamped to 0..24 hours.
class CFieldTime2 : public CFieldSexagesimal {
public:
    CFieldTime2();
    const char* ClassName() const override { return "CFieldTime2"; }
    void StoreValue(double value) override;
};
