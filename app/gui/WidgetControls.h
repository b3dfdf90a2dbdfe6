#pragma once
#include <QPointer>
#include <QWidget>

#include <map>
#include <set>

#include "app/dialog/DialogControls.h"

// The controls of a window behind the IDialogControls the dialog logic works on:
// each control is the descendant of the window whose object name is its number
// ("1001"), found once when the adapter is made. Line edits and labels hold
// texts (paths through QFile::encodeName, case kept), check boxes and radio
// buttons check states, combo boxes entries and a selection, FieldWidget values.
//
// Setting a control from here never looks like the person's doing: signals are
// blocked while a setter runs. An editable combo box keeps its edit text and its
// selection apart, as the interface says: changing the entries or the selection
// leaves the text alone, and once the person types in it no entry counts as
// selected until one is chosen or set again. Shown and enabled are the control's
// own state, whether the window is on screen or not.
class WidgetControls : public IDialogControls {
public:
    explicit WidgetControls(QWidget* window);

    std::string Text(int id) const override;
    void SetText(int id, const std::string& text) override;
    bool Checked(int id) const override;
    void SetChecked(int id, bool checked) override;
    int Selection(int id) const override;
    void SetSelection(int id, int index) override;
    std::vector<std::string> Entries(int id) const override;
    void SetEntries(int id, const std::vector<std::string>& entries) override;
    double Value(int id) const override;
    void SetValue(int id, double value) override;
    bool Enabled(int id) const override;
    void SetEnabled(int id, bool enabled) override;
    bool Shown(int id) const override;
    void SetShown(int id, bool shown) override;
    void SetFocus(int id, bool selectText) override;

    // The widget of control id, nullptr when the window has none.
    QWidget* Widget(int id) const;

private:
    QPointer<QWidget> window_;
    std::map<int, QPointer<QWidget>> widgets_;
    std::set<int> typedIn_;  // editable combo boxes typed in since their selection was set
};
