// The main dialog's antenna group, the RINEX form of the antenna type and the
// header preview.
#include <cerrno>

#include "app/dialog/ControlIds.h"
#include "app/dialog/HeaderPreview.h"
#include "app/dialog/MainDialog.h"
#include "app/dialog/RunSettings.h"
#include "convert/StringTable.h"
#include "platform/FileSystem.h"

namespace {

// The antenna group's edits, their labels and values.
struct AntennaEdit {
    int id;
    const char* label;
    std::optional<double> MainDialogValues::*value;
};
constexpr AntennaEdit kAntennaEdits[] = {
    {ControlId::kAntennaHeight, "Antenna Height", &MainDialogValues::antennaHeight},
    {ControlId::kAntennaEast, "East Offset", &MainDialogValues::antennaEast},
    {ControlId::kAntennaNorth, "North Offset", &MainDialogValues::antennaNorth},
};

}  // namespace

void CMainDialog::WriteAntenna() {
    for (const AntennaEdit& e : kAntennaEdits) controls_.SetText(e.id, AntennaMetresText(values.*e.value));
}

bool CMainDialog::ReadAntenna() {
    for (const AntennaEdit& e : kAntennaEdits) {
        const std::string text = controls_.Text(e.id);
        std::optional<double> metres;
        if (!ReadAntennaMetres(text, metres)) {
            Message(kStrNoMetres, MessageIcon::Exclamation, {e.label, text});
            controls_.SetFocus(e.id, false);
            return false;
        }
        values.*e.value = metres;
    }
    return true;
}

bool CMainDialog::ReadAntennaType() {
    std::string& type = values.header[kAntennaType];
    const std::optional<std::string> form = RinexAntennaType(type);
    if (!form) {
        const HeaderTextInfo& info = HeaderTextTable(kAntennaType);
        Message(kStrNoAntennaForm, MessageIcon::Exclamation, {info.label, type});
        controls_.SetFocus(info.controlId, false);
        return false;
    }
    if (*form != type) {
        type = *form;
        WriteHeaderText(kAntennaType);  // the person sees what is written
    }
    return true;
}

std::optional<std::string> CMainDialog::PreviewHeader() {
    pathFailure_ = PathCheckFailure();
    SourceTyped();
    if (!ExchangeValues(false)) return std::nullopt;
    PathProbe probe;
    if (!ProbePath(values.sourcePath, probe, environment_.dataDirectory) || !probe.exists) {
        pathFailure_ = {"source", values.sourcePath, probe.problem.empty() ? ErrorText(ENOENT) : probe.problem};
        Message(kStrInvalidFileName, MessageIcon::Stop);
        controls_.SetFocus(ControlId::kSourcePath, true);
        return std::nullopt;
    }
    if (values.format != 0 && values.format != 1) values.format = probe.ascii ? 0 : 1;
    return PreviewObservationHeader(MakeRequest(), ui_);
}
