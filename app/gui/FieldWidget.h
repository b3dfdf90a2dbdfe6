#pragma once
#include <QWidget>

#include <memory>
#include <vector>

#include "app/field/Field.h"

// A field control: shows one CField model as a row of character cells, each as wide
// as its mask character in the widget's font, and edits it in overwrite mode. With
// the focus the caret's cell is drawn as a block. Tab, Shift+Tab, Up and Down move
// the focus; Enter and Escape are left to the dialog (OK and Cancel). A refused
// character or a clamped number beeps.
//
// The accessible value is the shown text without leading and trailing blanks; the
// accessible name is the widget's (or its buddy label's), else the kind of field.
class FieldWidget : public QWidget {
    Q_OBJECT

public:
    // A widget with a new field of kind (FieldKind, 0..11; another number gives the
    // plain field, which shows nothing and takes no input).
    explicit FieldWidget(int kind, QWidget* parent = nullptr);
    // A widget owning model (nullptr: the plain field).
    explicit FieldWidget(std::unique_ptr<CField> model, QWidget* parent = nullptr);
    ~FieldWidget() override;

    // The value in program units (radians, days, seconds, metres).
    double value() const { return model_->GetValue(); }
    // Stores value in the model; repaints only when the shown text changed.
    void setValue(double value);
    // The shown text, all cells.
    QString text() const;
    // The shown text without leading and trailing blanks.
    QString displayText() const;

    CField& model() { return *model_; }
    const CField& model() const { return *model_; }
    // Replaces the model (nullptr: the plain field).
    void setModel(std::unique_ptr<CField> model);

    // Rectangle of text cell index in widget coordinates; empty outside the text.
    QRect cellRect(int index) const;
    // The cell drawn as the caret: the caret's cell while the widget has the focus
    // and is enabled, else an empty rectangle.
    QRect caretRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void focused();        // the field gained the focus
    void edited();         // a typed character was accepted; value() has changed
    void clicked();        // a click on the field's text
    void doubleClicked();  // a double click

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Width of every cell, pixels, from the mask and the font.
    std::vector<int> CellWidths() const;
    // Left edge of the first cell, pixels.
    int FirstCellLeft() const;
    // Turns the model's events into signals and beeps; repaints.
    void Dispatch();
    // Repaints and tells accessibility clients when the text differs from before.
    void TextMayHaveChanged(const std::u32string& before);

    std::unique_ptr<CField> model_;
};
