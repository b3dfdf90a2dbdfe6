#include "app/dialog/MemoryControls.h"

const MemoryControls::Control* MemoryControls::Find(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
}

std::string MemoryControls::Text(int id) const {
    const Control* c = Find(id);
    return c ? c->text : std::string();
}

void MemoryControls::SetText(int id, const std::string& text) { controls_[id].text = text; }

bool MemoryControls::Checked(int id) const {
    const Control* c = Find(id);
    return c && c->checked;
}

void MemoryControls::SetChecked(int id, bool checked) { controls_[id].checked = checked; }

int MemoryControls::Selection(int id) const {
    const Control* c = Find(id);
    return c ? c->selection : -1;
}

void MemoryControls::SetSelection(int id, int index) {
    Control& c = controls_[id];
    c.selection = index >= 0 && index < static_cast<int>(c.entries.size()) ? index : -1;
}

std::vector<std::string> MemoryControls::Entries(int id) const {
    const Control* c = Find(id);
    return c ? c->entries : std::vector<std::string>();
}

void MemoryControls::SetEntries(int id, const std::vector<std::string>& entries) {
    Control& c = controls_[id];
    c.entries = entries;
    c.selection = -1;
}

double MemoryControls::Value(int id) const {
    const Control* c = Find(id);
    return c ? c->value : 0.0;
}

void MemoryControls::SetValue(int id, double value) { controls_[id].value = value; }

bool MemoryControls::Enabled(int id) const {
    const Control* c = Find(id);
    return !c || c->enabled;
}

void MemoryControls::SetEnabled(int id, bool enabled) { controls_[id].enabled = enabled; }

bool MemoryControls::Shown(int id) const {
    const Control* c = Find(id);
    return !c || c->shown;
}

void MemoryControls::SetShown(int id, bool shown) { controls_[id].shown = shown; }

void MemoryControls::SetFocus(int id, bool selectText) {
    focusId_ = id;
    focusSelectsText_ = selectText;
}
