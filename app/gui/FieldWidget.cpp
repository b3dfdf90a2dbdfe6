#include "app/gui/FieldWidget.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

#include <cstring>

#include "app/field/FieldFactory.h"

namespace {

// Border of the sunken frame, and the gap between the text rectangle and the
// first cell, pixels.
constexpr int kFrame = 2;
constexpr int kCellInset = 2;

// One cell as a QChar (cells beyond the basic plane do not occur in the masks
// and texts; they show as a replacement character).
QChar CellChar(char32_t c) {
    return c <= 0xFFFF ? QChar(static_cast<char16_t>(c)) : QChar(QChar::ReplacementCharacter);
}

// What the field holds, for accessibility clients without a label.
QString KindName(const CField& f) {
    struct Entry {
        const char* className;
        const char* name;
    };
    static constexpr Entry kNames[] = {
        {"CFieldLat", "Latitude"},   {"CFieldLong", "Longitude"}, {"CFieldAlt", "Altitude"},
        {"CFieldDate", "Date"},      {"CFieldTime", "Time"},      {"CFieldTime2", "Time"},
        {"CFieldXm", "Length"},      {"CFieldScale", "Scale"},    {"CFieldSkew", "Angle"},
        {"CFieldRot", "Rotation"},   {"CFieldUser", "Number"},    {"CFieldElev", "Elevation"},
        {"CFieldUint", "Number"},
    };
    for (const Entry& e : kNames)
        if (std::strcmp(e.className, f.ClassName()) == 0) return QString::fromLatin1(e.name);
    return QStringLiteral("Field");
}

// Accessibility of a field: an editable text whose value is the shown text.
class FieldAccessible : public QAccessibleWidget {
public:
    explicit FieldAccessible(FieldWidget* w) : QAccessibleWidget(w, QAccessible::EditableText) {}

    QString text(QAccessible::Text t) const override {
        const auto* w = static_cast<const FieldWidget*>(widget());
        if (t == QAccessible::Value) return w->displayText();
        QString s = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && s.isEmpty()) s = KindName(w->model());
        return s;
    }
};

QAccessibleInterface* MakeFieldAccessible(const QString& key, QObject* object) {
    if (key == QLatin1String("FieldWidget") && object && object->isWidgetType())
        return new FieldAccessible(static_cast<FieldWidget*>(object));
    return nullptr;
}

}  // namespace

FieldWidget::FieldWidget(int kind, QWidget* parent) : FieldWidget(MakeField(kind), parent) {}

FieldWidget::FieldWidget(std::unique_ptr<CField> model, QWidget* parent) : QWidget(parent) {
    static const bool accessibleInstalled = [] {
        QAccessible::installFactory(MakeFieldAccessible);
        return true;
    }();
    (void)accessibleInstalled;
    // The focus comes by Tab or from a click on a sub-field, not from any click.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setModel(std::move(model));
}

FieldWidget::~FieldWidget() = default;

void FieldWidget::setModel(std::unique_ptr<CField> model) {
    model_ = model ? std::move(model) : std::make_unique<CField>();
    model_->SetFocused(hasFocus());
    model_->TakeEvents();
    updateGeometry();
    update();
}

void FieldWidget::setValue(double value) {
    const std::u32string before = model_->Text();
    model_->StoreValue(value);
    model_->TakeEvents();
    TextMayHaveChanged(before);
}

QString FieldWidget::text() const {
    QString s;
    for (const char32_t c : model_->Text()) s.append(CellChar(c));
    return s;
}

QString FieldWidget::displayText() const { return text().trimmed(); }

std::vector<int> FieldWidget::CellWidths() const {
    const QFontMetrics fm(font());
    std::vector<int> widths;
    for (const char32_t c : model_->Mask()) widths.push_back(fm.horizontalAdvance(CellChar(c)));
    return widths;
}

int FieldWidget::FirstCellLeft() const { return kFrame + kCellInset; }

QRect FieldWidget::cellRect(int index) const {
    const std::vector<int> widths = CellWidths();
    if (index < 0 || index >= static_cast<int>(widths.size())) return {};
    int left = FirstCellLeft();
    for (int i = 0; i < index; ++i) left += widths[i];
    // One line of the font, centred vertically in the text rectangle.
    const QRect textRect = rect().adjusted(kFrame, kFrame, -kFrame, -kFrame);
    const int lineHeight = QFontMetrics(font()).height();
    const int top = textRect.top() + (textRect.height() - lineHeight) / 2;
    return QRect(left, top, widths[index], lineHeight);
}

