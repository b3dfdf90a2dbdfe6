#include "app/field/Field.h"

#include <algorithm>
#include <cmath>

#include "app/field/TextRules.h"

void CField::StoreValue(double value) {
    value_ = value;
    shown_ = value / scale_;
}

double CField::KeepClamped(double value, double lo, double hi, double fallback) {
    double shown = value / scale_;
    if (!std::isfinite(shown)) {
        shown = fallback;
        value = fallback * scale_;
    } else if (shown < lo || shown > hi) {
        shown = std::clamp(shown, lo, hi);
        value = shown * scale_;
    }
    value_ = value;
    shown_ = shown;
    return shown;
}

std::string CField::TextUtf8() const { return CellsToUtf8(text_); }

void CField::SetLayout(std::u32string_view mask, std::u32string_view text, double scale) {
    mask_ = mask.substr(0, kMaxCells);
    text_ = text.substr(0, mask_.size());
    text_.resize(mask_.size(), U' ');
    SetScale(scale);
}

void CField::SetScale(double scale) { scale_ = (std::isfinite(scale) && scale != 0) ? scale : 1.0; }

void CField::GoToSubField(int index, bool atEnd) {
    current_ = index;
    caret_ = atEnd ? subFields_[index]->End() : subFields_[index]->Start();
}

void CField::ForgetEntry() {
    typed_.clear();
    typedField_ = -1;
    typedNegative_ = false;
}

void CField::PressKey(FieldKey key, bool ctrl) {
    ForgetEntry();
    MoveCaret(key, ctrl);
}

void CField::MoveCaret(FieldKey key, bool ctrl) {
    if (subFields_.empty()) return;
    const int last = SubFieldCount() - 1;
    switch (key) {
        case FieldKey::Left:
        case FieldKey::Backspace:
            if (ctrl)
                GoToSubField(current_ > 0 ? current_ - 1 : 0, false);
            else if (!subFields_[current_]->MoveLeft() && current_ > 0)
                GoToSubField(current_ - 1, true);
            break;
        case FieldKey::Right:
            if (ctrl) {
                if (current_ < last) GoToSubField(current_ + 1, false);
            } else if (!subFields_[current_]->MoveRight() && current_ < last) {
                GoToSubField(current_ + 1, false);
            }
            break;
        case FieldKey::Home:
            GoToSubField(0, false);
            if (!ctrl)
                while (text_[caret_] == U' ' && subFields_[0]->MoveRight()) {
                }
            break;
        case FieldKey::End:
            GoToSubField(last, true);
            break;
    }
}

void CField::TypeChar(char32_t c, bool shift) {
    if (c < 32 || c == 127 || subFields_.empty()) return;
    if (!shift && c >= U'A' && c <= U'Z') c += U'a' - U'A';
    if (typedField_ != current_) ForgetEntry();
    const bool sign = c == U'-' || c == U'+';
    if ((sign && SetSign(c == U'-')) || (c == U'.' && TypePoint())) {
        typedField_ = current_;
        if (sign) typedNegative_ = c == U'-';
        UpdateValue();
        events_.push_back(FieldEvent::Edited);
        return;
    }
    const std::u32string before = text_;
    text_[caret_] = c;
    if (!subFields_[current_]->Validate()) {
        text_ = before;
        Beep();
        return;
    }
    typed_ += c;
    typedField_ = current_;
    UpdateValue();
    MoveCaret(FieldKey::Right, false);
    events_.push_back(FieldEvent::Edited);
}

bool CField::SetSign(bool negative) {
    auto* real = dynamic_cast<CUFieldReal*>(subFields_[current_].get());
    if (!real || real->Minimum() >= 0) return false;
    const double magnitude = std::fabs(real->Value());
    real->Show(negative ? -magnitude : magnitude);
    return true;
}

bool CField::TypePoint() {
    auto* real = dynamic_cast<CUFieldReal*>(subFields_[current_].get());
    if (!real || real->Point() < 0) return false;
    if (caret_ > real->Point()) {
        Beep();  // already among the decimals
        return true;
    }
    std::string digits;
    for (const char32_t c : typed_)
        if (c >= U'0' && c <= U'9') digits += static_cast<char>(c);
    if (!digits.empty()) {
        double whole = std::stod(digits.substr(0, 18));
        if (typedNegative_ && real->Minimum() < 0) whole = -whole;
        if (whole < real->Minimum() || whole > real->Maximum()) Beep();
        real->Show(whole);
    }
    caret_ = real->Point() + 1;
    typed_.clear();
    return true;
}

ClickResult CField::Click(double x, std::span<const double> cellWidths) {
    const size_t cells = std::min(cellWidths.size(), text_.size());
    double right = 0;
    for (size_t i = 0; i < cells; ++i) {
        right += cellWidths[i];
        if (right < x) continue;
        events_.push_back(FieldEvent::Clicked);
        ForgetEntry();
        for (int k = 0; k < SubFieldCount(); ++k) {
            if (subFields_[k]->Holds(static_cast<int>(i))) {
                current_ = k;
                caret_ = static_cast<int>(i);
                return ClickResult::CaretPlaced;
            }
        }
        return ClickResult::Notified;
    }
    return ClickResult::Ignored;
}

void CField::DoubleClick() { events_.push_back(FieldEvent::DoubleClicked); }

void CField::SetFocused(bool focused) {
    if (focused != focused_) ForgetEntry();
    if (focused && !focused_) events_.push_back(FieldEvent::Focused);
    focused_ = focused;
}
