#include "app/field/FieldDate.h"

#include <algorithm>
#include <cmath>

#include "rawdata/GpsTime.h"

double DaysSinceGpsOrigin(int year, int month, int day) {
    const bool afterFebruary = month > 2;
    return std::floor((year - 1901 + (afterFebruary ? 1 : 0)) * 365.25) + day +
           std::floor((afterFebruary ? month - 3 : month + 9) * 30.6 + 0.5) - 29166;
}

int DaysInMonth(int year, int month) {
    static constexpr int kLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2) return year % 4 == 0 ? 29 : 28;
    return kLength[std::clamp(month, 1, 12) - 1];
}

CFieldDate::CFieldDate() {
    SetLayout(U"  www 00, 0000    ", U"  oct 18, 1944    ", 1.0);
    month_ = &AddSubField<CUFieldMonth>(2);
    day_ = &AddSubField<CUFieldInt>(6, 2, 1, 31);
    year_ = &AddSubField<CUFieldInt>(10, 4, kFirstYear, kLastYear);
    StoreValue(0);
}

void CFieldDate::StoreValue(double value) {
    const double last = DaysSinceGpsOrigin(kLastYear, 12, 31);
    const double day = std::isfinite(value) ? std::clamp(std::floor(value), 0.0, last) : 0.0;
    GpsTime t;
    t.FromDays(day);
    const CalendarTime c = t.ToCalendar();
    month_->Show(c.month);
    day_->Show(c.day);
    year_->Show(c.year);
    value_ = shown_ = day;
}

void CFieldDate::UpdateValue() {
    const int year = static_cast<int>(year_->Value());
    const int month = month_->Value();
    const int length = DaysInMonth(year, month);
    if (day_->Value() > length) {
        day_->Show(length);
        Beep();
    }
    const double days = DaysSinceGpsOrigin(year, month, static_cast<int>(day_->Value()));
    if (days < 0) {
        Beep();
        StoreValue(0);
        return;
    }
    value_ = shown_ = days;
}
