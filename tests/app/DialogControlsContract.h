#pragma once
// What the dialog logic counts on from any IDialogControls, as cases run against
// each implementation (MemoryControls in test_app, the Qt adapter on the main
// window in test_gui). Each case returns an empty text when it holds, else what
// went wrong. The ids are the main dialog's.
#include <string>
#include <vector>

#include "app/ControlIds.h"
#include "app/DialogControls.h"

// One implementation under test, with what only a person (or the window) can do.
class ControlsUnderTest {
public:
    virtual ~ControlsUnderTest() = default;
    virtual IDialogControls& Controls() = 0;
    // A person replaces the edit text of combo box id by typing text.
    virtual void Type(int id, const std::string& text) = 0;
    // The control with the keyboard focus (0: none) and whether its whole text is selected.
    virtual int FocusId() = 0;
    virtual bool FocusSelectsText() = 0;
};

struct ControlsContractCase {
    const char* name;
    std::string (*run)(ControlsUnderTest&);
};

namespace contract {

// "" when got equals want, else a line naming what differs.
template <typename T>
std::string Check(const char* what, const T& got, const T& want) {
    if (got == want) return {};
    std::string g, w;
    if constexpr (std::is_same_v<T, std::string>) {
        g = "\"" + got + "\"";
        w = "\"" + want + "\"";
    } else if constexpr (std::is_same_v<T, std::vector<std::string>>) {
        for (const std::string& e : got) g += e + "|";
        for (const std::string& e : want) w += e + "|";
    } else {
        g = std::to_string(got);
        w = std::to_string(want);
    }
    return std::string(what) + ": got " + g + ", want " + w + "\n";
}

inline std::string ComboTextAndSelectionAreSetApart(ControlsUnderTest& t) {
    IDialogControls& c = t.Controls();
    const int id = ControlId::kMarkerName;
    std::string r;
    c.SetText(id, "AB");
    c.SetEntries(id, {"ABC", "X"});
    r += Check("text after SetEntries", c.Text(id), std::string("AB"));
    r += Check("selection after SetEntries", c.Selection(id), -1);
    c.SetSelection(id, 0);
    r += Check("text after SetSelection(0)", c.Text(id), std::string("AB"));
    r += Check("selection after SetSelection(0)", c.Selection(id), 0);
    c.SetSelection(id, -1);
    r += Check("text after SetSelection(-1)", c.Text(id), std::string("AB"));
    r += Check("selection after SetSelection(-1)", c.Selection(id), -1);
    c.SetSelection(id, 1);
    c.SetEntries(id, {"Q"});
    r += Check("entries", c.Entries(id), std::vector<std::string>{"Q"});
    r += Check("selection after new entries", c.Selection(id), -1);
    r += Check("text after new entries", c.Text(id), std::string("AB"));
    c.SetSelection(id, 3);
    r += Check("selection outside the list", c.Selection(id), -1);
    return r;
}

inline std::string TypingUnselects(ControlsUnderTest& t) {
    IDialogControls& c = t.Controls();
    const int id = ControlId::kMarkerName;
    std::string r;
    c.SetEntries(id, {"ABC", "X"});
    c.SetText(id, "ABC");
    c.SetSelection(id, 0);
    t.Type(id, "AB");
    r += Check("text after typing", c.Text(id), std::string("AB"));
    r += Check("selection after typing", c.Selection(id), -1);
    c.SetSelection(id, 1);
    r += Check("selection set after typing", c.Selection(id), 1);
    return r;
}

inline std::string ListSelection(ControlsUnderTest& t) {
    IDialogControls& c = t.Controls();
    const int id = ControlId::kFormat;
    std::string r;
    c.SetEntries(id, {"QERN ASCII", "QERN BINARY"});
    r += Check("selection after SetEntries", c.Selection(id), -1);
    c.SetSelection(id, 1);
    r += Check("selection 1", c.Selection(id), 1);
    c.SetSelection(id, 2);
    r += Check("selection outside the list", c.Selection(id), -1);
    return r;
}

inline std::string TextsKeepTheirBytes(ControlsUnderTest& t) {
    IDialogControls& c = t.Controls();
    std::string r;
    const std::string path = "/data/Campaign 2024/r\xc3\xa9seau/algo0340.raw";
    c.SetText(ControlId::kSourcePath, path);
    r += Check("path", c.Text(ControlId::kSourcePath), path);
    c.SetText(ControlId::kAdvancedSummary, "( Tr = Ts + 75 ms, using smoothed dopplers )");
    r += Check("static", c.Text(ControlId::kAdvancedSummary),
               std::string("( Tr = Ts + 75 ms, using smoothed dopplers )"));
    return r;
}

inline std::string CheckBoxAndField(ControlsUnderTest& t) {
    IDialogControls& c = t.Controls();
    std::string r;
    c.SetChecked(ControlId::kAutoNaming, true);
    r += Check("checked", c.Checked(ControlId::kAutoNaming), true);
    c.SetChecked(ControlId::kAutoNaming, false);
    r += Check("unchecked", c.Checked(ControlId::kAutoNaming), false);
    c.SetValue(ControlId::kRecordedOn, 7699);
    r += Check("date", c.Value(ControlId::kRecordedOn), 7699.0);
    return r;
}

inline std::string EnabledAndShownAreTheControlsOwn(ControlsUnderTest& t) {
    IDialogControls& c = t.Controls();
    std::string r;
    c.SetEnabled(ControlId::kObservationPath, false);
    r += Check("disabled", c.Enabled(ControlId::kObservationPath), false);
    c.SetEnabled(ControlId::kObservationPath, true);
    r += Check("enabled", c.Enabled(ControlId::kObservationPath), true);
    c.SetShown(ControlId::kFileIndex, false);
    r += Check("hidden", c.Shown(ControlId::kFileIndex), false);
    c.SetShown(ControlId::kFileIndex, true);
    r += Check("shown", c.Shown(ControlId::kFileIndex), true);
    return r;
}

inline std::string FocusAndSelectedText(ControlsUnderTest& t) {
    IDialogControls& c = t.Controls();
    std::string r;
    c.SetText(ControlId::kSourcePath, "/data/x.raw");
    c.SetFocus(ControlId::kSourcePath, true);
    r += Check("focus", t.FocusId(), ControlId::kSourcePath);
    r += Check("text selected", t.FocusSelectsText(), true);
    c.SetText(ControlId::kObserver, "J. SMITH");
    c.SetFocus(ControlId::kObserver, false);
    r += Check("focus moved", t.FocusId(), ControlId::kObserver);
    r += Check("text not selected", t.FocusSelectsText(), false);
    return r;
}

}  // namespace contract

inline const std::vector<ControlsContractCase>& DialogControlsContract() {
    static const std::vector<ControlsContractCase> cases = {
        {"ComboTextAndSelectionAreSetApart", contract::ComboTextAndSelectionAreSetApart},
        {"TypingUnselects", contract::TypingUnselects},
        {"ListSelection", contract::ListSelection},
        {"TextsKeepTheirBytes", contract::TextsKeepTheirBytes},
        {"CheckBoxAndField", contract::CheckBoxAndField},
        {"EnabledAndShownAreTheControlsOwn", contract::EnabledAndShownAreTheControlsOwn},
        {"FocusAndSelectedText", contract::FocusAndSelectedText},
    };
    return cases;
}
