#pragma once
#include <string>
#include <string_view>

class CField;

// Base of the sub-fields: one part of a field's text (cells start..end) that
// validates typed characters and converts between text and value.
class CUField {
public:
    CUField(CField& owner, int start, int width);
    virtual ~CUField() = default;
    CUField(const CUField&) = delete;
    CUField& operator=(const CUField&) = delete;

    int Start() const { return start_; }
    int End() const { return end_; }
    int Width() const { return width_; }

    // Checks and normalises the sub-field's cells after a character was typed on
    // the caret. False refuses it (the field then restores its text and beeps); a
    // refusing sub-field may put the caret on the offending cell. Base: accepts.
    virtual bool Validate() { return true; }
    // True when the caret may stand on cell position (base: start <= position <= end).
    virtual bool Holds(int position) const { return position >= start_ && position <= end_; }
    // Caret to the previous (next) cell this sub-field holds; false, the caret
    // unchanged, when there is none.
    bool MoveLeft();
    bool MoveRight();
    // True when the caret stands on a cell of this sub-field.
    bool HasCaret() const;

protected:
    // The owner's text, caret and beep, for the sub-fields' rules.
    std::u32string& Cells();
    int Caret() const;
    void PutCaret(int position);
    void Beep();

    CField& owner_;
    int start_;
    int end_;
    int width_;
};

// An integer in minimum..maximum, written right-aligned.
class CUFieldInt : public CUField {
public:
    CUFieldInt(CField& owner, int start, int width, long long minimum, long long maximum);

    // Integer text rule; the number clamped into the range (a beep when clamped)
    // and written back right-aligned.
    bool Validate() override;
    // Writes value clamped into the range (no beep) and keeps it.
    void Show(long long value);

    long long Value() const { return value_; }
    long long Minimum() const { return minimum_; }
    long long Maximum() const { return maximum_; }

private:
    long long minimum_;
    long long maximum_;
    long long value_;
};

// A real number with a fixed count of decimals in minimum..maximum, written
// right-aligned; the caret steps over its point. Without decimals there is no point.
class CUFieldReal : public CUField {
public:
    CUFieldReal(CField& owner, int start, int width, int decimals, double minimum, double maximum);

    // Integer text rule before the point, digits after it; the number clamped into
    // the range (a beep when clamped) and written back.
    bool Validate() override;
    bool Holds(int position) const override;
    // Writes value clamped into the range (no beep); the kept value is the number
    // the text shows.
    void Show(double value);
    // New decimals and range; the cells are left as they are.
    void Configure(int decimals, double minimum, double maximum);

    double Value() const { return value_; }
    double Minimum() const { return minimum_; }
    double Maximum() const { return maximum_; }
    int Decimals() const { return decimals_; }
    // Cell of the point, -1 without decimals.
    int Point() const { return decimals_ > 0 ? end_ - decimals_ : -1; }

private:
    int decimals_;
    double minimum_;
    double maximum_;
    double value_;
};

// One letter out of a set (a hemisphere), kept upper-case.
class CUFieldChar : public CUField {
public:
    CUFieldChar(CField& owner, int start, std::string_view allowed);

    // The cell must hold one of the allowed letters; lower case becomes upper case.
    bool Validate() override;
    void Show(char32_t letter);

    char32_t Value() const { return value_; }

private:
    std::u32string allowed_;
    char32_t value_;
};

// A month written as its three-letter lower-case name.
class CUFieldMonth : public CUField {
public:
    CUFieldMonth(CField& owner, int start);

    // Month-name rule on the typed letter.
    bool Validate() override;
    // Writes month 1..12 (clamped).
    void Show(int month);

    int Value() const { return month_; }

private:
    int month_;
};
