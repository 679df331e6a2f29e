#pragma once

#include <QString>

// The program's version: the project version the build was configured with. The About
// window and the --version option both show it, so they cannot disagree.
namespace ProgramVersion {

// The bare number, for example "1.1".
[[nodiscard]] QString number();

// The About window's version label: "Version " and the number.
[[nodiscard]] QString aboutText();

} // namespace ProgramVersion
