#include "app/field/FieldSexagesimal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
constexpr double kSecondsPerHour = 3600.0;

// Angle text: 0 degrees, 0 minutes, 0.0000 seconds, then letter and a blank.
std::u32string AngleText(char32_t letter) {
    std::u32string t = U"   0\u00B0 0' 0.0000\"  ";
    t[16] = letter;
    return t;
}

constexpr std::u32string_view kAngleMask = U"0000000000.00000W ";
constexpr std::u32string_view kSkewMask = U"0000000000.0000\"  ";

}  // namespace

void CFieldSexagesimal::ShowSexagesimal(double shown) {
    const int decimals = seconds_ ? seconds_->Decimals() : 0;
    const long long perSecond = static_cast<long long>(std::pow(10.0, decimals));
    const long long perMinute = 60 * perSecond;
    const long long perUnit = 60 * perMinute;
    // The whole magnitude in steps of the last shown seconds digit: rounding the
    // seconds carries into minutes and units by itself.
    const long long steps = std::llround(std::fabs(shown) * static_cast<double>(perUnit));
    whole_->Show(steps / perUnit);
    minutes_->Show(steps / perMinute % 60);
    if (seconds_)
        seconds_->Show(static_cast<double>(steps % perMinute) / static_cast<double>(perSecond));
    else
        wholeSeconds_->Show(steps % perMinute);
    if (letter_) letter_->Show(shown < 0 && steps > 0 ? negativeLetter_ : positiveLetter_);
}

bool CFieldSexagesimal::SetSign(bool negative) {
    if (!letter_) return CField::SetSign(negative);
    letter_->Show(negative ? negativeLetter_ : positiveLetter_);
    return true;
}

void CFieldSexagesimal::UpdateValue() {
    if (whole_->Value() == whole_->Maximum()) {
        minutes_->Show(0);
        if (seconds_) seconds_->Show(0);
        if (wholeSeconds_) wholeSeconds_->Show(0);
    }
    const double secs = seconds_ ? seconds_->Value() : static_cast<double>(wholeSeconds_->Value());
    double shown = static_cast<double>(whole_->Value()) +
                   static_cast<double>(minutes_->Value()) / 60.0 + secs / 3600.0;
    if (letter_ && letter_->Value() == negativeLetter_) shown = -shown;
    shown_ = shown;
    value_ = shown * scale_;
}

CFieldLat::CFieldLat() {
    SetLayout(kAngleMask, AngleText(U'W'), kRadiansPerDegree);
    whole_ = &AddSubField<CUFieldInt>(2, 2, 0, 90);
    minutes_ = &AddSubField<CUFieldInt>(5, 2, 0, 59);
    seconds_ = &AddSubField<CUFieldReal>(8, 7, 4, 0.0, 59.9999);
    letter_ = &AddSubField<CUFieldChar>(16, "NnSs");
    positiveLetter_ = U'N';
    negativeLetter_ = U'S';
    StoreValue(0);
}

void CFieldLat::StoreValue(double value) {
    ShowSexagesimal(KeepClamped(value, -90.0, 90.0, 0.0));
}

CFieldLong::CFieldLong() {
    SetLayout(kAngleMask, AngleText(U'W'), kRadiansPerDegree);
    whole_ = &AddSubField<CUFieldInt>(1, 3, 0, 180);
    minutes_ = &AddSubField<CUFieldInt>(5, 2, 0, 59);
    seconds_ = &AddSubField<CUFieldReal>(8, 7, 4, 0.0, 59.9999);
    letter_ = &AddSubField<CUFieldChar>(16, "EeWw");
    positiveLetter_ = U'E';
    negativeLetter_ = U'W';
    StoreValue(0);
}

void CFieldLong::StoreValue(double value) {
    double shown = value / scale_;
    if (!std::isfinite(shown)) shown = value = 0;
    shown = std::fmod(shown, 360.0);
    if (shown < 0) shown += 360.0;
    if (shown > 180.0) shown -= 360.0;
    value_ = value;
    shown_ = shown;
    ShowSexagesimal(shown);
}

CFieldSkew::CFieldSkew() {
    SetLayout(kSkewMask, AngleText(U' '), kRadiansPerDegree);
    whole_ = &AddSubField<CUFieldInt>(1, 3, 0, 360);
    minutes_ = &AddSubField<CUFieldInt>(5, 2, 0, 59);
    seconds_ = &AddSubField<CUFieldReal>(8, 7, 4, 0.0, 59.9999);
    StoreValue(0);
}

void CFieldSkew::StoreValue(double value) {
    double shown = value / scale_;
    if (!std::isfinite(shown)) shown = value = 0;
    shown = std::fmod(shown, 360.0);
    if (shown < 0) shown += 360.0;
    if (shown >= 360.0) shown = 0;  // a tiny negative angle rounds up to 360
    value_ = value;
    shown_ = shown;
    ShowSexagesimal(shown);
}

CFieldTime::CFieldTime() {
    SetLayout(U"0000h00m00.0s     ", U"   0h 0m 0.0s     ", kSecondsPerHour);
    whole_ = &AddSubField<CUFieldInt>(2, 2, 0, 24);
    minutes_ = &AddSubField<CUFieldInt>(5, 2, 0, 59);
    seconds_ = &AddSubField<CUFieldReal>(8, 4, 1, 0.0, 59.9);
    StoreValue(0);
}

void CFieldTime::StoreValue(double value) {
    ShowSexagesimal(KeepClamped(value, 0.0, 24.0, 0.0));
}

CFieldTime2::CFieldTime2() {
    SetLayout(U"0000h00m00s     ", U"   0h 0m 0s     ", kSecondsPerHour);
    whole_ = &AddSubField<CUFieldInt>(2, 2, 0, 24);
    minutes_ = &AddSubField<CUFieldInt>(5, 2, 0, 59);
    wholeSeconds_ = &AddSubField<CUFieldInt>(8, 2, 0, 59);
    StoreValue(0);
}

void CFieldTime2::StoreValue(double value) {
    ShowSexagesimal(KeepClamped(value, 0.0, 24.0, 0.0));
}