QRect FieldWidget::caretRect() const {
    if (!hasFocus() || !isEnabled() || model_->SubFieldCount() == 0) return {};
    return cellRect(model_->Caret());
}

QSize FieldWidget::sizeHint() const {
    int width = 0;
    for (const int w : CellWidths()) width += w;
    const int inset = kFrame + kCellInset;
    return {width + 2 * inset, QFontMetrics(font()).height() + 2 * inset};
}

QSize FieldWidget::minimumSizeHint() const { return sizeHint(); }

void FieldWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(isEnabled() ? QPalette::Base : QPalette::Button));
    const QRect caret = caretRect();
    const std::u32string& text = model_->Text();
    for (int i = 0; i < static_cast<int>(text.size()); ++i) {
        const QRect cell = cellRect(i);
        const bool isCaret = !caret.isEmpty() && cell == caret;
        if (isCaret) p.fillRect(cell, pal.color(QPalette::Highlight));
        p.setPen(pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                           isCaret ? QPalette::HighlightedText : QPalette::Text));
        p.drawText(cell, Qt::AlignCenter, QString(CellChar(text[i])));
    }
    qDrawWinPanel(&p, rect(), pal, true);
}

void FieldWidget::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool ctrl = mods.testFlag(Qt::ControlModifier);
    switch (event->key()) {
        case Qt::Key_Left: model_->PressKey(FieldKey::Left, ctrl); break;
        case Qt::Key_Backspace: model_->PressKey(FieldKey::Backspace, ctrl); break;
        case Qt::Key_Right: model_->PressKey(FieldKey::Right, ctrl); break;
        case Qt::Key_Home: model_->PressKey(FieldKey::Home, ctrl); break;
        case Qt::Key_End: model_->PressKey(FieldKey::End, ctrl); break;
        case Qt::Key_Up: focusNextPrevChild(false); return;
        case Qt::Key_Down: focusNextPrevChild(true); return;
        default: {
            // Enter, Escape, shortcuts and keys without text go to the dialog.
            const QString typed = event->text();
            if (typed.isEmpty() || (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) ||
                !typed.at(0).isPrint()) {
                event->ignore();
                return;
            }
            const std::u32string before = model_->Text();
            // The locale's decimal separator is the field's point.
            const std::u32string separator = locale().decimalPoint().toStdU32String();
            for (char32_t c : typed.toStdU32String()) {
                if (separator.size() == 1 && c == separator[0]) c = U'.';
                model_->TypeChar(c, mods.testFlag(Qt::ShiftModifier));
            }
            TextMayHaveChanged(before);
            break;
        }
    }
    Dispatch();
}

void FieldWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    std::vector<double> widths;
    for (const int w : CellWidths()) widths.push_back(w);
    const double x = event->position().x() - FirstCellLeft();
    if (model_->Click(x, widths) == ClickResult::CaretPlaced) setFocus(Qt::MouseFocusReason);
    Dispatch();
}

void FieldWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    model_->DoubleClick();
    Dispatch();
}

void FieldWidget::focusInEvent(QFocusEvent* event) {
    model_->SetFocused(true);
    Dispatch();
    QWidget::focusInEvent(event);
}

void FieldWidget::focusOutEvent(QFocusEvent* event) {
    model_->SetFocused(false);
    update();
    QWidget::focusOutEvent(event);
}

void FieldWidget::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) updateGeometry();
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange ||
        event->type() == QEvent::PaletteChange)
        update();
    QWidget::changeEvent(event);
}

void FieldWidget::Dispatch() {
    update();
    for (const FieldEvent e : model_->TakeEvents()) {
        switch (e) {
            case FieldEvent::Focused: emit focused(); break;
            case FieldEvent::Edited: emit edited(); break;
            case FieldEvent::Clicked: emit clicked(); break;
            case FieldEvent::DoubleClicked: emit doubleClicked(); break;
            case FieldEvent::Beep: QApplication::beep(); break;
        }
    }
}

void FieldWidget::TextMayHaveChanged(const std::u32string& before) {
    if (model_->Text() == before) return;
    update();
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent change(this, displayText());
        QAccessible::updateAccessibility(&change);
    }
}
