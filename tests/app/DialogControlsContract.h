#pragma once
// What the dialog logic counts on from any IDialogControls, as cases run against
// each implementation (MemoryControls in test_app, the Qt adapter on the main
// window in test_gui). A case returns an empty text when it holds, else what
// went wrong. The ids are the main dialog's.
#include <string>
#include <vector>

#include "app/dialog/ControlIds.h"
#include "app/dialog/DialogControls.h"

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
using namespace ControlId;

// "" when got equals want, else a line naming what differs.
inline std::string Check(const char* what, const std::string& got, const std::string& want) {
    return got == want ? std::string() : std::string(what) + ": \"" + got + "\", not \"" + want + "\"\n";
}
inline std::string Check(const char* what, double got, double want) {
    return Check(what, std::to_string(got), std::to_string(want));
}

inline std::string ComboTextAndSelectionAreSetApart(ControlsUnderTest& t) {
    IDialogControls& c = t.Controls();
    c.SetText(kMarkerName, "AB");
    c.SetEntries(kMarkerName, {"ABC", "X"});
    std::string r = Check("text after SetEntries", c.Text(kMarkerName), "AB") +
                    Check("selection after SetEntries", c.Selection(kMarkerName), -1);
    c.SetSelection(kMarkerName, 0);
    r += Check("text after SetSelection(0)", c.Text(kMarkerName), "AB") +
         Check("selection after SetSelection(0)", c.Selection(kMarkerName), 0);
    c.SetSelection(kMarkerName, -1);
    r += Check("text after SetSelection(-1)", c.Text(kMarkerName), "AB");
    c.SetSelection(kMarkerName, 1);
    c.SetEntries(kMarkerName, {"Q"});
    r += Check("entries", c.Entries(kMarkerName).size() == 1 ? c.Entries(kMarkerName)[0] : "?", "Q") +
         Check("selection after new entries", c.Selection(kMarkerName), -1) +
         Check("text after new entries", c.Text(kMarkerName), "AB");
    c.SetSelection(kMarkerName, 3);
    return r + Check("selection outside the list", c.Selection(kMarkerName), -1);
}

inline std::string TypingUnselects(ControlsUnderTest& t) {
    IDialogControls& c = t.Controls();
    c.SetEntries(kMarkerName, {"ABC", "X"});
    c.SetText(kMarkerName, "ABC");
    c.SetSelection(kMarkerName, 0);
    t.Type(kMarkerName, "AB");
    std::string r = Check("text after typing", c.Text(kMarkerName), "AB") +
                    Check("selection after typing", c.Selection(kMarkerName), -1);
    c.SetSelection(kMarkerName, 1);
    return r + Check("selection set after typing", c.Selection(kMarkerName), 1);
}

inline std::string ListSelection(ControlsUnderTest& t) {
    IDialogControls& c = t.Controls();
    c.SetEntries(kFormat, {"QERN ASCII", "QERN BINARY"});
    std::string r = Check("selection after SetEntries", c.Selection(kFormat), -1);
    c.SetSelection(kFormat, 1);
    r += Check("selection 1", c.Selection(kFormat), 1);
    c.SetSelection(kFormat, 2);
    return r + Check("selection outside the list", c.Selection(kFormat), -1);
}

inline std::string TextsCheckBoxAndFieldKeepTheirValues(ControlsUnderTest& t) {
    IDialogControls& c = t.Controls();
    const std::string path = "/data/Campaign 2024/r\xc3\xa9seau/algo0340.raw";  // case and bytes kept
    c.SetText(kSourcePath, path);
    c.SetText(kAdvancedSummary, "( Tr = Ts + 75 ms )");
    c.SetChecked(kAutoNaming, true);
    c.SetValue(kRecordedOn, 7699);
    std::string r = Check("path", c.Text(kSourcePath), path) +
                    Check("static", c.Text(kAdvancedSummary), "( Tr = Ts + 75 ms )") +
                    Check("checked", c.Checked(kAutoNaming), true) + Check("date", c.Value(kRecordedOn), 7699);
    c.SetChecked(kAutoNaming, false);
    return r + Check("unchecked", c.Checked(kAutoNaming), false);
}

inline std::string EnabledAndShownAreTheControlsOwn(ControlsUnderTest& t) {
    IDialogControls& c = t.Controls();
    c.SetEnabled(kObservationPath, false);
    c.SetShown(kFileIndex, false);
    std::string r = Check("disabled", c.Enabled(kObservationPath), false) + Check("hidden", c.Shown(kFileIndex), false);
    c.SetEnabled(kObservationPath, true);
    c.SetShown(kFileIndex, true);
    return r + Check("enabled", c.Enabled(kObservationPath), true) + Check("shown", c.Shown(kFileIndex), true);
}

inline std::string FocusAndSelectedText(ControlsUnderTest& t) {
    IDialogControls& c = t.Controls();
    c.SetText(kSourcePath, "/data/x.raw");
    c.SetFocus(kSourcePath, true);
    std::string r = Check("focus", t.FocusId(), kSourcePath) + Check("text selected", t.FocusSelectsText(), true);
    c.SetText(kObserver, "J. SMITH");
    c.SetFocus(kObserver, false);
    return r + Check("focus moved", t.FocusId(), kObserver) + Check("text not selected", t.FocusSelectsText(), false);
}

}  // namespace contract

inline const std::vector<ControlsContractCase>& DialogControlsContract() {
    using namespace contract;
    static const std::vector<ControlsContractCase> cases = {
        {"ComboTextAndSelectionAreSetApart", ComboTextAndSelectionAreSetApart},
        {"TypingUnselects", TypingUnselects},
        {"ListSelection", ListSelection},
        {"TextsCheckBoxAndFieldKeepTheirValues", TextsCheckBoxAndFieldKeepTheirValues},
        {"EnabledAndShownAreTheControlsOwn", EnabledAndShownAreTheControlsOwn},
        {"FocusAndSelectedText", FocusAndSelectedText},
    };
    return cases;
}
