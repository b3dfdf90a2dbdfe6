#include "app/field/FieldNumber.h"

#include <algorithm>
#include <cmath>

#include "app/field/TextRules.h"

namespace {

// Mask and initial text of the fields with a 14-cell number from cell 1 and a unit.
constexpr std::u32string_view kMetresText = U"          0.000 m ";

}  // namespace

int DecimalWidth(long long n) {
    int width = n < 0 ? 2 : 1;
    // Divide rather than negate: -LLONG_MIN does not exist.
    for (long long rest = n / 10; rest != 0; rest /= 10) ++width;
    return width;
}

void CFieldNumber::StoreValue(double value) {
    number_->Show(KeepClamped(value, number_->Minimum(), number_->Maximum(), number_->Minimum()));
}

void CFieldNumber::UpdateValue() {
    shown_ = number_->Value();
    value_ = shown_ * scale_;
}

CFieldAlt::CFieldAlt() {
    SetLayout(U"00000000000.000 m ", kMetresText, 1.0);
    number_ = &AddSubField<CUFieldReal>(5, 10, 3, -999.999, 9999.999);
    StoreValue(0);
}

CFieldXm::CFieldXm() {
    SetLayout(U"00000000000.000 mm", kMetresText, 1.0);
    number_ = &AddSubField<CUFieldReal>(1, 14, 3, -999999999.999, 9999999999.999);
    StoreValue(0);
}

CFieldScale::CFieldScale() {
    SetLayout(U"000.000000000000  ", U"  1.000000000000  ", 1.0);
    number_ = &AddSubField<CUFieldReal>(2, 14, 12, 0.5, 1.5);
    StoreValue(1);
}

CFieldElev::CFieldElev() {
    SetLayout(U"00000000000.0000  ", U"          5.0 \u00B0   ", 1.0);
    number_ = &AddSubField<CUFieldReal>(8, 5, 1, -90.0, 90.0);
    StoreValue(5);
}

CFieldRot::CFieldRot() {
    SetLayout(U"000000000.000000 \"", U"        0.000000 \"", 1.0);
    number_ = &AddSubField<CUFieldReal>(2, 14, 6, -999999.0, 9999999.0);
    StoreValue(0);
}

CFieldUser::CFieldUser() {
    SetLayout(U"000000000000000 mm", kMetresText, 1.0);
    number_ = &AddSubField<CUFieldReal>(1, 14, 3, -999999999.999, 9999999999.999);
    StoreValue(0);
}

void CFieldUser::Configure(double scale, std::u32string_view unit, int decimals) {
    SetScale(scale);
    const int d = std::clamp(decimals, 0, 12);
    const double bound = std::pow(10.0, 13 - d);
    number_->Configure(d, -bound, bound);  // the sub-field keeps what its cells can show
    std::u32string& t = Cells();
    WriteCells(t, number_->Start(), FormatFixed(0.0, number_->Width(), d));
    t[number_->End() + 1] = U' ';
    for (int i = 0; i < 2; ++i)
        t[number_->End() + 2 + i] = i < static_cast<int>(unit.size()) ? unit[i] : U' ';
    StoreValue(0);
}

CFieldUint::CFieldUint(long long minimum, long long maximum) {
    if (minimum > maximum) std::swap(minimum, maximum);
    const int digits = std::min(std::max(DecimalWidth(minimum), DecimalWidth(maximum)), kMaxCells - 1);
    SetLayout(std::u32string(digits + 1, U'0'), std::u32string(digits, U' ') + U"0", 1.0);
    whole_ = &AddSubField<CUFieldInt>(1, digits, minimum, maximum);
    StoreValue(0);
}

void CFieldUint::StoreValue(double value) {
    const double lo = static_cast<double>(whole_->Minimum());
    const double hi = static_cast<double>(whole_->Maximum());
    whole_->Show(static_cast<long long>(std::floor(KeepClamped(value, lo, hi, lo) + 0.5)));
}

void CFieldUint::UpdateValue() {
    shown_ = static_cast<double>(whole_->Value());
    value_ = shown_ * scale_;
}
