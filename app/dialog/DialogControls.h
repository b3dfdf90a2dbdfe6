#pragma once
#include <string>
#include <vector>

// The controls of a dialog, addressed by their numbers (see ControlIds.h). The
// dialog logic reads and writes its controls only through this interface; a
// window maps each number to its widget, MemoryControls keeps them in memory.
//
// Kinds of control and what they hold: an edit or a static holds a text; a check
// box a check state; a drop-down list a list of entries and a selection (-1 for
// none); a drop-down combo box an edit text, a list of entries and a selection,
// the text and the selection being set independently; a field control a number
// (its Value). Every control can be enabled or disabled, shown or hidden.
class IDialogControls {
public:
    virtual ~IDialogControls() = default;

    virtual std::string Text(int id) const = 0;
    virtual void SetText(int id, const std::string& text) = 0;

    virtual bool Checked(int id) const = 0;
    virtual void SetChecked(int id, bool checked) = 0;

    // Index of the selected list entry, -1 when none is selected.
    virtual int Selection(int id) const = 0;
    // Selects entry index; -1 (or an index outside the list) selects none.
    virtual void SetSelection(int id, int index) = 0;

    virtual std::vector<std::string> Entries(int id) const = 0;
    // Replaces the list entries; the selection is cleared.
    virtual void SetEntries(int id, const std::vector<std::string>& entries) = 0;

    // The number a field control holds (a date field: days since the GPS origin).
    virtual double Value(int id) const = 0;
    virtual void SetValue(int id, double value) = 0;

    virtual bool Enabled(int id) const = 0;
    virtual void SetEnabled(int id, bool enabled) = 0;

    virtual bool Shown(int id) const = 0;
    virtual void SetShown(int id, bool shown) = 0;

    // Moves the keyboard focus to control id; selectText selects its whole text.
    virtual void SetFocus(int id, bool selectText) = 0;
};
