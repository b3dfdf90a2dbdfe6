#pragma once
#include "app/field/Field.h"

// A date as a count of whole days since the GPS time origin (6 January 1980 is day
// 0), shown as month name, day and year ("  jan  6, 1980    "). Dates run from
// 6 January 1980 to 31 December 2099; a new field holds day 0.
class CFieldDate : public CField {
public:
    static constexpr int kFirstYear = 1980;
    static constexpr int kLastYear = 2099;

    CFieldDate();
    const char* ClassName() const override { return "CFieldDate"; }

    // Stores the whole days of value (the fraction dropped), clamped to the dates
    // above; a value that is not a finite number stores day 0.
    void StoreValue(double value) override;
    // Days from month, day and year. A day beyond the month's length is cut to it and
    // a date before 6 January 1980 becomes that day, with a beep.
    void UpdateValue() override;

private:
    CUFieldMonth* month_;
    CUFieldInt* day_;
    CUFieldInt* year_;
};

// Days since the GPS time origin of a calendar date (valid for 1901..2099).
double DaysSinceGpsOrigin(int year, int month, int day);
// Length of month in year (February: 29 days in years divisible by 4).
int DaysInMonth(int year, int month);
