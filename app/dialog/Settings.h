#pragma once
#include <string>

#include "app/dialog/DialogControls.h"
#include "app/dialog/DialogValues.h"
#include "platform/Profile.h"

// Profile sections and the text of an unused history position.
inline constexpr const char* kDefaultsSection = "Defaults";
inline constexpr const char* kAdvancedSection = "Advanced";
inline constexpr const char* kUnusedEntry = "<Unused>";
// Entries a history list holds at most.
constexpr int kHistorySize = 15;

// Loads the settings of the last conversion into values and the history lists
// into the combo boxes: folders (defaulting to dataDirectory), extensions, the
// source pattern, Recorded On = today (days since the GPS origin; the time of
// day is dropped), format, marker name "SITE", the other header texts,
// automatic naming, the output paths and the advanced options.
void LoadSettings(MainDialogValues& values, IDialogControls& controls, const Profile& profile,
                  const std::string& dataDirectory, double today);

// Fills the nine history combo boxes from their profile sections; a list ends at
// its first empty or "<Unused>" entry.
void LoadHistories(IDialogControls& controls, const Profile& profile);

// Puts each of the nine header texts at the top of its history list and selects
// it, removes the other entries equal to it without regard to case, and keeps at
// most 15 entries.
void AddToHistories(const MainDialogValues& values, IDialogControls& controls);

// Writes the "Defaults" keys from values, then the history lists, in one
// rewrite of the profile file. False when the profile could not be written.
bool StoreDefaults(const MainDialogValues& values, const IDialogControls& controls, Profile& profile);

// Writes the nine history lists, "<Unused>" for each position without an entry.
bool StoreHistories(const IDialogControls& controls, Profile& profile);

// Writes the four "Advanced" keys from values (the "Save As Defaults" of the
// advanced options). False when the profile could not be written.
bool StoreAdvanced(const MainDialogValues& values, Profile& profile);
