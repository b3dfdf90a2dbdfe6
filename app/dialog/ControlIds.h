#pragma once

// Numbers of the main dialog's controls.
namespace ControlId {
constexpr int kGo = 1;
constexpr int kClose = 2;
constexpr int kFileIndexLabel = 1000;
constexpr int kSourcePath = 1001;
constexpr int kFormat = 1002;
constexpr int kBrowseSource = 1003;
constexpr int kBrowseObservation = 1004;
constexpr int kObservationPath = 1005;
constexpr int kAutoNaming = 1006;
constexpr int kNavigationPath = 1007;
constexpr int kMarkerName = 1008;
constexpr int kMarkerNumber = 1009;
constexpr int kBrowseNavigation = 1010;
constexpr int kObserver = 1011;
constexpr int kRecordedOn = 1012;
constexpr int kFileIndex = 1013;
constexpr int kAgency = 1014;
constexpr int kReceiverNumber = 1015;
constexpr int kReceiverType = 1016;
constexpr int kReceiverVersion = 1017;
constexpr int kAntennaNumber = 1018;
constexpr int kAntennaType = 1019;
constexpr int kBrowseOutputDirectory = 1020;
constexpr int kAdvanced = 1021;
constexpr int kAdvancedSummary = 1036;
// The antenna group: height and east, north offsets of the antenna reference point (m).
constexpr int kAntennaHeight = 1050;
constexpr int kAntennaEast = 1051;
constexpr int kAntennaNorth = 1052;
constexpr int kHeaderPreview = 1053;  // "Header..."
constexpr int kSourceInfo = 1054;  // what the scan of the source found
constexpr int kFiles = 1055;       // "Files...": many raw files at once
}  // namespace ControlId
