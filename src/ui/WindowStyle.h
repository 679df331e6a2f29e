#pragma once

class QWidget;

// The look shared by the three windows: the window font ("MS Sans Serif" 8.25 pt, which the
// platform replaces by its sans font where it has none), the application icon, and the
// display label style (green on black, single-line border, centred, bold "Arial" 9.75 pt)
// for every label whose form marks it with the property displayLabel.
namespace WindowStyle {

void apply(QWidget &window);

// Gives the window font (bold for a control whose form marks it bold) to each control
// made after apply(). Under a style sheet, and the main window's reaches the windows it
// owns, a new control takes the desktop's default font instead of its window's.
void applyFontToNewControls(QWidget &window);

} // namespace WindowStyle
