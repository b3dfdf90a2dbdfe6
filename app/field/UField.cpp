#include "app/field/UField.h"

#include <algorithm>
#include <cmath>

#include "app/field/Field.h"
#include "app/field/TextRules.h"

namespace {

// 10^n for n = 0..18.
long long PowerOfTen(int n) {
    long long p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

}  // namespace

CUField::CUField(CField& owner, int start, int width)
    : owner_(owner), start_(start), end_(start + width - 1), width_(width) {}

bool CUField::MoveLeft() {
    int p = Caret() - 1;
    while (p >= start_ && !Holds(p)) --p;
    if (p < start_) return false;
    PutCaret(p);
    return true;
}

bool CUField::MoveRight() {
    int p = Caret() + 1;
    while (p <= end_ && !Holds(p)) ++p;
    if (p > end_) return false;
    PutCaret(p);
    return true;
}

bool CUField::HasCaret() const { return Holds(Caret()); }

std::u32string& CUField::Cells() { return owner_.text_; }
int CUField::Caret() const { return owner_.caret_; }
void CUField::PutCaret(int position) { owner_.caret_ = position; }
void CUField::Beep() { owner_.Beep(); }

CUFieldInt::CUFieldInt(CField& owner, int start, int width, long long minimum, long long maximum)
    : CUField(owner, start, width) {
    // The range is limited to the numbers the cells can show (a minus sign takes a cell).
    const long long top = PowerOfTen(std::min(width, 18)) - 1;
    const long long bottom = width >= 2 ? -(PowerOfTen(std::min(width - 1, 18)) - 1) : 0;
    minimum_ = std::clamp(std::min(minimum, maximum), bottom, top);
    maximum_ = std::clamp(std::max(minimum, maximum), bottom, top);
    value_ = minimum_;
}

bool CUFieldInt::Validate() {
    std::u32string& t = Cells();
    bool negativeZero = false;
    const int bad = ApplyIntegerRule(t, start_, end_, negativeZero);
    long long v = 0;
    if (bad >= 0 || !ReadInteger(t, start_, end_, v)) {
        if (bad >= 0) PutCaret(bad);
        return false;
    }
    if (v < minimum_ || v > maximum_) Beep();
    Show(v);
    return true;
}

void CUFieldInt::Show(long long value) {
    value_ = std::clamp(value, minimum_, maximum_);
    WriteCells(Cells(), start_, FormatInteger(value_, width_));
}

CUFieldReal::CUFieldReal(CField& owner, int start, int width, int decimals, double minimum,
                         double maximum)
    : CUField(owner, start, width) {
    Configure(decimals, minimum, maximum);
    value_ = minimum_;
}

void CUFieldReal::Configure(int decimals, double minimum, double maximum) {
    // At least one integer cell before the point.
    decimals_ = std::clamp(decimals, 0, std::max(width_ - 2, 0));
    // The range is limited to the numbers the cells can show: all nines, and one
    // cell less for a minus sign.
    const int integerCells = decimals_ > 0 ? width_ - decimals_ - 1 : width_;
    const double step = std::pow(10.0, -decimals_);
    const double top = std::pow(10.0, integerCells) - step;
    const double bottom = integerCells >= 2 ? -(std::pow(10.0, integerCells - 1) - step) : 0.0;
    if (!(minimum <= maximum)) std::swap(minimum, maximum);
    minimum_ = std::isfinite(minimum) ? std::clamp(minimum, bottom, top) : bottom;
    maximum_ = std::isfinite(maximum) ? std::clamp(maximum, bottom, top) : top;
}

bool CUFieldReal::Holds(int position) const {
    return CUField::Holds(position) && position != Point();
}

bool CUFieldReal::Validate() {
    std::u32string& t = Cells();
    const int point = Point();
    bool negativeZero = false;
    int bad = ApplyIntegerRule(t, start_, point >= 0 ? point - 1 : end_, negativeZero);
    bool fractionNonZero = false;
    for (int p = point + 1; bad < 0 && point >= 0 && p <= end_; ++p) {
        if (t[p] == U' ') t[p] = U'0';
        if (t[p] < U'0' || t[p] > U'9')
            bad = p;
        else if (t[p] != U'0')
            fractionNonZero = true;
    }
    // "- " before the point read as " 0": the sign comes back when a fraction
    // follows (typing a blank over the units of -0.5 keeps -0.5).
    if (bad < 0 && negativeZero && fractionNonZero) t[point - 2] = U'-';
    double v = 0;
    if (bad >= 0 || !ReadReal(t, start_, end_, v)) {
        if (bad >= 0) PutCaret(bad);
        return false;
    }
    if (v < minimum_ || v > maximum_) Beep();
    Show(v);
    return true;
}

void CUFieldReal::Show(double value) {
    const double v = std::isnan(value) ? minimum_ : std::clamp(value, minimum_, maximum_);
    WriteCells(Cells(), start_, FormatFixed(v, width_, decimals_));
    if (!ReadReal(Cells(), start_, end_, value_)) value_ = v;
}

CUFieldChar::CUFieldChar(CField& owner, int start, std::string_view allowed)
    : CUField(owner, start, 1) {
    for (const char c : allowed) {
        const char32_t u = (c >= 'a' && c <= 'z') ? c - 'a' + U'A' : static_cast<unsigned char>(c);
        if (allowed_.find(u) == std::u32string::npos) allowed_.push_back(u);
    }
    value_ = allowed_.empty() ? U' ' : allowed_[0];
}

bool CUFieldChar::Validate() {
    char32_t& c = Cells()[start_];
    if (c >= U'a' && c <= U'z') c -= U'a' - U'A';
    if (allowed_.find(c) == std::u32string::npos) return false;
    value_ = c;
    return true;
}

void CUFieldChar::Show(char32_t letter) {
    value_ = letter;
    Cells()[start_] = letter;
}

CUFieldMonth::CUFieldMonth(CField& owner, int start) : CUField(owner, start, 3), month_(1) {}

bool CUFieldMonth::Validate() {
    const int m = ApplyMonthRule(Cells(), start_, Caret() - start_);
    if (m == 0) return false;
    month_ = m;
    return true;
}

void CUFieldMonth::Show(int month) {
    month_ = std::clamp(month, 1, 12);
    WriteCells(Cells(), start_, MonthName(month_));
}
