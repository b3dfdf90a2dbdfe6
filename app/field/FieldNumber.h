#pragma once
#include <string_view>

#include "app/field/Field.h"

// Base of the fields that show one real number (value / scale) with a fixed count
// of decimals: lengths, scale factors, elevations, rotations. Stored values are
// clamped to the number's range; a value that is not a finite number stores the
// minimum.
class CFieldNumber : public CField {
public:
    void StoreValue(double value) override;
    // value = scale x the number.
    void UpdateValue() override;

protected:
    CUFieldReal* number_ = nullptr;
};

// Altitude in metres, -999.999..9999.999 ("    0.000 m").
class CFieldAlt : public CFieldNumber {
public:
    CFieldAlt();
    const char* ClassName() const override { return "CFieldAlt"; }
};

// A length in metres with millimetres, -999999999.999..9999999999.999.
class CFieldXm : public CFieldNumber {
public:
    CFieldXm();
    const char* ClassName() const override { return "CFieldXm"; }
};

// A scale factor, 0.5..1.5 with 12 decimals; a new field holds 1.
class CFieldScale : public CFieldNumber {
public:
    CFieldScale();
    const char* ClassName() const override { return "CFieldScale"; }
};

// An elevation in degrees, -90..90 with one decimal; a new field holds 5.
class CFieldElev : public CFieldNumber {
public:
    CFieldElev();
    const char* ClassName() const override { return "CFieldElev"; }
};

// A rotation in arc seconds, -999999..9999999 with 6 decimals.
class CFieldRot : public CFieldNumber {
public:
    CFieldRot();
    const char* ClassName() const override { return "CFieldRot"; }
};

// A number with a unit of two characters, a scale and 0..12 decimals chosen by
// Configure (as made: metres, scale 1, 3 decimals).
class CFieldUser : public CFieldNumber {
public:
    CFieldUser();
    const char* ClassName() const override { return "CFieldUser"; }

    // Sets the scale (0 or not a finite number: 1), the unit (two cells; shorter
    // units are padded with blanks) and the decimals, limited to 0..12 (no point for
    // 0). The range becomes -10^13 / 10^decimals .. 10^13 / 10^decimals as far as
    // the 14 cells can show it; the field then holds 0.
    void Configure(double scale, std::u32string_view unit, int decimals);
};

// A whole number in minimum..maximum (0..99 when made by name), as wide as the
// larger of the two needs.
class CFieldUint : public CField {
public:
    explicit CFieldUint(long long minimum = 0, long long maximum = 99);
    const char* ClassName() const override { return "CFieldUint"; }

    // Stores value / scale rounded to the nearest whole number, clamped.
    void StoreValue(double value) override;
    void UpdateValue() override;
    // Number of cells of the number.
    int Digits() const { return whole_->Width(); }

private:
    CUFieldInt* whole_ = nullptr;
};

// Decimal digits of n (1 for 0), a minus sign counted for negative n.
int DecimalWidth(long long n);
