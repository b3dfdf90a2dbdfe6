#pragma once
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/field/UField.h"

// What a field model tells its window. The notifications keep the codes a field
// control sends its parent; a beep is asked for when a character is refused or a
// number clamped.
enum class FieldEvent : int {
    Clicked = 0,        // after a mouse click on the text
    DoubleClicked = 5,  // after a double click
    Focused = 0x100,    // the control gained the focus
    Edited = 0x300,     // after each accepted character
    Beep = -1,
};

// Keys that move the caret (the control's other keys belong to its dialog).
enum class FieldKey { Left, Right, Home, End, Backspace };

// What a mouse click did.
enum class ClickResult {
    Ignored,      // right of the last cell: nothing at all
    Notified,     // on a cell outside every sub-field: caret and focus unchanged
    CaretPlaced,  // caret on the cell; the control takes the focus
};

// Base of the field models: a fixed-layout text of at most 18 cells edited in
// overwrite mode, a mask whose characters give the cells' widths, the quantity it
// shows as one real number, and up to five sub-fields that check and convert parts
// of the text. The editing (caret keys, typed characters, clicks) is part of the
// model; what the window must do in answer comes out as events.
//
// The base itself has no text and no sub-fields and ignores all input.
class CField {
public:
    static constexpr int kMaxCells = 18;
    static constexpr int kMaxSubFields = 5;

    CField() = default;
    virtual ~CField() = default;
    CField(const CField&) = delete;
    CField& operator=(const CField&) = delete;

    // Name of the family member: "CField", "CFieldLat", ...
    virtual const char* ClassName() const { return "CField"; }

    // Stores value (program units: radians, days, seconds, metres) and writes the
    // sub-fields from value / scale. Members clamp it to what the sub-fields can
    // show; a value that is not a finite number stores the sub-fields' minimum (0 for
    // angles and times, the lowest number for lengths and numbers, day 0 for dates).
    virtual void StoreValue(double value);
    // Recomputes the value from the sub-fields (base: nothing).
    virtual void UpdateValue() {}
    // The value in program units.
    double GetValue() const { return value_; }
    // The value in displayed units (value / scale).
    double ShownValue() const { return shown_; }
    // Program units per displayed unit.
    double Scale() const { return scale_; }

    const std::u32string& Text() const { return text_; }
    const std::u32string& Mask() const { return mask_; }
    std::string TextUtf8() const;

    int Caret() const { return caret_; }
    // Index of the sub-field holding the caret.
    int Current() const { return current_; }
    int SubFieldCount() const { return static_cast<int>(subFields_.size()); }
    const CUField& SubField(int index) const { return *subFields_[index]; }

    // Moves the caret: Left or Backspace one cell left, at a sub-field's start to the
    // end of the previous one (Ctrl: start of the previous sub-field); Right one cell
    // right, at the end to the start of the next one (Ctrl: start of the next one);
    // Home to the first non-blank cell of the first sub-field (Ctrl: its start); End
    // to the end of the last sub-field. Backspace deletes nothing.
    void PressKey(FieldKey key, bool ctrl = false);
    // Types character c over the caret cell (codes below 32 and 127 are ignored; an
    // upper-case letter typed without shift becomes lower case). Accepted: the value
    // is recomputed, the caret moves right and Edited follows. Refused: the text
    // stays as it was and Beep follows.
    //
    // Two characters do not overwrite: "-" and "+" set the sign (the hemisphere
    // letter, or the sign of a real number that may be negative) and leave the
    // caret where it is; "." in a real sub-field writes the digits typed into it
    // since the caret came there as its whole part (fraction 0) and puts the caret
    // on the first decimal. Where neither applies they are typed as any other.
    void TypeChar(char32_t c, bool shift = false);
    // A click x units right of the first cell's left edge, the cells being
    // cellWidths wide: the caret goes to the first cell whose right edge is at or
    // beyond x when a sub-field holds it. Clicked follows unless Ignored.
    ClickResult Click(double x, std::span<const double> cellWidths);
    // A double click: DoubleClicked follows.
    void DoubleClick();
    // Focus in (Focused follows) or out.
    void SetFocused(bool focused);
    bool Focused() const { return focused_; }

    // The events since the last call, oldest first.
    std::vector<FieldEvent> TakeEvents() { return std::exchange(events_, {}); }

protected:
    // Sets the mask and the text (the same number of cells, at most 18) and the
    // scale (0 or not a finite number: 1).
    void SetLayout(std::u32string_view mask, std::u32string_view text, double scale);
    // Sets the scale (0 or not a finite number: 1).
    void SetScale(double scale);
    // Adds a sub-field (at most five, in text order) and puts the caret on the
    // first one's start.
    template <class T, class... Args>
    T& AddSubField(Args&&... args) {
        auto sub = std::make_unique<T>(*this, std::forward<Args>(args)...);
        T& ref = *sub;
        subFields_.push_back(std::move(sub));
        caret_ = subFields_.front()->Start();
        current_ = 0;
        return ref;
    }
    // Keeps value as given when value / scale lies in lo..hi, else clamped to it;
    // a value that is not a finite number becomes fallback x scale. Returns the
    // shown value (value / scale).
    double KeepClamped(double value, double lo, double hi, double fallback);
    void Beep() { events_.push_back(FieldEvent::Beep); }
    // Makes the shown quantity negative or positive without moving the caret;
    // false when the field has no sign there. Base: the current sub-field's sign
    // when it is a real number that may be negative.
    virtual bool SetSign(bool negative);
    std::u32string& Cells() { return text_; }

    double value_ = 0;
    double shown_ = 0;
    double scale_ = 1;

private:
    friend class CUField;

    // Caret to the start (or end) of sub-field index, which becomes current.
    void GoToSubField(int index, bool atEnd);
    // PressKey without forgetting the digits typed so far.
    void MoveCaret(FieldKey key, bool ctrl);
    // The decimal point typed in a real sub-field; false when the caret is not in one.
    bool TypePoint();
    // Forgets the digits and the sign typed since the caret came to its sub-field.
    void ForgetEntry();

    std::u32string text_;
    std::u32string mask_;
    int caret_ = 0;
    int current_ = 0;
    std::vector<std::unique_ptr<CUField>> subFields_;
    bool focused_ = false;
    std::vector<FieldEvent> events_;
    std::u32string typed_;   // characters accepted in sub-field typedField_ in a row
    int typedField_ = -1;
    bool typedNegative_ = false;  // "-" typed since the caret came to its sub-field
};
