#pragma once
#include <map>

#include "app/dialog/DialogControls.h"

// Controls kept in memory: what the command line and the tests drive the dialog
// logic with. A control comes into being, empty, enabled and shown, the first
// time it is used.
class MemoryControls : public IDialogControls {
public:
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

    // The control that has the focus (0: none yet) and whether its text is selected.
    int FocusId() const { return focusId_; }
    bool FocusSelectsText() const { return focusSelectsText_; }

private:
    struct Control {
        std::string text;
        bool checked = false;
        int selection = -1;
        std::vector<std::string> entries;
        double value = 0.0;
        bool enabled = true;
        bool shown = true;
    };
    const Control* Find(int id) const;

    std::map<int, Control> controls_;
    int focusId_ = 0;
    bool focusSelectsText_ = false;
};
