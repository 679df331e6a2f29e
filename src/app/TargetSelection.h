#pragma once

namespace Ui {
class ZEMRA_MAIN;
}

// The target kind tickboxes and the sample path buttons of the main window.
//
// The interlock: ticking FILE-Size disables FOLDER-Size and enables Run Now; unticking it
// enables FOLDER-Size and disables Run Now; the same with the roles exchanged. It runs on
// every change of value, from a click or from the program, and changes enabled states only.
namespace TargetSelection {

// Connects the handlers to the form's controls; the form outlives the connections.
void attach(Ui::ZEMRA_MAIN &form);

inline constexpr const char *SampleFilePath = "C:\\pagefile.sys";
inline constexpr const char *SampleFolderPath = "W:\\";

} // namespace TargetSelection
