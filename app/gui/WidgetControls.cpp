#include "app/gui/WidgetControls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "app/gui/FieldWidget.h"

namespace {

std::string FromPathText(const QString& text) { return QFile::encodeName(text).toStdString(); }
QString ToPathText(const std::string& text) { return QFile::decodeName(QByteArray::fromStdString(text)); }

// Shows text in an editable combo box from its start.
void ShowEditText(QComboBox* combo, const QString& text) {
    const QSignalBlocker blockEdit(combo->lineEdit());
    combo->setEditText(text);
    combo->lineEdit()->setCursorPosition(0);
}

// Sets the combo box's selection (-1 or an index outside the list: none) and
// leaves an editable one's text as it was.
void SelectKeepingText(QComboBox* combo, int index) {
    const QSignalBlocker block(combo);
    const bool valid = index >= 0 && index < combo->count();
    if (!combo->isEditable()) {
        combo->setCurrentIndex(valid ? index : -1);
        return;
    }
    const QString text = combo->currentText();
    combo->setCurrentIndex(valid ? index : -1);
    ShowEditText(combo, text);
}

}  // namespace

WidgetControls::WidgetControls(QWidget* window) : window_(window) {
    for (QWidget* w : window->findChildren<QWidget*>()) {
        bool number = false;
        const int id = w->objectName().toInt(&number);
        if (!number || widgets_.count(id)) continue;
        widgets_[id] = w;
        auto* combo = qobject_cast<QComboBox*>(w);
        if (!combo || !combo->isEditable() || !combo->lineEdit()) continue;
        // The person's typing unselects; their choice from the list selects.
        QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, combo, [this, id] { typedIn_.insert(id); });
        QObject::connect(combo, &QComboBox::activated, combo, [this, id] { typedIn_.erase(id); });
    }
}

QWidget* WidgetControls::Widget(int id) const {
    const auto it = widgets_.find(id);
    return it == widgets_.end() ? nullptr : it->second.data();
}

std::string WidgetControls::Text(int id) const {
    QWidget* w = Widget(id);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return FromPathText(edit->text());
    if (auto* combo = qobject_cast<QComboBox*>(w)) return FromPathText(combo->currentText());
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text().toStdString();
    if (auto* field = qobject_cast<FieldWidget*>(w)) return field->displayText().toStdString();
    return std::string();
}

void WidgetControls::SetText(int id, const std::string& text) {
    QWidget* w = Widget(id);
    if (!w) return;
    const QSignalBlocker block(w);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(ToPathText(text));
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (combo->isEditable()) ShowEditText(combo, ToPathText(text));
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(QString::fromStdString(text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(QString::fromStdString(text));
    }
}

bool WidgetControls::Checked(int id) const {
    auto* button = qobject_cast<QAbstractButton*>(Widget(id));
    return button && button->isChecked();
}

void WidgetControls::SetChecked(int id, bool checked) {
    if (auto* button = qobject_cast<QAbstractButton*>(Widget(id))) {
        const QSignalBlocker block(button);
        button->setChecked(checked);
    }
}

int WidgetControls::Selection(int id) const {
    auto* combo = qobject_cast<QComboBox*>(Widget(id));
    if (!combo || typedIn_.count(id)) return -1;
    return combo->currentIndex();
}

void WidgetControls::SetSelection(int id, int index) {
    if (auto* combo = qobject_cast<QComboBox*>(Widget(id))) {
        SelectKeepingText(combo, index);
        typedIn_.erase(id);
    }
}

std::vector<std::string> WidgetControls::Entries(int id) const {
    std::vector<std::string> entries;
    if (auto* combo = qobject_cast<QComboBox*>(Widget(id)))
        for (int i = 0; i < combo->count(); ++i) entries.push_back(combo->itemText(i).toStdString());
    return entries;
}

void WidgetControls::SetEntries(int id, const std::vector<std::string>& entries) {
    auto* combo = qobject_cast<QComboBox*>(Widget(id));
    if (!combo) return;
    const QSignalBlocker block(combo);
    const QString text = combo->currentText();
    combo->clear();
    for (const std::string& e : entries) combo->addItem(QString::fromStdString(e));
    combo->setCurrentIndex(-1);
    if (combo->isEditable()) ShowEditText(combo, text);
    typedIn_.erase(id);
}

double WidgetControls::Value(int id) const {
    auto* field = qobject_cast<FieldWidget*>(Widget(id));
    return field ? field->value() : 0.0;
}

void WidgetControls::SetValue(int id, double value) {
    if (auto* field = qobject_cast<FieldWidget*>(Widget(id))) {
        const QSignalBlocker block(field);
        field->setValue(value);
    }
}

bool WidgetControls::Enabled(int id) const {
    QWidget* w = Widget(id);
    return !w || w->isEnabledTo(window_);
}

void WidgetControls::SetEnabled(int id, bool enabled) {
    if (QWidget* w = Widget(id)) w->setEnabled(enabled);
}

bool WidgetControls::Shown(int id) const {
    QWidget* w = Widget(id);
    return !w || !w->isHidden();
}

void WidgetControls::SetShown(int id, bool shown) {
    if (QWidget* w = Widget(id)) w->setVisible(shown);
}

void WidgetControls::SetFocus(int id, bool selectText) {
    QWidget* w = Widget(id);
    if (!w) return;
    w->setFocus(Qt::OtherFocusReason);
    QLineEdit* edit = qobject_cast<QLineEdit*>(w);
    if (auto* combo = qobject_cast<QComboBox*>(w)) edit = combo->lineEdit();
    if (edit && selectText) edit->selectAll();
}
